// The main window: one frameless skinned window built from the form data (FormBuilder, from
// tform1.skn), whose controls are found by the names the handlers use (btnplay1,
// trackfrequency, ...). It is the engine's owner and Hint mailbox (MainServices) and the surface
// the controllers drive (ControllerSurface). Its handlers forward to the display-free layer in
// mainwindow/logic, whose views the window binds to its controls.
//
// One source file per concern, tform1<concern>.cpp. In this header every concern keeps its
// members and handler declarations in one block of its own, headed by a comment line naming the
// file, so that work on different concerns touches different lines. A handler whose behaviour
// belongs to a concern not built yet is declared in that concern's block and does nothing.
#pragma once

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include <QEvent>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "controllers/dispatch/controllersurface.h"
#include "engine/hintmailbox.h"
#include "engine/mainservices.h"
#include "mainwindow/logic/automixwalk.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/hotcues.h"
#include "mainwindow/logic/jogwheel.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/mainloop.h"
#include "mainwindow/logic/mixercontrols.h"
#include "mainwindow/logic/panelarrangement.h"
#include "mainwindow/logic/shutdown.h"
#include "mainwindow/logic/songloader.h"
#include "mainwindow/logic/statustimer.h"
#include "mainwindow/logic/transport.h"
#include "mainwindow/logic/centreselectors.h"
#include "mainwindow/logic/effectcontrols.h"
#include "mainwindow/logic/presetcontrols.h"
#include "mainwindow/logic/samplercontrols.h"

class BrowserPanel;
class ExplorerPanelView;
class MountTable;
class PanelView;
class PlaylistsPanelView;
class Tnskinexplore;
class Tnskinfiles;
class Tnskinplay;
template <class Panel, class Base>
class SongPanelView;
using GroupsPanelView = SongPanelView<Tnskinfiles, BrowserPanel>;
class ButtonView;
class ControlView;
class ControllerSet;
class FormBuilder;
class GridView;
class LabelView;
class PositionView;
class ProgressLink;
class SleepInhibitor;
class SpeedSliderLink;
class SplashView;
class TQuorPanel;
class TVisuales;
class TmsqlDeckLibrary;
class Tmsql;
class TquorGrid;
class Ttquormessage;
class audiobase;
class cargaasio;
class QCloseEvent;
class AutomixHost;
class ConfigBridge;
class ConfigBridgeHost;
class Tfnewconfig;
class AutomixSwitch;
class RecordingControls;
class TTquorsavedialog2;
class RunStats;
class RecordingHost;
class UpdateCheck;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
namespace midi {
class Backend;
}
namespace hid {
class Backend;
}

class Tform1 : public QWidget, public MainServices, public ControllerSurface {
    Q_OBJECT
public:
    // What tests and benchmarks give in place of the real services; empty fields take the real
    // ones.
    struct Options {
        QString profile;                    // the profile folder; empty: GetUserProfile()
        SplashView* splash = nullptr;       // the start-up splash; null: none shown
        midi::Backend* midi = nullptr;      // null: the system's MIDI ports
        hid::Backend* hid = nullptr;        // null: the system's HID devices
        SleepInhibitor* sleep = nullptr;    // null: logind
        bool offlineEngine = false;         // the outputs are pulled by the caller, no device
        // the Groups panel's first listing waits until the window has been painted (a large
        // library takes seconds to list); false: it is listed while the panel is built
        bool listAfterShow = false;
        // a notice for the user that needs no answer; null: the kit's message box, shown once
        // the window runs
        std::function<void(const QString&)> tell;
    };

    // FormCreate: builds the form and everything the window holds, then shows the window.
    Tform1();
    explicit Tform1(Options options);
    ~Tform1() override;

    // ---- MainServices
    bool mmain(bool flag) override;
    bool mainRunning() const override;
    HintMailbox& hint() override { return Hint_; }
    QObject* owner() override { return this; }

    // ======================================================================== core: tform1.cpp
    // The form's controls by name (null for a name the form does not hold).
    QObject* object(const QString& name) const;
    template <class T>
    T* get(const QString& name) const { return qobject_cast<T*>(object(name)); }
    FormBuilder& form() { return *form_; }

    // The views bound to the form's controls, by control name (null for other names).
    ButtonView* buttonView(const QString& name);
    // the view of the button that sent an event (null for the window or no sender)
    ButtonView* senderButton(QObject* sender) { return buttonView(sender ? sender->objectName() : QString()); }
    PositionView* positionView(const QString& name);
    LabelView* labelView(const QString& name);
    ControlView* controlView(const QString& name);

