// Engine and controller set-up (iniciaadj): the engine, the device lists, the configuration,
// the four deck players, audio output, the MIDI controllers and the status timers.
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/cargaasio.h"
#include "engine/visual/tvisuales.h"
#include "engine/visual/widgets/cuestripview.h"
#include "engine/visual/widgets/displaybox.h"
#include "engine/visual/widgets/kitlevelbar.h"
#include "engine/visual/widgets/kitneedlemeter.h"
#include "engine/visual/widgets/kitpeaklamp.h"
#include "engine/visual/widgets/kitplatter.h"
#include "engine/visual/widgets/kitprogressview.h"
#include "engine/visual/widgets/kitshownimage.h"
#include "engine/visual/widgets/kittextlabel.h"
#include "engine/visual/widgets/visualpicture.h"
#include "library/tmsql.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/logic/splashview.h"
#include "mainwindow/logic/storeddevices.h"
#include "mainwindow/logic/tmsqldecklibrary.h"
#include "mainwindow/tform1.h"
#include "mainwindow/views/progresslink.h"
#include "mainwindow/views/speedsliderlink.h"
#include "platform/midi/rtmidibackend.h"
#include "platform/sys/logindsleepinhibitor.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/vr/tvrprogressbar.h"
#include "snkins/vs/tvsslider.h"

void Tform1::activatescreensaver(bool)
{
    if (!sleep_) {
        if (options_.sleep) {
            sleep_ = options_.sleep;
        } else {
            ownSleep_ = std::make_unique<LogindSleepInhibitor>(QStringLiteral("ostrelkorvanta"),
                                                               QStringLiteral("Music is playing"));
            sleep_ = ownSleep_.get();
        }
    }
    sleep_->acquire();
}

void Tform1::iniciaadj()
{
    // step 1
    splashStep(QStringLiteral("Initialize Audio Class..."), 75);

    // step 2: the engine, and the controllers made with its live configuration
    adj = std::make_unique<audiobase>(this);
    adj->mquorsql = deckLibrary_.get();
    boxes_[4] = new Ttquormessage(this);
    adj->adjmessage = boxes_[4];
    adj->ShowMessage = [this](const QString& text) { ShowMessage(text); };
    set = std::make_unique<ControllerSet>(*this, *adj->soundcfg,
                                          options_.midi ? *options_.midi : midi::RtMidiBackend::instance(),
                                          myApplicationdir,
                                          options_.hid ? *options_.hid : hid::HidapiBackend::instance());
    for (DeckControls* d : {&deckA, &deckB}) {
        d->adj = adj.get();
        d->values = &set->values;
    }
    mixer.adj = adj.get();
    mixer.values = &set->values;

    // step 3
    if (options_.splash)
        options_.splash->setLabel1(QStringLiteral("Audio Engine ") + adj->softversion +
                                   QStringLiteral("      Visual Engine ") + softversion);

    // step 5 (step 4, the Windows version, has no counterpart)
    adj->dameasio();
    adj->dameds(false);

    // step 6
    asignoconfig();
    PSoundConfig& cfg = *adj->soundcfg;

    // step 7
    panels.applyWexp(cfg.wexp);
    alineopanels();

    // step 8: each stored device found again by its name, else index 0
    const StoredDevices::Outcome found =
        StoredDevices::resolve(cfg, adj->listads, adj->dsdevices, adj->listaasio, adj->asiodevices);
    deviceGone = cfg.devicemode == 1 ? found.alsaGone : found.jackGone;

    // step 9
    set->loadKeyboardMap();

    // step 10: the snapshot the configuration dialog compares with
    PSoundConfig& old = *adj->oldsoundcfg;
    old.devicemode = cfg.devicemode.load();
    old.devicework = cfg.devicework.load();
    for (size_t i = 0; i < 3; ++i) {
        old.dsnum[i] = cfg.dsnum[i].load();
        old.dschan[i] = cfg.dschan[i].load();
        old.asnum[i] = cfg.asnum[i].load();
        old.aschan[i] = cfg.aschan[i].load();
    }
    old.com = cfg.com.load();
    old.usekeylock = cfg.usekeylock.load();

    // step 11
    visualTargets();

    // steps 12 to 14
    createDecks();

    // step 15: the visual step. Step 16: surfaces, zooms, pitch rulers, progress bars
    const int widthA = get<QWidget>(QStringLiteral("display1grande")) ? get<QWidget>(QStringLiteral("display1grande"))->width() : 480;
    const int widthB = get<QWidget>(QStringLiteral("display2grande")) ? get<QWidget>(QStringLiteral("display2grande"))->width() : 480;
    startVisual();
    for (int n = 1; n <= 4; ++n) decks_[size_t(n - 1)]->basseqfx->surface = n == 2 ? widthB : widthA;
    for (int n = 1; n <= 2; ++n) {
        cargaasio& d = *decks_[size_t(n - 1)];
        d.basseqfx->zoom = 1;
        d.vdmcslider = speedSliders_[size_t(n - 1)].get();
        d.progress = progressBars_[size_t(n - 1)].get();
        d.sliders = true;
    }

    // step 17
    switch (cfg.com) {
    case 0: higp(); break;
    case 1: medp(); break;
    case 2: lowp(); break;
    default: break;
    }

    // step 18
    bool started = false;
    if (cfg.devicemode == 1) {
        splashStep(QStringLiteral("Initialize ALSA System..."), 95);
        started = adj->initds();
    } else {
        splashStep(QStringLiteral("Initialize JACK System..."), 95);
        started = adj->initasio();
    }
    showpanel = !started;

    // step 19
    for (int n = 1; n <= 2; ++n) {
        const QString port = n == 1 ? cfg.portconin.get() : cfg.portconin2.get();
        if (port.isEmpty() || port == QLatin1String("-")) continue;
        if (n == 1) set->midi.inicializamidifile(port);
        else set->midi.inicializamidifile2(port);
    }

    // step 20
    for (const char* t : {"Tscratch", "Timer1"})
        if (auto* timer = get<QTimer>(QLatin1String(t))) timer->start();

    // step 21: the grids the engine and the deck ticks write tempo and play counts into
    adj->sgfiles = ep ? ep->grid() : nullptr;
    adj->sgplay = ep3 ? ep3->grid() : nullptr;
    adj->sgexplo = ep2 ? ep2->grid() : nullptr;
    adj->Ponsgs();

    // step 22
    sampleCaptions();

    // step 23: the skin routine is the views'
    splashStep(QStringLiteral("Loading Skin..."), 99);

    // step 24
    splashStep(QString(), -1);
    adj->setheadphones(false, 1);
    adj->setheadphones(false, 2);
    if (options_.splash) options_.splash->hideProgress();
}

