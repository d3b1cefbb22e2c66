// Update check, web links, the about box and the downloader launch. The addresses are build
// settings (OSTREL_UPDATE_URL, OSTREL_PRODUCT_URL, OSTREL_COMPANY_URL), empty by default: an
// empty address makes no request and its link does nothing.
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QMessageBox>
#include <QUrl>

#include "engine/audiobase.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/logic/downloaderlaunch.h"
#include "mainwindow/logic/updatecheck.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/tform1.h"
#include "snkins/dialogs/tsplashform.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/vs/tvsbutton.h"

#ifndef OSTREL_UPDATE_URL
#define OSTREL_UPDATE_URL ""
#endif
#ifndef OSTREL_PRODUCT_URL
#define OSTREL_PRODUCT_URL ""
#endif
#ifndef OSTREL_COMPANY_URL
#define OSTREL_COMPANY_URL ""
#endif

namespace {
// A label's click (labels have no click signal of their own).
class LabelClick : public QObject {
public:
    LabelClick(QObject* parent, std::function<void()> f) : QObject(parent), f_(std::move(f)) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonRelease) f_();
        return false;
    }

private:
    std::function<void()> f_;
};
}  // namespace

void Tform1::wireUpdate()
{
    urlOpener = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
    launcher = &DownloaderLaunch::startDetached;
    updateCheck = new UpdateCheck(this);
    updateCheck->address = QUrl(QStringLiteral(OSTREL_UPDATE_URL));
    updateCheck->productUrl = QUrl(QStringLiteral(OSTREL_PRODUCT_URL));
    updateCheck->dialogOpen = [this] { return dialogOpen(); };
    updateCheck->ask = [this](const QString& caption, const QString& text, std::function<void(bool)> answer) {
        auto* box = new QMessageBox(QMessageBox::Information, caption, text, QMessageBox::Yes | QMessageBox::No, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::WindowModal);
        connect(box, &QMessageBox::finished, this, [answer = std::move(answer)](int r) { answer(r == QMessageBox::Yes); });
        box->open();
    };
    updateCheck->openUrl = [this](const QUrl& u) {
        if (urlOpener && !u.isEmpty()) urlOpener(u.toString());
    };
    updateCheck->focusGrids = [this] {
        // Groups, Explorer, Playlists: each shown panel's grid
        for (auto [shown, panel] : {std::pair<bool, BrowserPanel*>{panels.vgr, ep.get()},
                                    {panels.vex, ep2.get()},
                                    {panels.vpl, ep3.get()}})
            if (shown && panel)
                if (auto* g = panel->grid()) g->takeFocus();
    };
    updateCheck->mainLoopOn = [this] { mmain(true); };

    for (const char* fx : {"LFX1", "lfx2"})
        if (QWidget* l = get<QWidget>(QLatin1String(fx))) {
            l->setCursor(Qt::PointingHandCursor);
            l->installEventFilter(new LabelClick(l, [this, l] { LFX1Click(l); }));
        }
    onClick(QStringLiteral("VsButton1"), &Tform1::VsButton1Click);
    onClick(QStringLiteral("btnsavetube"), &Tform1::btnsavetubeClick);
}

bool Tform1::dialogOpen() const
{
    if (QApplication::activeModalWidget()) return true;
    // a box or dialog of the window's own that holds it (the message boxes, the splash as the
    // about box, the configuration dialog)
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && (w->windowType() == Qt::Dialog || w->windowType() == Qt::SplashScreen ||
                                             w->inherits("QDialog")))
            return true;
    return false;
}

// The first tick of Timer5 after the CPU level: the check runs once, and only when the
// configuration asks for it (micout 1).
void Tform1::updateCheckTick()
{
    if (checkeada) return;
    checkeada = true;
    if (!adj || adj->soundcfg->micout != 1) return;
    updateCheck->destination = myApplicationdir + QStringLiteral("verfree.txt");
    updateCheck->descargarAct();
}

void Tform1::LFX1Click(QObject*)
{
    const QString company = QStringLiteral(OSTREL_COMPANY_URL);
    if (urlOpener && !company.isEmpty()) urlOpener(company);
}

// The about box: the splash with the version; a click on its picture hides it again.
void Tform1::VsButton1Click(QObject*)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<Tsplashform*>(w)) {
            s->exever = QStringLiteral("2.0.1");
            if (s->version) s->version->setText(QStringLiteral("2.0.1"));
            s->show();
            s->raise();
            return;
        }
}

void Tform1::btnsavetubeClick(QObject*)
{
    DownloaderLaunch d;
    d.folder = QCoreApplication::applicationDirPath();
    d.launcher = launcher;
    const QString problem = d.launch();
    if (ButtonView* b = buttonView(QStringLiteral("btnsavetube"))) b->setDown(problem.isEmpty());
    if (!problem.isEmpty()) ShowMessage(problem);
}
