// Start-up: the window's creation (FormCreate), from the profile folder to the show.
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/ostrelli.h"
#include "library/shell/filedialogs.h"
#include "library/tmsql.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "platform/shell/mounttable.h"
#include "mainwindow/form/formbuilder.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/defaultsamples.h"
#include "mainwindow/logic/profilefolder.h"
#include "mainwindow/logic/splashview.h"
#include "mainwindow/logic/tmsqldecklibrary.h"
#include "mainwindow/tform1.h"
#include "mainwindow/views/gridview.h"
#include "platform/sys/logindsleepinhibitor.h"
#include "snkins/colorref.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vr/trled.h"
#include "snkins/vr/tvrledclock.h"
#include "snkins/vr/tvrquorangularmeter.h"

void Tform1::splashStep(const QString& text, int position)
{
    if (options_.splash) options_.splash->step(text, position);
}

void Tform1::tell(const QString& text)
{
    if (options_.tell) {
        options_.tell(text);
        return;
    }
    // once the window runs: the kit's box waits in a loop of its own
    QTimer::singleShot(0, this, [this, text] {
        auto* box = new Ttquormessage(this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->MessageDlg(QStringLiteral("Warning "), text, 0, 0, 1);
        box->close();
    });
}

void Tform1::FormCreate()
{
    // step 1: the power scheme is left as the user set it

    // step 3: the controller globals start at their values when the controller set is made

    // step 4
    myApplicationdir = options_.profile.isEmpty() ? GetUserProfile() : options_.profile;
    if (!myApplicationdir.endsWith(QLatin1Char('/'))) myApplicationdir += QLatin1Char('/');
    // the first run makes the folder and gets the default samples
    if (ProfileFolder::prepare(myApplicationdir)) DefaultSamples::copyInto(myApplicationdir + QStringLiteral("Samples"));

    // step 5
    for (const char* w : {"panelwheel1", "panelwheel2"})
        if (QWidget* p = get<QWidget>(QLatin1String(w))) p->hide();
    mmain(true);

    // step 6 (step 7, the 120-DPI rescale, is Qt's own scaling here)
    if (options_.splash) options_.splash->setVersion(QStringLiteral("Release 2.0.1"));
    splashStep(QStringLiteral("Loading Forms..."), -1);

    // step 8
    for (const char* bar : {"cpu", "RLed3"})
        if (auto* led = get<TRLed>(QLatin1String(bar))) led->enabletimer(false);

    // step 9: the library's "Recording" dialog, shown without modality by REC; its Accept and
    // Cancel are the window's (Cancel hides it rather than setting its abort flag)
    splashStep(QStringLiteral("Creating Forms..."), 10);
    mrecsave = new TTquorsavedialog2(this);
    mrecsave->setWindowModality(Qt::NonModal);
    mrecsave->replaceCancel();
    connect(mrecsave, &TQuorFileForm::accepted_, this, &Tform1::boffd1click);
    connect(mrecsave, &TQuorFileForm::cancelled, this, &Tform1::boffd2click);

    // step 10
    for (const char* vu : {"vu1", "vu2"})
        if (auto* meter = get<TVrQuorAngularMeter>(QLatin1String(vu))) {
            meter->SetCaption(QStringLiteral("READY"));
            meter->SetPosition(3200);
            meter->settimerenabled(true);
        }

    // step 11
    softversion = QStringLiteral("5.0.7");

    // step 12: the hidden grid dropped files and demo songs pass through
    sgdrag = new TquorGrid(this);
    sgdrag->setObjectName(QStringLiteral("sgdrag"));
    sgdrag->hide();
    sgdrag->tbackcolor = colorFromRef(0x212121);
    sgdrag->tpencolor = colorFromRef(0xC0C0C0);
    sgdrag->tfontcolor = colorFromRef(0xFFFFFF);
    sgdrag->init(this, 25, 0);
    sgdragView_ = std::make_unique<GridView>(sgdrag);
    loader.sgdrag = sgdragView_.get();

    // steps 13 to 16: the controller globals, the Windows version and the decoding-only audio
    // start have no counterpart; the window is not shown yet

    // step 17: the marks the first activation moves the centre panels back to
    for (auto [mark, panel] : {std::pair{"biautomix", "pautomix"}, {"bifx", "effects"}, {"bisampler", "sampler"}}) {
        QWidget* m = get<QWidget>(QLatin1String(mark));
        QWidget* p = get<QWidget>(QLatin1String(panel));
        if (m && p) m->move(p->pos());
    }

    // step 18: the form gives fxa and fxb their glyphs. Step 19: colours
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorFromRef(0x212121));
    setPalette(pal);
    if (auto* clock = get<TVrLedClock>(QStringLiteral("VrLedClock2"))) {
        clock->SetHoursColor(0xFFFFFF);
        clock->SetHoursOutline(0xFFFFFF);
        clock->SetTickColor(0xFFFFFF);
        clock->SetTickOutline(0xFFFFFF);
        clock->SetSecHandColor(0xFF9600);
        clock->SetSecOutline(0xFF9600);
    }

    // step 20
    CloseVariable = true;

    // steps 21 and 22: the exception handler is the activation's; the beep is left alone.
    // Step 23: keep the system awake
    activatescreensaver(false);

    // step 24
    splashStep(QStringLiteral("Connecting Database..."), 25);
    quorsql = std::make_unique<Tmsql>(myApplicationdir + QStringLiteral("korvanta.db"));
    deckLibrary_ = std::make_unique<TmsqlDeckLibrary>(*quorsql);

    // step 25: the form was built as wide as the design and as high as the work area
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect full = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    R = screen ? screen->availableGeometry() : full;
    AnchoViejo = full.width();
    AlturaVieja = R.height();

    // step 26
    splashStep(QStringLiteral("Deleting song times played..."), 35);
    move((AnchoViejo - 1024) / 2, R.top());

    // step 27
    splashStep(QStringLiteral("Opening Databases..."), 45);
    if (QWidget* todo = get<QWidget>(QStringLiteral("todo"))) {
        if (QWidget* e = get<QWidget>(QStringLiteral("explorer"))) e->resize(todo->width() - 5, todo->height() - 5);
        for (const char* frame : {"playlist", "grupos"})
            if (QWidget* f = get<QWidget>(QLatin1String(frame))) f->resize(f->width(), 0);
    }
    panels.vex = true;
    panels.lastexplorer = 1;

    // step 28
    stylePanels();

    // step 29
    for (auto [wheel, image] : {std::pair{"panelwheel1", "rizquierdo"}, {"panelwheel2", "rderecho"}}) {
        QWidget* w = get<QWidget>(QLatin1String(wheel));
        QWidget* i = get<QWidget>(QLatin1String(image));
        if (w && i) w->move(i->pos());
    }

    // step 30
    buildPanels();

    // step 31
    if (auto* zoom = panels.nzoom) zoom->setPosition(2);
    for (const char* centre : {"pautomix", "sampler", "effects"})
        if (QWidget* c = get<QWidget>(QLatin1String(centre))) c->raise();
    // the centre sections wait under the browser until a view brings them out
    if (QWidget* todo = get<QWidget>(QStringLiteral("todo"))) todo->raise();

    // step 32
    iniciaadj();

    // step 33
    altademosongs();

    // steps 34, 35 and 38: the input events and the controller globals are the controller
    // set's; Qt paints the displays opaque as they are

    // step 36
    if (set) set->values.quorsam1 = set->values.quorsam2 = 50;
    for (const char* dial : {"samplevolume", "samplevolume2"})
        if (auto* d = get<TVrBitmapDial>(QLatin1String(dial))) d->SetPosition(50);

    // step 37
    actualizoskin = true;
    setAcceptDrops(true);

    // step 39
    if (adj) {
        if (adj->soundcfg->wfull == 0) modemax = false;
        else if (adj->soundcfg->wfull == 1) modemax = true;
    }

    // step 40
    mmain(true);
    loop.start();
    qApp->installEventFilter(this);

    // step 41: the end-of-track images go to the visual step with it

    // step 42
    headaMouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);

    // step 43
    maximizo();

    // step 44
    for (const char* tuning : {"Label4", "Label5"})
        if (auto* l = get<QLabel>(QLatin1String(tuning))) l->setText(QStringLiteral("0"));

    // step 45
    panels.focusStart();

    // the timers the form starts enabled
    for (const char* t : {"Timer2", "Timer3", "Timer5", "actjo"})
        if (auto* timer = get<QTimer>(QLatin1String(t)); timer && timer->property("Enabled").toBool()) timer->start();

    // a hidden window is never activated: the show-the-window steps run now
    FormActivate();
}