    // Connects a control's mouse-down, mouse-up, click and change events to handlers taking
    // the sender (skinned controls, the kit's buttons, knobs and sliders alike).
    using MouseHandler = void (Tform1::*)(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                                          int X, int Y);
    using NotifyHandler = void (Tform1::*)(QObject* Sender);
    void onMouseDown(const QString& name, MouseHandler h);
    void onMouseUp(const QString& name, MouseHandler h);
    void onClick(const QString& name, NotifyHandler h);
    void onChange(const QString& name, NotifyHandler h);
    void onTimer(const QString& name, void (Tform1::*h)());

private:
    void bindViews();
    void wireHandlers();

    std::unique_ptr<FormBuilder> form_;
    struct Views;
    std::unique_ptr<Views> views_;
    Options options_;
    HintMailbox Hint_;

public:
    // ============================================================== startup: tform1startup.cpp
    void FormCreate();
    void volrecChange(QObject* Sender);
    // the profile folder, ending in "/"
    QString myApplicationdir;
    QString softversion;
    std::unique_ptr<Tmsql> quorsql;
    bool CloseVariable = true;
    bool actualizoskin = false;  // the first activation is still to come
    bool modemax = false;        // the wide window mode (wfull)
    int AnchoViejo = 0, AlturaVieja = 0;
    QRect R;  // the work area
    TquorGrid* sgdrag = nullptr;
    SplashView* splash() const { return options_.splash; }

private:
    void splashStep(const QString& text, int position);
    void stylePanels();
    void buildPanels();
    void tell(const QString& text);
    std::unique_ptr<GridView> sgdragView_;

public:
    // ================================================================== setup: tform1setup.cpp
    void iniciaadj();
    // Keeps the system from sleeping (the flag is kept for the shut-down's call).
    void activatescreensaver(bool flag);
    std::unique_ptr<audiobase> adj;
    std::unique_ptr<ControllerSet> set;
    bool showpanel = false;  // the output did not start
    bool deviceGone = false; // a stored output device of the driver mode in use is not listed
    // sampler files sp1 .. sp6 (the sampler's own concern fills them with the configuration)
    std::array<QString, 6> sp;