namespace {

// A widget of the visual step's in place of a form control: it fills the control, follows its
// size and leaves the mouse to it.
template <class W>
W* filling(QWidget* host)
{
    if (!host) return nullptr;
    auto* w = new W(host);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(w);
    w->setGeometry(host->rect());  // the step sizes its surfaces before the window is laid out
    return w;
}

QImage pictureOf(const QLabel* image)
{
    return image ? image->pixmap().toImage() : QImage();
}

}  // namespace

// Step 11: the visual step and what it draws into and reaches (Tform1::visual).
void Tform1::visualTargets()
{
    visual = std::make_shared<TVisuales>();
    adj->visual = visual.get();
    TVisuales& v = *visual;
    v.paintbox1 = filling<DisplayBox>(get<QWidget>(QStringLiteral("display1grande")));
    v.paintbox2 = filling<DisplayBox>(get<QWidget>(QStringLiteral("display2grande")));
    v.paintboxp1 = filling<DisplayBox>(get<QWidget>(QStringLiteral("displaypeq1")));
    v.paintboxp2 = filling<DisplayBox>(get<QWidget>(QStringLiteral("displaypeq2")));
    const auto background = [this](const char* name) -> std::shared_ptr<TDIBUltra> {
        const QImage img = pictureOf(get<QLabel>(QLatin1String(name)));
        return img.isNull() ? nullptr : dibFromImage(img);
    };
    v.bmp1 = background("ondaamarilla");
    v.bmp2 = background("ondaverde");
    v.bmp3 = background("ondaazul");
    v.bmpfondo = true;
    const auto link = [this](auto made) {
        visualLinks_.push_back(made);
        return made.get();
    };
    v.xdispa = link(std::make_shared<KitPlatter>(get<TVrCompass>(QStringLiteral("comdis1"))));
    v.xdispb = link(std::make_shared<KitPlatter>(get<TVrCompass>(QStringLiteral("comdis2"))));
    v.vu1 = link(std::make_shared<KitNeedleMeter>(get<TVrQuorAngularMeter>(QStringLiteral("vu1"))));
    v.vu2 = link(std::make_shared<KitNeedleMeter>(get<TVrQuorAngularMeter>(QStringLiteral("vu2"))));
    v.lab1 = link(std::make_shared<KitTextLabel>(get<QWidget>(QStringLiteral("Label1"))));
    v.lab2 = link(std::make_shared<KitTextLabel>(get<QWidget>(QStringLiteral("lremain1"))));
    v.lab3 = link(std::make_shared<KitTextLabel>(get<QWidget>(QStringLiteral("Label8"))));
    v.lab4 = link(std::make_shared<KitTextLabel>(get<QWidget>(QStringLiteral("lremain2"))));
    v.labcolor = 0xDDDDDD;
    v.led1 = link(std::make_shared<KitPeakLamp>(get<TVrCustomLed>(QStringLiteral("led1"))));
    v.led2 = link(std::make_shared<KitPeakLamp>(get<TVrCustomLed>(QStringLiteral("led2"))));
    v.pro1 = link(std::make_shared<KitProgressView>(get<TVrProgressBar>(QStringLiteral("pro1"))));
    v.pro2 = link(std::make_shared<KitProgressView>(get<TVrProgressBar>(QStringLiteral("pro2"))));
    v.xrll1 = link(std::make_shared<KitLevelBar>(get<TRLed>(QStringLiteral("xl"))));
    v.xrlr1 = link(std::make_shared<KitLevelBar>(get<TRLed>(QStringLiteral("xr"))));
    v.xrll2 = link(std::make_shared<KitLevelBar>(get<TRLed>(QStringLiteral("xl1"))));
    v.xrlr2 = link(std::make_shared<KitLevelBar>(get<TRLed>(QStringLiteral("xr1"))));
    const QImage cue = pictureOf(get<QLabel>(QStringLiteral("bmpcue")));
    const QImage loopCue = pictureOf(get<QLabel>(QStringLiteral("bmpcue2")));
    for (auto [name, strip] : {std::pair{"imgcues", &v.imgcues1}, {"imgcues2", &v.imgcues2}}) {
        auto* view = filling<CueStripView>(get<QWidget>(QLatin1String(name)));
        if (view) view->SetMarks(cue, loopCue);
        *strip = view;
    }
    // start-up step 41: the end-of-track images
    v.imgend1 = link(std::make_shared<KitShownImage>(get<QWidget>(QStringLiteral("imgend1"))));
    v.imgend2 = link(std::make_shared<KitShownImage>(get<QWidget>(QStringLiteral("imgend2"))));
}

