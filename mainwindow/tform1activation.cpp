// Activation and shut-down: what every activation of the window does, the first activation
// (the window shown, the configuration dialog when the output is not usable, the saved views),
// the close question, the shut-down in its order (ShutDown) and the exceptions that reach the
// event loop.
//
// The first activation runs at the end of start-up (a hidden window is never activated). When
// the configuration dialog must open, it opens after the activation, from a queued call, and
// the rest of the first activation runs once the dialog has closed: nothing waits in a nested
// event loop.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "library/tmsql.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/config/configbridge.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/runstats.h"
#include "mainwindow/logic/splashview.h"
#include "mainwindow/ostrelapplication.h"
#include "mainwindow/tform1.h"
#include "platform/sound/sound.h"
#include "platform/sys/sleepinhibitor.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/vr/tvrquorangularmeter.h"

void Tform1::FormActivate()
{
    // step 1
    setAcceptDrops(true);
    if (auto* t = get<QTimer>(QStringLiteral("timer4"))) t->start();
    // step 2: the first activation ends with steps 3 and 4 itself, maybe after the dialog
    if (actualizoskin) {
        firstActivation();
        return;
    }
    // steps 3 and 4 (the HID display counters are the HID controllers')
    activationControllers();
    mmain(true);
}

void Tform1::firstActivation()
{
    if (runStats) runStats->start();
    firstActivationPanels();
    // step 3
    actualizoskin = false;
    // step 4
    update();
    show();
    if (groupsListPending_) QTimer::singleShot(1000, this, &Tform1::firstGroupsListing);
    if (options_.splash) options_.splash->startupEnded(QStringLiteral("2.0.1"));
    firstActivationSetup();
}

void Tform1::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    // a later activation by the user; the first one runs at the end of start-up
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && !actualizoskin && !shutdown.begun())
        FormActivate();
}

void Tform1::restoreAndRaise()
{
    if (isMinimized()) showNormal();
    else show();
    raise();
    activateWindow();
}

// first activation steps 1 and 2: the centre panels at their marks, round regions
void Tform1::firstActivationPanels()
{
    const std::pair<const char*, const char*> marks[] = {
        {"pautomix", "biautomix"}, {"effects", "bifx"}, {"sampler", "bisampler"}};
    for (const auto& [panel, mark] : marks) {
        auto* p = get<QWidget>(QLatin1String(panel));
        auto* m = get<QWidget>(QLatin1String(mark));
        if (p && m) p->move(m->pos());
    }
    for (const char* name : {"panrelojes1", "panelwheel1", "pvu1", "vrwheela", "panrelojes2", "panelwheel2", "pvu2",
                             "vrWheelb"})
        if (auto* w = get<QWidget>(QLatin1String(name)); w && !w->size().isEmpty())
            w->setMask(QRegion(w->rect(), QRegion::Ellipse));
    for (const char* name : {"panvumetercentro1", "panvumetercentro2"})
        if (auto* w = get<QWidget>(QLatin1String(name)); w && !w->size().isEmpty())
            w->setMask(QRegion(w->rect().adjusted(-1, -1, 1, 1), QRegion::Ellipse));
}

// first activation steps 5 to 8: step 6, the HID drivers, is the controllers'
// (tform1controllers.cpp); the dialog opens when the output did not start or a stored device is gone
void Tform1::firstActivationSetup()
{
    mmain(false);
    createHidDrivers();
    // the engine holds its own start value until the crossfader is applied once
    mixer.applyCrossfader();
    const auto rest = [this] {
        firstActivationViews();
        activationControllers();
        mmain(true);
    };
    if ((showpanel || deviceGone) && firstActivationDialog) {
        QTimer::singleShot(0, this, [this, rest] { firstActivationDialog(rest); });
        return;
    }
    rest();
}