    // the visual step of the deck displays (the engine reaches it as adj->visual)
    std::shared_ptr<TVisuales> visual;

private:
    void createDecks();
    void sampleCaptions();
    void visualTargets();
    void startVisual();
    std::vector<std::shared_ptr<void>> visualLinks_;  // the links from the step to the controls
    std::array<std::unique_ptr<cargaasio>, 4> decks_;
    std::array<std::unique_ptr<SpeedSliderLink>, 2> speedSliders_;
    std::array<std::unique_ptr<ProgressLink>, 2> progressBars_;
    std::array<QPointer<Ttquormessage>, 5> boxes_;  // decks 1..4, then the engine's own
    std::unique_ptr<TmsqlDeckLibrary> deckLibrary_;
    std::unique_ptr<SleepInhibitor> ownSleep_;
    SleepInhibitor* sleep_ = nullptr;

public:
    // ============================================================ mainloop: tform1mainloop.cpp
    MainLoop loop;
    void timer4Timer();
    void TscratchTimer();
    void mjvpopupmenuhide();
    void JvPopupMenu1Popup();
    void JvPopupMenu2Popup();
    void JvPopupMenu3Popup();
    void JvPopupMenu4Popup();

private:
    void wireMainLoop();

public:
    // ============================================================ songload: tform1songload.cpp
    DeckControls deckA{1}, deckB{2};
    MixerControls mixer;
    SongLoader loader;
    // btnload1MouseDown / btnload2MouseDown
    void btnload1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btnload2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // A grid row dragged onto deck A / deck B (drag1DragDrop / drag2DragDrop).
    void drag1DragDrop(QObject* Source);
    void drag2DragDrop(QObject* Source);
    // Files dropped on the window at a point of it (WMDropFiles).
    void WMDropFiles(const QStringList& files, QPoint at);
    void altademosongs();
    // The deck (1, 2) whose controls lie under a point of the window, 0 for none.
    int deckAt(QPoint at) const;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void wireSongLoad();
    SongGrid* gridOf(QObject* source) const;

public:
    // ================================================================ panels: tform1panels.cpp
    LoadSource source;
    PanelArrangement panels{source};
    // ep3 Playlists, ep Groups, ep2 Explorer: the window's views of the library panels, built
    // by buildPanels; the panels themselves (and the Explorer's volume source) are owned below
    std::unique_ptr<PlaylistsPanelView> ep3;
    std::unique_ptr<GroupsPanelView> ep;
    std::unique_ptr<ExplorerPanelView> ep2;
    // the three views, Groups, Playlists, Explorer (null entries before buildPanels)
    std::array<PanelView*, 3> panelViews() const;
    PanelView* panelView(LibraryPanel p) const;
    QWidget* panelTree(LibraryPanel p) const;  // the panel's tree dt
    void alineopanels() override;
    void bpplaylistClick(QObject* Sender);
    void bggruposClick(QObject* Sender);
    void bpexplorerClick(QObject* Sender);
    void setzoom(int n);
    void nzoomchange();
    void PlaylistEnter();
    void gruposEnter();
    void explorerEnter();
    void devuelvofoco();
    // The Playlists panel's playlist tree (dt): disabled while automix runs.
    QWidget* playlistTree() const;
    // Focuses a control when it can take the focus; the window when it refuses.
    void focusea(QWidget* control);

private:
    void wirePanels();
    void wirePanelGrids();
    // the panels (children of their hosts, owned here): declared after quorsql and the mount
    // table, so they go before the database and the volume source they use
    std::unique_ptr<MountTable> mounts_;
    std::unique_ptr<Tnskinexplore> explorerPanel_;
    std::unique_ptr<Tnskinfiles> groupsPanel_;
    std::unique_ptr<Tnskinplay> playlistsPanel_;
    void focusChanged(QWidget* old, QWidget* now);
    // Options::listAfterShow: the Groups panel's first listing, once
    void firstGroupsListing();
    bool groupsListPending_ = false;

public:
    // ======================================================== activation: tform1activation.cpp
    // Every activation; at the end of start-up the first one (a hidden window is never activated).
    void FormActivate();
    // A later start asked this copy to come forward.
    void restoreAndRaise();
    // The close question (FormCloseQuery): true when the window may close now. When a question
    // must be asked the box opens and the close is tried again on Yes.
    bool FormCloseQuery();
    // The shut-down (FormClose), once: later calls do nothing.
    void FormClose();
    ShutDown shutdown;
    // An exception reached the event loop: dropped (the window restored when minimised) until
    // shut-down has begun; from then on the program ends.
    void AppException(const std::exception& e);
    // The configuration dialog of the first activation (set by the configuration bridge): opens
    // it and runs `then` once it has closed. Unset: the first activation goes on without it.
    std::function<void(std::function<void()> then)> firstActivationDialog;
    // The work area changed (the screen's availableGeometryChanged).
    void WMSettingChange();
    // the close box, while it is open
    QPointer<QWidget> closeBox;
    // With OSTREL_STATS set: the line of figures the program prints at exit (see main.cpp);
    // empty without it.
    QString statsLine() const;
    std::unique_ptr<RunStats> runStats;
    bool closeAnswered = false;  // Yes was answered: the next close goes ahead

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void firstActivation();
    void firstActivationPanels();
    void firstActivationSetup();
    // first activation steps 9 to 17, after the configuration dialog when it opened
    void firstActivationViews();
    void activationControllers();
    void wireShutDown();
    void graboconfigRow();

public:
    // ========================================================== transport: tform1transport.cpp
    Transport transport{deckA, deckB, source};
    void btnplay1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btnplay2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btnpause1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btnpause2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btncue1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btncue2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btncue1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btncue2MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void btncue1Click(QObject* Sender);
    void btncue2Click(QObject* Sender);
    void match1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void match2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void reverseMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void reverse2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void brakeMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void brake2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void key1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void key2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmas1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmas1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmenos1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmenos1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmas2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmas2MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmenos2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bendmenos2MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void pro1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void pro2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void displaypeq1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void displaypeq2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void scratch1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void scratch2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void search1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void search2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void effects1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void effects2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void trackfrequencyChange(QObject* Sender);
    void trackfrequency2Change(QObject* Sender);
    // the pitch range menus' items (Tag: the range in percent)
    void N41Click(QObject* Sender);
    void MenuItem1Click(QObject* Sender);

private:
    void wireTransport();

public:
    // ================================================================== mixer: tform1mixer.cpp
    void trackvolumeChange(QObject* Sender);
    void trackvolume2Change(QObject* Sender);
    void crossfaderChange(QObject* Sender);
    void gain1Change(QObject* Sender);
    void gain2Change(QObject* Sender);
    void volhead1Change(QObject* Sender);
    void volhead2Change(QObject* Sender);
    void headaMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void headbMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void g1masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void g1menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void h1masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void h1menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void m1masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void m1menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void l1masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void l1menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void g2masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void g2menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void h2masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void h2menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void m2masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void m2menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void l2masMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void l2menosMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void kb1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void kb2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void kh1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void kh2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void km1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void km2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

private:
    void wireMixer();

public:
    // ============================================================== hotcues: tform1hotcues.cpp
    HotCues cues{deckA, deckB};
    void lucescues();
    void lucesloop();
    void cue11MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void cue21MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void memory1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void memory2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void delete1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void delete2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void loop1aMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void loop1bMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void loop1reloopMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void loop2aMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void loop2bMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void loop2reloopMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void R1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void R1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void l1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void l1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // salvacues(deck): the deck's cues into the grids and the database
    void salvacues(int deck);

private:
    void wireHotcues();

public:
    // ================================================================ status: tform1status.cpp
    AutomixWalk walk{deckA, deckB, source};
    StatusTimer status{deckA, deckB, Hint_, walk, cues};
    void Timer1Timer();

private:
    void wireStatus();

public:
    // ====================================================================== jog: tform1jog.cpp
    JogWheel jog{deckA, deckB, source, transport};
    void doPlaying();
    void actjoTimer();
    void vrwheelaMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vrwheelaMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vrWheelbMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vrWheelbMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void display1grandeMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void display1grandeMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void display2grandeMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void display2grandeMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vrwheelaMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void vrWheelbMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void display1grandeMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void display2grandeMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);

