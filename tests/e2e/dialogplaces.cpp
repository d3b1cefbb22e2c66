#include "tests/e2e/dialogplaces.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "mainwindow/config/tfnewconfig.h"
#include "snkins/quor/tquorbutton.h"
#include "tests/mainwindow/config/dialogrig.h"

namespace e2e {

void ensureOffscreenApplication()
{
    if (QCoreApplication::instance()) return;
    static int argc = 3;
    static char a0[] = "e2e", a1[] = "-platform", a2[] = "offscreen";
    static char* argv[] = {a0, a1, a2, nullptr};
    new QApplication(argc, argv);
}

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

}  // namespace

struct DialogPlaces::Rig : DialogRig {
    Rig()
    {
        // what the program's lists hold when the test runs: one MIDI input, one map
        midi.set({"e2e_midi:out"});
        profile.file(QStringLiteral("Devices/E2E SENDER.xml"), "<DATAPACKET/>");
        for (int i = 0; i < 8; ++i) prompts.answers.push_back(true);  // every question answered Yes
        parent.resize(1024, 768);
        ConfigDialogModel::Services s;
        s.engine = &engine;
        s.prompts = &prompts;
        s.midi = &midi;
        s.main = &services;
        s.pending = &pending;
        s.profile = profile.path();
        dialog = new Tfnewconfig(&parent, s);
        parent.show();
        dialog->show();
        settle();
    }
    ~Rig() { delete dialog; }
    QWidget parent;
    Tfnewconfig* dialog = nullptr;
};

DialogPlaces::DialogPlaces()
{
    ensureOffscreenApplication();
    rig_ = std::make_unique<Rig>();
}

DialogPlaces::~DialogPlaces() = default;

QRect DialogPlaces::rect(const QString& name) const
{
    auto* w = rig_->dialog->findChild<QWidget*>(name);
    if (!w || !w->isVisibleTo(rig_->dialog)) return {};
    return QRect(w->mapTo(rig_->dialog, QPoint(0, 0)), w->size());
}

bool DialogPlaces::shown(const QString& name) const { return !rect(name).isEmpty(); }

QRect DialogPlaces::tab(const QString& page) const
{
    auto* tabs = rig_->dialog->findChild<QTabWidget*>(QStringLiteral("JvPageControl1"));
    if (!tabs) return {};
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->objectName() == page) {
            const QRect r = tabs->tabBar()->tabRect(i);
            return QRect(tabs->tabBar()->mapTo(rig_->dialog, r.topLeft()), r.size());
        }
    return {};
}

QRect DialogPlaces::row(const QString& list, int row) const
{
    auto* t = rig_->dialog->findChild<QTreeWidget*>(list);
    if (!t || row >= t->topLevelItemCount()) return {};
    const QRect r = t->visualItemRect(t->topLevelItem(row));
    return QRect(t->viewport()->mapTo(rig_->dialog, r.topLeft()), r.size());
}

void DialogPlaces::press(const QString& name)
{
    auto* tabs = rig_->dialog->findChild<QTabWidget*>(QStringLiteral("JvPageControl1"));
    for (int i = 0; tabs && i < tabs->count(); ++i)
        if (tabs->widget(i)->objectName() == name) tabs->setCurrentIndex(i);
    if (auto* b = rig_->dialog->findChild<QAbstractButton*>(name)) b->click();
    if (auto* q = rig_->dialog->findChild<TquorButton*>(name)) {
        const QPointF c = QRectF(q->rect()).center();
        const QPointF g = q->mapToGlobal(c);
        QMouseEvent down(QEvent::MouseButtonPress, c, g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, c, g, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(q, &down);
        QCoreApplication::sendEvent(q, &up);
    }
    settle();
}

}  // namespace e2e