// Start-up step 28 and the hosts' styling once their panels are built: no strips, borders of
// the panel's own colour, no title.
void Tform1::stylePanels()
{
    for (const char* name : {"todo", "explorer", "playlist", "grupos"}) {
        auto* p = get<TQuorPanel>(QLatin1String(name));
        if (!p) continue;
        p->setshowimages(false);
        p->setbordercolor(p->color());
    }
}

// Start-up step 30: the three library panels in their hosts, Explorer, Groups, Playlists, each
// set up before its init; each host styled after its panel's init.
void Tform1::buildPanels()
{
    const auto styleHost = [](TQuorPanel* host) {
        host->setColor(colorFromRef(0));
        host->setbordercolor(colorFromRef(0));
        host->SetShowtitle(false);
    };
    // the fields the three share
    const auto common = [this](LibraryPanelFrame& p, const char* name, int title) {
        p.name = QLatin1String(name);
        p.ptitle = colorFromRef(title);
        p.mquorsql = quorsql.get();
        p.colnor = colorFromRef(0);
        p.colpar = colorFromRef(0x151515);
        p.hide3dborder = true;
    };
    if (auto* host = get<TQuorPanel>(QStringLiteral("explorer"))) {
        mounts_ = std::make_unique<MountTable>();
        explorerPanel_ = std::make_unique<Tnskinexplore>(host, *mounts_);
        Tnskinexplore& p = *explorerPanel_;
        common(p, "ep2", 0x646262);
        p.mainform = this;
        p.services = this;
        p.tienedescarga = false;
        p.init();
        ep2 = std::make_unique<ExplorerPanelView>(&p);
        styleHost(host);
    }
    if (auto* host = get<TQuorPanel>(QStringLiteral("grupos"))) {
        groupsPanel_ = std::make_unique<Tnskinfiles>(host);
        Tnskinfiles& p = *groupsPanel_;
        common(p, "ep", 0xC0C0C0);
        p.main = this;
        p.mainform = this;
        p.PopupMenu1 = get<QMenu>(QStringLiteral("PopupMenu2"));
        p.listOnInit = !options_.listAfterShow;
        groupsListPending_ = options_.listAfterShow;
        p.init();
        ep = std::make_unique<GroupsPanelView>(&p);
        styleHost(host);
    }
    if (auto* host = get<TQuorPanel>(QStringLiteral("playlist"))) {
        playlistsPanel_ = std::make_unique<Tnskinplay>(host);
        Tnskinplay& p = *playlistsPanel_;
        common(p, "ep3", 0xC0C0C0);
        p.main = this;
        p.mainform = this;
        p.PopupMenu1 = get<QMenu>(QStringLiteral("PopupMenu1"));
        p.track1 = get<QLabel>(QStringLiteral("track1"));
        p.track2 = get<QLabel>(QStringLiteral("track2"));
        p.deckTrack = [this](int deck) {
            const DeckControls& d = deck == 2 ? deckB : deckA;
            PlaylistsLogic::DeckTrack t;
            const carga* c = d.player();
            t.loaded = c && !d.fichero.isEmpty();
            t.file = d.fichero;
            if (c && c->basseqfx) t.id = c->basseqfx->tag[tagslot::id];
            return t;
        };
        p.init();
        ep3 = std::make_unique<PlaylistsPanelView>(&p);
        styleHost(host);
    }
    panels.ep3 = ep3.get();
    panels.ep = ep.get();
    panels.ep2 = ep2.get();
    loader.ep3 = ep3.get();
    loader.ep = ep.get();
    loader.ep2 = ep2.get();
    wirePanelGrids();
}

// The Groups panel's first listing when it waited for the window: once the window has been
// painted (the event filter sees its first expose) or a second after it was shown, whichever
// comes first.
void Tform1::firstGroupsListing()
{
    if (!groupsListPending_ || shutdown.begun()) return;
    groupsListPending_ = false;
    if (groupsPanel_ && groupsPanel_->logic().tree().selected()) groupsPanel_->logic().listSelected();
}

void Tform1::volrecChange(QObject*)
{
    auto* dial = get<TVrBitmapDial>(QStringLiteral("volrec"));
    if (!dial) return;
    if (adj) adj->volgrabacion(dial->Position());
    if (set) set->values.quorvolrec = dial->Position();
}