private:
    void wireJog();
    void ScaleRot(int deck, float alpha);

public:
    // ============================================================== effects: tform1effects.cpp
    void dry1Change(QObject* Sender);
    void dry2Change(QObject* Sender);
    void samplevolumeChange(QObject* Sender);
    void samplevolume2Change(QObject* Sender);
    void echoMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void echo2MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void echoMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void t1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void t12MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void updateecho();
    void updateecho2();
    void vl1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vr1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vl7MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vr7MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vl1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void vr1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // player 3 (left) or 4 (right), sample 1..9
    void playsample(int player, int number);
    void bmixMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bfxMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void baxMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void bsamplerMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    std::array<std::unique_ptr<EffectTarget>, 2> effectTargets_;
    std::array<std::unique_ptr<SamplerPlayer>, 2> samplerPlayers_;
    EffectControls effectsA{deckA, nullptr}, effectsB{deckB, nullptr};
    SamplerControls samplers;
    CentreSelectors selectors;

private:
    void wireEffects();
    EffectControls& effectsOf(QObject* sender);
    // deck 1 or 2's effect controls, bound to the controllers' effect state
    EffectControls& deckEffects(int deck);
    // the samplers with side 0 or 1's volume copy bound, and the sample files when withSamples
    SamplerControls& samplerSide(int side, bool withSamples);

public:
    // ============================================================== automix: tform1automix.cpp
    void auto_enableMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void mixnowMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void ffoutChange(QObject* Sender);
    void ffinChange(QObject* Sender);
    void randomMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void randomMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void newlistMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void newlistMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void recMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void boffd1click();
    void boffd2click();
    // The Playlists panel's shuffle view (shuttlepress and its shuttle flag): the panel's own
    // widget sets these; until then the flag alone is kept.
    std::function<void(bool on)> shuttlepressHook;
    std::function<bool()> shuttleHook;
    // the library's "Recording" dialog (mrecsave), made at start-up, shown and hidden by REC
    QPointer<TTquorsavedialog2> mrecsave;
    std::unique_ptr<AutomixHost> automixHost_;
    std::unique_ptr<AutomixSwitch> automix;  // CURRENTPLAYNUMBER, currentplayfinded: automix->...
    std::unique_ptr<RecordingHost> recordingHost_;
    std::unique_ptr<RecordingControls> recording;

private:
    void wireAutomix();
    // automix switched off by a CUE click or a walk that cannot go on: the engine's flag, the
    // automix button up and the Playlists panel's playlist tree enabled again
    void automixOff();
    void showAfterPress(const QString& button, std::function<bool()> down);
    bool shuffle_ = false;

public:
    // ================================================================== views: tform1views.cpp
    void maximizo();
    void ComboBoxEx1Click();
    void normal();
    void medium();
    void full();
    void maximizarClick(QObject* Sender);
    void minimizarClick(QObject* Sender);
    void VsButton7Click(QObject* Sender);
    void zoomleftChange(QObject* Sender);
    void zoomrightChange(QObject* Sender);
    void Redondea(QWidget* control);
    void redondeacom(QWidget* control);
    void asignoskin(const QString& skin);
    bool plvista = false;

private:
    void wireViews();
    void applyDeckView(const QString& view);