// Step 15: the colour tables (the step's own start values are the window's), then the steps
// start on deck A's and deck B's records.
void Tform1::startVisual()
{
    if (visual) visual->init(adj->carga1->basseqfx, adj->carga2->basseqfx);
}

// Steps 12 to 14: deck A, deck B and the two samplers.
void Tform1::createDecks()
{
    PSoundConfig* cfg = adj->soundcfg.get();
    for (int n = 1; n <= 2; ++n) {
        speedSliders_[size_t(n - 1)] =
            std::make_unique<SpeedSliderLink>(get<TVsSlider>(n == 1 ? QStringLiteral("dmcslider1") : QStringLiteral("dmcslider2")));
        progressBars_[size_t(n - 1)] =
            std::make_unique<ProgressLink>(get<TVrProgressBar>(n == 1 ? QStringLiteral("progres1") : QStringLiteral("progres2")));
    }
    for (int n = 1; n <= 4; ++n) {
        if (n == 1) splashStep(QStringLiteral("Initialize Deck A..."), 80);
        if (n == 2) splashStep(QStringLiteral("Initialize Deck B..."), 85);
        if (n == 3) splashStep(QStringLiteral("Initialize Samplers..."), 90);
        auto d = std::make_unique<cargaasio>(cfg, n);
        d->offlinerender = options_.offlineEngine;
        boxes_[size_t(n - 1)] = new Ttquormessage(this);
        d->message1 = boxes_[size_t(n - 1)];
        d->device = 0;
        if (n <= 2) {
            d->valorbend = n == 1 ? 70 : 60;
            d->mquorsql = deckLibrary_.get();
            d->creo_onda = adj->creo_onda;
            d->creo_onda2 = adj->creo_onda2;
            for (auto& cell : d->wdpics) cell = 0.0;
            d->tpitch = cfg->lpitp1.load();
            d->maxp = 1 + d->tpitch / 100.0;
            d->minp = 1 - d->tpitch / 100.0;
        }
        decks_[size_t(n - 1)] = std::move(d);
    }
    adj->offlinerender = options_.offlineEngine;
    adj->carga1 = decks_[0].get();
    adj->carga2 = decks_[1].get();
    adj->carga3 = decks_[2].get();
    adj->carga4 = decks_[3].get();
}

// Step 22: the sampler labels lsp1 .. lsp6 name the files sp1 .. sp6; the pads vl and vr of the
// same number repeat them.
void Tform1::sampleCaptions()
{
    for (int i = 1; i <= 6; ++i) {
        const QString caption = QFileInfo(sp[size_t(i - 1)]).completeBaseName();
        if (auto* l = get<QLabel>(QStringLiteral("lsp%1").arg(i))) l->setText(caption);
        if (auto* b = get<TquorButton>(QStringLiteral("vl%1").arg(i))) b->setcaption(caption);
        if (auto* b = get<TquorButton>(QStringLiteral("vr%1").arg(i))) b->setcaption(caption);
    }
}
