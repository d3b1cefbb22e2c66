#include "tests/e2e/libraryplaces.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include "engine/precord.h"
#include "library/panels/snskinfiles.h"
#include "library/shell/filedialogs.h"
#include "library/songgridrow.h"
#include "library/tmsql.h"
#include "mainwindow/logic/paneltextsize.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "tests/e2e/dialogplaces.h"
#include "tests/support/fakemainservices.h"

namespace e2e {

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

QRect placeIn(const QWidget* w, const QWidget* root) { return QRect(w->mapTo(root, QPoint(0, 0)), w->size()); }

}  // namespace

struct LibraryPlaces::Rig {
    QTemporaryDir dir;
    std::unique_ptr<Tmsql> sql;
    FakeMainServices main;
    std::unique_ptr<QWidget> window;
    TQuorPanel* host = nullptr;
    Tnskinfiles* groups = nullptr;
    std::unique_ptr<TTquorfilesdir2> filesDir;
    std::unique_ptr<TTquorsavedialog2> recording;

    // the Groups panel built as the window builds it (its fields, init, the host's style, the
    // start-up text size), in a host of `size`
    Tnskinfiles& groupsIn(QSize size)
    {
        if (host && host->size() == size) return *groups;
        window = std::make_unique<QWidget>();
        window->resize(size);
        host = new TQuorPanel(window.get());
        host->setGeometry(QRect(QPoint(0, 0), size));
        host->init();
        groups = new Tnskinfiles(host);
        groups->name = QStringLiteral("ep");
        groups->ptitle = QColor(192, 192, 192);
        groups->mquorsql = sql.get();
        groups->colnor = QColor(0, 0, 0);
        groups->colpar = QColor(21, 21, 21);
        groups->hide3dborder = true;
        groups->main = &main;
        groups->mainform = window.get();
        groups->init();
        host->setColor(QColor(0, 0, 0));
        host->setbordercolor(QColor(0, 0, 0));
        host->SetShowtitle(false);
        const PanelTextSize text = PanelTextSize::of(2);
        groups->setTextSize(text.font, text.rowHeight, text.statusHeight, text.searchFont);
        window->show();
        settle();
        groups->sg->scrollToTop();
        settle();
        return *groups;
    }
};

LibraryPlaces::LibraryPlaces(int rows) : rig_(std::make_unique<Rig>())
{
    ensureOffscreenApplication();
    rig_->sql = std::make_unique<Tmsql>(rig_->dir.filePath(QStringLiteral("korvanta.db")));
    for (int i = 1; i <= rows; ++i) {
        QStringList r = songgridrow::blank();
        r[gridcol::path] = rig_->dir.filePath(QStringLiteral("%1.mp3").arg(i, 2, 10, QLatin1Char('0')));
        r[gridcol::artist] = QStringLiteral("Artist %1").arg(i, 2, 10, QLatin1Char('0'));
        r[gridcol::title] = QStringLiteral("Title");
        rig_->sql->altadesg(r, 0, 0, 1, 1);
    }
}

LibraryPlaces::~LibraryPlaces() = default;

QRect LibraryPlaces::groupsButton(QSize host, const QString& caption)
{
    Tnskinfiles& g = rig_->groupsIn(host);
    for (TQuorSwitch1* b : {g.B1, g.B2, g.B3, g.B4, g.B5})
        if (b && b->isVisible() && b->Caption() == caption) return placeIn(b, rig_->host);
    return {};
}

QRect LibraryPlaces::groupsRow(QSize host, int row)
{
    Tnskinfiles& g = rig_->groupsIn(host);
    if (row < 1 || row >= g.sg->RowCount()) return {};
    const QRect cell = g.sg->visualRect(g.sg->model()->index(row - 1, gridcol::artist));
    if (!cell.isValid()) return {};
    return QRect(g.sg->viewport()->mapTo(rig_->host, cell.topLeft()), cell.size());
}

QRect LibraryPlaces::groupsGrid(QSize host)
{
    Tnskinfiles& g = rig_->groupsIn(host);
    return placeIn(g.sg->viewport(), rig_->host);
}

namespace {

// a control of a library file dialog, shown offscreen once
template <class Form>
QRect formControl(std::unique_ptr<Form>& form, const QString& name)
{
    if (!form) {
        form = std::make_unique<Form>();
        form->show();
        settle();
    }
    const QWidget* w = name == QLatin1String("tffd") ? static_cast<QWidget*>(form->tffd)
                       : name == QLatin1String("bffd1") ? static_cast<QWidget*>(form->bffd1)
                                                        : nullptr;
    return w ? placeIn(w, form.get()) : QRect();
}

}  // namespace

QRect LibraryPlaces::filesDirControl(const QString& name) { return formControl(rig_->filesDir, name); }

QRect LibraryPlaces::recordingControl(const QString& name) { return formControl(rig_->recording, name); }

}  // namespace e2e