// first activation steps 9 to 17
void Tform1::firstActivationViews()
{
    if (!adj) return;
    PSoundConfig& cfg = *adj->soundcfg;
    // step 9
    for (DeckControls* d : {&deckA, &deckB})
        if (d->key) d->key->setEnabled(cfg.usekeylock);
    // step 10
    const struct {
        DeckControls& d;
        int mode;
        MouseHandler scratch, search, effects;
    } modes[] = {{deckA, cfg.wmode1, &Tform1::scratch1MouseDown, &Tform1::search1MouseDown, &Tform1::effects1MouseDown},
                 {deckB, cfg.wmode2, &Tform1::scratch2MouseDown, &Tform1::search2MouseDown, &Tform1::effects2MouseDown}};
    for (const auto& m : modes) {
        ButtonView* b = m.mode == 1 ? m.d.scratch : m.mode == 2 ? m.d.search : m.mode == 3 ? m.d.effects : nullptr;
        MouseHandler h = m.mode == 1 ? m.scratch : m.mode == 2 ? m.search : m.effects;
        if (!b) continue;
        (this->*h)(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
        b->setDown(true);
    }
    // step 11
    for (auto [d, w] : {std::pair{&deckA, cfg.wcue1.load()}, std::pair{&deckB, cfg.wcue2.load()}})
        if (d->nhcue && (w == 0 || w == 1)) d->nhcue->setDown(w == 1);
    // step 12
    panels.applyWexp(cfg.wexp);
    // step 14
    SongGrid* grid = panels.vpl && ep3 ? ep3->grid() : panels.vex && ep2 ? ep2->grid() : panels.vgr && ep ? ep->grid() : nullptr;
    if (grid) source.msender = source.msenderold = grid;
    // step 15
    for (auto [d, z, dial] : {std::tuple{&deckA, cfg.wzoom1.load(), "zoomleft"}, std::tuple{&deckB, cfg.wzoom2.load(), "zoomright"}}) {
        if (carga* p = d->player()) p->basseqfx->zoom = z - 2;
        if (PositionView* v = positionView(QLatin1String(dial))) v->setPosition(z);
    }
    // step 16
    if (PositionView* v = positionView(QStringLiteral("samplevolume"))) v->setPosition(cfg.svol1);
    if (PositionView* v = positionView(QStringLiteral("samplevolume2"))) v->setPosition(cfg.svol2);
    walk.playlist = ep3 ? ep3->grid() : nullptr;
}

// every activation step 3, the HID controllers (tform1controllers.cpp)
void Tform1::activationControllers() { setUpHidControllers(); }

// ---- closing

bool Tform1::FormCloseQuery()
{
    if (runStats) runStats->stop();
    CloseVariable = true;
    if (closeAnswered || shutdown.begun()) return true;
    const auto q = ShutDown::closeQuestion(deckA.artist ? deckA.artist->caption() : QString(),
                                           deckB.artist ? deckB.artist->caption() : QString(), deckPlaying(0),
                                           deckPlaying(1));
    if (q == ShutDown::Question::none) return true;
    if (closeBox) return false;
    auto* box = new QMessageBox(q == ShutDown::Question::playing ? QMessageBox::Critical : QMessageBox::Warning,
                                ShutDown::questionCaption(), ShutDown::questionText(q),
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    closeBox = box;
    connect(box, &QMessageBox::finished, this, [this, box](int) {
        const bool yes = box->clickedButton() == box->button(QMessageBox::Yes);
        CloseVariable = yes;
        if (!yes) return;
        closeAnswered = true;
        QTimer::singleShot(0, this, &QWidget::close);
    });
    box->open();
    CloseVariable = false;
    return false;
}

void Tform1::closeEvent(QCloseEvent* e)
{
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

void Tform1::FormClose() { shutdown.FormClose(); }

QString Tform1::statsLine() const
{
    if (!runStats) return {};
    const sound::JackLateness jack = sound::jackLateness();
    return RunStats::line(runStats->ui(), jack.xruns, jack.lateStarts);
}

// The work area changed (WMSettingChange): the window's top at the work area's, the layout
// redone for its height.
void Tform1::WMSettingChange()
{
    const QScreen* screen = windowHandle() && windowHandle()->screen() ? windowHandle()->screen()
                                                                       : QGuiApplication::primaryScreen();
    if (!screen || shutdown.begun()) return;
    R = screen->availableGeometry();
    move(x(), R.top());
    AlturaVieja = R.height();
    maximizo();
    update();
}

void Tform1::wireShutDown()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, this, &Tform1::WMSettingChange);
    if (OstrelApplication* app = OstrelApplication::instance()) {
        app->onException = [this](const std::exception& e) { AppException(e); };
        connect(this, &QObject::destroyed, app, [app] { app->onException = nullptr; });
    }
    ShutDown::Steps& s = shutdown.steps;
    s.restoreSleep = [] {};  // the power scheme is not changed on Linux
    s.stopMainLoop = [this] {
        mmain(false);
        loop.stop();
    };
    s.stopTimers = [this] {
        for (const char* name : {"Timer1", "Timer2", "Timer3", "timer4", "Timer5", "Tscratch", "actjo"})
            if (auto* t = get<QTimer>(QLatin1String(name))) {
                t->stop();
                t->disconnect(this);
            }
    };
    s.hidInputsOff = [this] {
        if (set) set->hid.close();
    };
    s.finishLoads = [this] {
        // a loading thread that asks for a deck's box from now on is answered at once; the boxes
        // it posted are dropped with whatever the loads would still hand over
        loader.shutdown();
        for (auto& box : boxes_)
            if (box) QCoreApplication::removePostedEvents(box, QEvent::MetaCall);
    };
    s.stopMeters = [this] {
        for (const char* vu : {"vu1", "vu2"})
            if (auto* meter = get<TVrQuorAngularMeter>(QLatin1String(vu))) meter->settimerenabled(false);
    };
    s.midiLightsOff = [this] {
        if (set) set->lights.apagamidilights();
    };
    s.stopEngineTick = [this] {
        if (adj && adj->fchangetimer) adj->fchangetimer->stop();
    };
    s.graboconfig = [this] { graboconfigRow(); };
    s.fatalFromHere = [] {};  // AppException reads shutdown.begun()
    s.activatescreensaver = [this] {
        if (sleep_) sleep_->release();
    };
    s.desinit = [this] {
        if (adj) adj->desinit();
    };
}

// The window's own state into the configuration row, then the row written (graboconfig).
void Tform1::graboconfigRow()
{
    if (!adj || !quorsql) return;
    ConfigBridge::WindowState w;
    w.modemax = modemax;
    const auto down = [](ButtonView* b) { return b && b->down(); };
    w.jogA = {down(deckA.scratch), down(deckA.search), down(deckA.effects)};
    w.jogB = {down(deckB.scratch), down(deckB.search), down(deckB.effects)};
    w.nhcue1 = down(deckA.nhcue);
    w.nhcue2 = down(deckB.nhcue);
    w.vex = panels.vex;
    w.vpl = panels.vpl;
    w.vgr = panels.vgr;
    if (carga* p = deckA.player()) w.zoomA = p->basseqfx->zoom;
    if (carga* p = deckB.player()) w.zoomB = p->basseqfx->zoom;
    const auto at = [this](const char* name) {
        PositionView* v = positionView(QLatin1String(name));
        return v ? v->position() : 0;
    };
    w.ffout = at("ffout");
    w.ffin = at("ffin");
    w.samplevolume = at("samplevolume");
    w.samplevolume2 = at("samplevolume2");
    ConfigBridge::storeWindowState(*adj->soundcfg, w);
    quorsql->graboconfig(*adj->soundcfg);
}

void Tform1::AppException(const std::exception& e)
{
    std::fprintf(stderr, "ostrelkorvanta: %s\n", e.what());
    if (shutdown.begun()) std::_Exit(1);
    if (isMinimized()) showNormal();
}