public:
    // ============================================================== presets: tform1presets.cpp
    void higp();
    void medp();
    void lowp();
    void Timer5Timer();
    PresetControls presets;

private:
    void wirePresets();

public:
    // ================================================================ update: tform1update.cpp
    // The first Timer5 tick's check (micout 1 only), the web links, the about box and the
    // downloader button. Tests replace the opener and the launcher.
    void LFX1Click(QObject* Sender);
    void VsButton1Click(QObject* Sender);
    void btnsavetubeClick(QObject* Sender);
    void updateCheckTick();
    bool checkeada = false;
    std::function<bool(const QString& url)> urlOpener;
    std::function<bool(const QString& program, const QStringList& arguments)> launcher;
    // a dialog holds the window: the update question waits and leaves the main loop alone
    bool dialogOpen() const;
    UpdateCheck* updateCheck = nullptr;

private:
    void wireUpdate();

public:

    // ================================================================ config: tform1config.cpp
    // The configuration row into the engine's configuration and the window (a row that cannot
    // be read is replaced by the default row, and the user told once).
    void asignoconfig();
    // the configuration button: opens the configuration dialog (nothing while it is open)
    void bconfigMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // the dialog while it exists (it frees itself once closed)
    QPointer<Tfnewconfig> fnewconfig;
    std::unique_ptr<ConfigBridgeHost> configHost_;
    std::unique_ptr<ConfigBridge> configBridge;

private:
    class ConfigHost;
    void wireConfig();

public:

    // ====================================================== controllers: tform1controllers.cpp
    void Timer2Timer();
    void Timer3Timer();
    void VsButton3Click(QObject* Sender);
    // First activation: the two HID drivers are made and look for their devices.
    void createHidDrivers();
    // Every activation: each HID controller with a configured device is set up, the others off.
    void setUpHidControllers();
    // Shut-down: the HID inputs off and the drivers freed, every MIDI light off, MIDI controller
    // 1 no longer set up. A second call changes nothing.
    void closeControllers();

    // ControllerSurface
    void MouseDown(SurfaceButton b) override;
    void MouseUp(SurfaceButton b) override;
    void Click(SurfaceButton b) override;
    bool Down(SurfaceButton b) const override;
    void SetDown(SurfaceButton b, bool down) override;
    bool Enabled(SurfaceButton b) const override;
    int Position(SurfaceControl c) const override;
    void SetPosition(SurfaceControl c, int value) override;
    int Min(SurfaceControl c) const override;
    int Max(SurfaceControl c) const override;
    QString Caption(SurfaceLabel l) const override;
    void SetCaption(SurfaceLabel l, const QString& text) override;
    bool deckPlaying(int deck) const override;
    bool deckSearchMode(int deck) const override;
    void setvalorbend(int deck, int value) override;
    int grabapeak() const override;
    bool deckLoaded(int deck) const override;
    bool deckLoopActive(int deck) const override;
    int deckcargacue(int deck) const override;
    void setdeckcargacue(int deck, int slot) override;
    bool deckHeadphones(int deck) const override;
    QString deckDuration(int deck) const override;
    int deckBpmn(int deck) const override;
    int deckPitchn(int deck) const override;
    void deckSetPositions(int deck, int delta, int value) override;
    void deckSetPositionm(int deck, int x, int width) override;
    int deckSetPitchv(int deck, int range) override;
    void deckSetSliders(int deck, bool on) override;
    void setdecksliders(int deck, bool on) override;
    void deckSetScratchOff(int deck) override;
    void setheadphones(bool enable, int canal) override;
    bool bmutemic() const override;
    HotCueLook hotCue(int deck, int slot) const override;
    bool blink(int deck) const override;
    bool borrar(int deck) const override;
    QString msenderName() const override;
    int sourceRow() const override;
    int sourceRowCount() const override;
    void setSourceRow(int row) override;
    void dtabajo(LibraryPanel p) override;
    void dtarriba(LibraryPanel p) override;
    void setselected(LibraryPanel p) override;
    void focusea(FocusTarget t) override;
    bool panelShown(LibraryPanel p) const override;
    void setPanelShown(LibraryPanel p, bool shown) override;
    JogMouse jogMouse(int deck) const override;
    void setPanelsIskeyboard(bool on) override;
    void ShowMessage(const QString& text) override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void wireControllers();
    // the change handler of a control the controllers set, after its value was written back
    void controlChanged(SurfaceControl c);
    bool keyEvent(QKeyEvent* e);
    struct LastKey {
        int type = 0, key = 0;
        quint64 timestamp = 0;
        quint32 scanCode = 0;
    } lastKey_;
};
