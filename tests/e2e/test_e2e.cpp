// The whole program, tried as a DJ would: a scripted set through the real window, driven only
// from outside (xdotool, our drag source, our MIDI sender, the keyboard map written into the
// profile) and judged only by what a person could see or hear (our JACK capture, the recorded
// WAV, screenshots, the database after exit). Runs under xvfb-run with no window manager
// (e2e.sh).
//
// Each step of the set is a test of suite E2eSet, run in order on one program. A step whose
// part of the program has not landed yet is skipped with the part's name (set
// OSTREL_E2E_REQUIRE_ALL=1 to make that a failure); a step that needs an earlier step which
// did not run is skipped naming that step. What a run saw stays in
// build/tests/e2e/artifacts/<suite>/.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "tests/e2e/dialogplaces.h"
#include "tests/e2e/groove.h"
#include "tests/e2e/librarycheck.h"
#include "tests/e2e/libraryplaces.h"
#include "tests/e2e/session.h"
#include "tests/e2e/soundchecks.h"
#include "tests/e2e/tracks.h"
#include "tests/support/alsafilepcms.h"
#include "tests/support/wavreader.h"

using namespace e2e;

namespace {

bool requireAll() { return qEnvironmentVariableIntValue("OSTREL_E2E_REQUIRE_ALL") != 0; }
#ifdef OSTREL_E2E_SANITIZED
constexpr bool kSanitized = true;  // the timing checks (drift, loop passes, gaps) are skipped
#else
constexpr bool kSanitized = false;
#endif
#ifdef OSTREL_E2E_TSAN
constexpr bool kTsan = true;  // races inside Qt's own code are Qt's (see stderrFaults)
#else
constexpr bool kTsan = false;
#endif

// A part of the program that a step needs and that has not landed: skipped (or failed).
#define E2E_MISSING(what)                                                               \
    do {                                                                                \
        const std::string why_ = std::string("missing: ") + (what);                    \
        if (requireAll()) FAIL() << why_;                                               \
        GTEST_SKIP() << why_;                                                           \
    } while (0)

// A step that needs an earlier one that did not run or failed.
#define E2E_NEEDS(flag, step)                                                                      \
    do {                                                                                           \
        if (!(flag)) GTEST_SKIP() << "needs step '" << (step) << "', which did not complete";     \
    } while (0)

// What the parts of the program that the set needs look like while they are still stubs.
struct Built {
    // the first activation's configuration dialog when no output device is stored
    static bool firstActivationDialog()
    {
        return landed("mainwindow/tform1activation.cpp", "void Tform1::firstActivationSetup() {}");
    }
    static bool transport()
    {
        return landed("mainwindow/tform1transport.cpp",
                      "void Tform1::btnplay1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}");
    }
    static bool mixer() { return landed("mainwindow/tform1mixer.cpp", "void Tform1::crossfaderChange(QObject*) {}"); }
    static bool hotcues() { return landed("mainwindow/tform1hotcues.cpp", "void Tform1::lucescues() {}"); }
    static bool effects() { return landed("mainwindow/tform1effects.cpp", "void Tform1::dry1Change(QObject*) {}"); }
    // the automix file holds no handler at all until its part lands
    static bool automix() { return mentioned("mainwindow/tform1automix.cpp", "void Tform1::"); }
    static bool closeControl() { return mentioned("mainwindow", "VsButton7"); }
    static bool addFromDir() { return mentioned("library/panels", "Add from Dir"); }
    static bool recordingDialog() { return mentioned("library", "\"Recording\"") || mentioned("mainwindow", "\"Recording\""); }
    static bool stats() { return mentioned("mainwindow", "OSTREL_STATS"); }
    static bool visualStep() { return mentioned("mainwindow", "TVisuales"); }
    static bool configButton() { return mentioned("mainwindow", "void Tform1::bconfigMouseDown"); }
};

// The keyboard map the test writes into the profile: virtual key codes (Windows numbering, as
// the map stores them) to controls, status 144, pressed value 127. Keyboard control reaches
// every window of the program, its dialogs included, so the map holds function keys only: the
// letters typed into the folder dialog must not play or stop anything.
QByteArray keyboardMap()
{
    const std::pair<int, const char*> keys[] = {
        {116, "BTNPLAYA"},      // F5
        {117, "BTNPLAYB"},      // F6
        {118, "BTNSYNCB"},      // F7
        {119, "BTNHEADPHB"},    // F8
        {120, "BTNCUE1B"},      // F9
        {122, "BTNKILLMEDB"},   // F11
        {123, "BTNREC"},        // F12
    };
    QByteArray x = "<?xml version=\"1.0\"?>\n<DATAPACKET>";
    for (const auto& [vk, control] : keys)
        x += QStringLiteral("<ROW><control_midino>%1</control_midino><control_group>INPUT</control_group>"
                            "<midichan>144</midichan><control_key>%2</control_key><sensitivity>127</sensitivity></ROW>")
                 .arg(vk)
                 .arg(QLatin1String(control))
                 .toUtf8();
    return x + "</DATAPACKET>\n";
}

// The MIDI definition: the crossfader on controller 8 of channel 1 (an absolute controller,
// miditype "Ctrl"), deck B's play and the echo on notes of channel 1.
QByteArray midiDefinition()
{
    const struct {
        int number, status;
        const char* control;
        const char* type;
    } rows[] = {{8, 176, "POTCROSSFADER", "Ctrl"}, {36, 144, "BTNPLAYB", "Note"}, {37, 144, "BTNFX1B", "Note"}};
    QByteArray x = "<?xml version=\"1.0\"?>\n<DATAPACKET>";
    for (const auto& r : rows)
        x += QStringLiteral("<ROW><control_midino>%1</control_midino><control_group>INPUT</control_group>"
                            "<midichan>%2</midichan><miditype>%4</miditype><control_key>%3</control_key>"
                            "<sensitivity>127</sensitivity></ROW>")
                 .arg(r.number)
                 .arg(r.status)
                 .arg(QLatin1String(r.control))
                 .arg(QLatin1String(r.type))
                 .toUtf8();
    return x + "</DATAPACKET>\n";
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The music, made once per build folder.
const TrackSet& tracks()
{
    static QString error;
    static const TrackSet set = makeTracks(Paths::build(QStringLiteral("tracks")), &error);
    if (!error.isEmpty()) ADD_FAILURE() << "step 'tracks': " << error.toStdString();
    return set;
}

// The capture's last `seconds`: the master (channels 1/2) or the headphone cue (3/4), mono.
std::vector<float> recent(Session& r, bool cue, double seconds)
{
    const int64_t now = r.framesHeard(), from = std::max<int64_t>(0, now - int64_t(seconds * kRate));
    const std::vector<float> all = r.captured(from);
    return mixOf(channelOf(all, 4, cue ? 2 : 0), channelOf(all, 4, cue ? 3 : 1));
}

std::vector<float> band(const std::vector<float>& x, bool high)
{
    return high ? bandpass(x, kRate, kHighBandLoHz, kHighBandHiHz) : bandpass(x, kRate, 0, kLowBandHz);
}

// Waits until a deck's register sounds on the master or the cue above `db`.
bool waitBand(Session& r, bool high, bool cue, double db, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        const std::vector<float> b = band(recent(r, cue, 1.0), high);
        if (levelDb(b, 0, int64_t(b.size())) > db) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

// Waits until one register leads the master over the last second, 4 dB over the other's band
// (measured here: a low groove alone leads by about 20 dB, a high one alone by about 8, and
// while a fading low groove still plays at half its level the high one does not lead).
bool waitRegister(Session& r, bool high, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        const std::vector<float> m = recent(r, false, 1.0);
        const std::vector<float> lo = band(m, false), hi = band(m, true);
        const double l = levelDb(lo, 0, int64_t(lo.size())), h = levelDb(hi, 0, int64_t(hi.size()));
        if (std::max(l, h) > -45 && (high ? h - l : l - h) >= 4) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

// Waits for a beat of the low register on the master: returns once its newest onset is less
// than 40 ms old (a DJ's press right on the beat).
bool waitBeat(Session& r, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        const std::vector<float> b = band(recent(r, false, 1.0), false);
        const std::vector<double> o = onsets(b, kRate, -40, 0.2);
        if (!o.empty() && double(b.size()) / kRate - o.back() < 0.04) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The crossfader from `from` to `to` (MIDI values) in `ms` by the MIDI sender.
void crossfade(Session& r, int from, int to, int ms)
{
    const int steps = std::abs(to - from) / 4 + 1;
    for (int i = 0; i <= steps; ++i) {
        const int v = from + (to - from) * i / steps;
        r.midi()->send(QStringLiteral("B0 08 %1").arg(v, 2, 16, QLatin1Char('0')).toStdString());
        r.midi()->send("wait " + std::to_string(ms / steps));
    }
    r.midi()->send("sync");
    r.midi()->waitLine("sent", ms + 10000);
}

// A centre section shown by its selector (bfx, bsampler, bax) where the selector puts it, then
// photographed as `shot`.
QImage showSection(Session& r, const char* selector, const char* panel, const QString& shot)
{
    click(r.places().centre(QLatin1String(selector)));
    r.places().movePanel(QLatin1String(panel), QStringLiteral("pancentral"));
    pause(500);
    return r.shot(shot);
}

// Keys to whatever has the focus now (an open drop-down list), without moving the focus.
void keysHere(const QStringList& keys)
{
    QStringList args{"key", "--delay", "80"};
    args << keys;
    xdo(args);
}

// Answers Yes to a "Warning " question of the program's, when one comes within `ms`, and waits
// until it has gone: while it is open, it holds the window beneath it and clicks there are lost.
void answerYes(qint64 pid, int ms)
{
    const QString box = waitWindow(pid, QStringLiteral("^Warning ?$"), ms);
    if (box.isEmpty()) return;
    key(box, QStringLiteral("alt+y"));
    waitWindowGone(pid, QStringLiteral("^Warning ?$"), 10000);
}

// The configuration dialog driven as a person would: JACK, routing mode 3 (master on the first
// pair, the cue on the second), MIDI controller 1 on our sender with our map, automix fades 4 s
// and 2 s, OK; or (jack false) ALSA, routing mode 1 on the first device, OK. An empty answer
// means it went through.
QString configure(qint64 pid, const QString& dialog, const std::function<void(const QString&)>& shot, bool jack = true)
{
    DialogPlaces d;
    const QRect g = settledGeometry(dialog);
    const auto at = [&](const QRect& local) { return local.translated(g.topLeft()).center(); };
    const auto press = [&](const QString& name) {
        const QRect local = d.rect(name);
        if (local.isEmpty()) return false;
        click(at(local));
        d.press(name);
        return true;
    };
    const auto choose = [&](const QString& combo, int index) {
        const QRect local = d.rect(combo);
        if (local.isEmpty()) return;
        click(at(local));
        QStringList keys{"Home"};
        for (int i = 0; i < index; ++i) keys << "Down";
        keys << "Return";
        keysHere(keys);
    };
    // the driver (a switch that asks first when it changes)
    if (!press(jack ? QStringLiteral("rdm1") : QStringLiteral("rdm2"))) return QStringLiteral("no driver switch in the dialog");
    answerYes(pid, 3000);
    // with no window manager, the dialog is not active again once the question has gone: a
    // click on its bare margin activates it, so that the next click counts
    click(QPoint(g.left() + 3, g.bottom() - 3));
    if (!press(jack ? QStringLiteral("rw3") : QStringLiteral("rw1"))) return QStringLiteral("no routing mode switch in the dialog");
    // each shown device row: the first device; the master on the first pair, the cue on the second
    for (const char* dev : {"dev1", "dev2", "dev3"}) choose(QLatin1String(dev), 0);
    choose(QStringLiteral("cha1"), 0);
    choose(QStringLiteral("cha2"), 1);
    choose(QStringLiteral("cha3"), 0);
    shot(QStringLiteral("01-configuration-audio"));
    if (!jack) {
        if (!press(QStringLiteral("JvHTButton2"))) return QStringLiteral("no OK button");
        if (!waitWindowGone(pid, QStringLiteral("^Configuration$"), 15000))
            return QStringLiteral("the dialog was still open 15 s after OK");
        return {};
    }
    // MIDI controller 1: our sender's port and our map, the first (only) entries of their lists
    click(at(d.tab(QStringLiteral("TabSheet3"))));
    d.press(QStringLiteral("TabSheet3"));
    for (const char* list : {"listview1", "ListView3"}) {
        const QRect row = d.row(QLatin1String(list), 0);
        if (row.isEmpty()) return QStringLiteral("no row in the MIDI list %1").arg(QLatin1String(list));
        // the row becomes current; the space bar ticks it
        click(at(row));
        keysHere({"space"});
    }
    shot(QStringLiteral("01-configuration-midi"));
    // automix: fade 4 s, launch 2 s
    click(at(d.tab(QStringLiteral("TabSheet6"))));
    d.press(QStringLiteral("TabSheet6"));
    for (const auto& [edit, value] : {std::pair{"auto1", "4"}, std::pair{"auto2", "2"}}) {
        const QRect e = d.rect(QLatin1String(edit));
        if (e.isEmpty()) return QStringLiteral("no field %1").arg(QLatin1String(edit));
        click(at(e));
        keysHere({"ctrl+a"});
        xdo({"type", "--delay", "60", QLatin1String(value)});
    }
    shot(QStringLiteral("01-configuration-automix"));
    if (!press(QStringLiteral("JvHTButton2"))) return QStringLiteral("no OK button");
    if (!waitWindowGone(pid, QStringLiteral("^Configuration$"), 15000))
        return QStringLiteral("the dialog was still open 15 s after OK");
    return {};
}

// The program's own message boxes ("Warning", one Accept button) that start-up shows, accepted
// as a person would, until none comes within `ms`. The kit's box has no form data: its one
// button sits centred on its button row, 112 to 137 pixels below its top.
int acceptNotices(Session& r, int ms)
{
    int accepted = 0;
    for (int i = 0; i < 5; ++i) {
        const QString box = waitWindow(r.program().pid(), QStringLiteral("^Warning ?$"), ms);
        if (box.isEmpty()) break;
        const QRect g = settledGeometry(box);
        r.shot(QStringLiteral("01-notice-%1").arg(i + 1));
        click(QPoint(g.center().x(), g.top() + 124));
        if (!waitWindowGone(r.program().pid(), QStringLiteral("^Warning ?$"), 5000)) break;
        ++accepted;
    }
    return accepted;
}

// The state the steps hand on.
struct SetState {
    std::unique_ptr<Session> run;
    bool started = false, configured = false, keyboardOn = false, added = false;
    bool deckA = false, deckB = false, mixed = false, recorded = false, automixed = false, closed = false;
    QImage empty;  // the window before anything was loaded
    QStringList loadedInOrder;  // tracks loaded onto a deck from the Groups or Explorer grid
    // capture frames at the set's marks
    std::map<std::string, int64_t> marks;
    QString recording;
    std::unique_ptr<LibraryPlaces> library;
};
SetState* state = nullptr;

LibraryPlaces& libraryPlaces();

// The frame heard now, under `name`; also listed in artifacts/marks.txt with the monotonic
// clock's milliseconds, for a look afterwards beside the capture's xrun and stall logs.
void mark(const std::string& name)
{
    state->marks[name] = state->run->framesHeard();
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch());
    QFile f(state->run->artifacts() + QStringLiteral("/marks.txt"));
    if (f.open(QIODevice::Append | QIODevice::Text))
        f.write(QByteArray::fromStdString(name + " " + std::to_string(state->marks[name]) + " " +
                                          QString::number(ms.count(), 'f', 1).toStdString() + "\n"));
}

// REC pressed by the map's key F12 and the "Recording" dialog accepted with its first folder (the
// home folder) and name ("Recording"): state->recording names the file. The library's dialog
// is clicked at its places; the window's own plain dialog is driven by keys from its folder
// tree (Tab to the name, Tab to Accept, space). False when no dialog came.
bool startRecording(Session& r)
{
    const QString file = r.home() + QStringLiteral("/Recording.wav");
    mark("rec key");
    if (!key(r.window(), QStringLiteral("F12"))) return false;
    const QString dialog = waitWindow(r.program().pid(), QStringLiteral("^Recording$"), 10000);
    if (dialog.isEmpty()) {
        ADD_FAILURE() << "step 'REC': the \"Recording\" dialog did not open within 10 s";
        return false;
    }
    const QRect g = settledGeometry(dialog);
    r.shot(QStringLiteral("04-recording-dialog"));
    mark("rec accept");
    if (mentioned("mainwindow", "TTquorsavedialog2")) {
        const QRect accept = libraryPlaces().recordingControl(QStringLiteral("bffd1")).translated(g.topLeft());
        click(accept.center());
    } else {
        for (const char* k : {"Tab", "Tab", "space"}) key(dialog, QLatin1String(k));
    }
    answerYes(r.program().pid(), 2000);  // a file left by an earlier run is replaced
    mark("rec answered");
    if (!waitWindowGone(r.program().pid(), QStringLiteral("^Recording$"), 10000)) {
        ADD_FAILURE() << "step 'REC': the \"Recording\" dialog was still open 10 s after Accept";
        return false;
    }
    state->recording = file;
    return true;
}

// The library widgets' places, over as many entries as "Add from Dir" lists in Groups and in
// the automix playlist.
LibraryPlaces& libraryPlaces()
{
    if (!state->library) state->library = std::make_unique<LibraryPlaces>(30, 4);
    return *state->library;
}

using Panel = LibraryPlaces::Panel;

// "Add from Dir" in a library panel shown in the host `host` as a person does it: the bar's
// button, the folder chosen in the dialog's tree by keys, Accept; then the wait until the
// dialog has gone and the panel's grid has changed. Photographs `<step>-...`; *listed gets the
// grid's new look. An empty answer means it went through.
QString addFromDir(Session& r, Panel panel, const QString& host, const QString& folder, const QString& step,
                   QImage* listed)
{
    const QString name = QStringLiteral("step '%1 Add from Dir': ").arg(step);
    Places& p = r.places();
    const qint64 pid = r.program().pid();
    const QRect h = p.rect(host);
    if (h.isEmpty()) return name + QStringLiteral("the panel is not shown");
    LibraryPlaces& lib = libraryPlaces();
    const QRect button = lib.button(panel, h.size(), QStringLiteral("Add from Dir")).translated(h.topLeft());
    if (button.isEmpty()) return name + QStringLiteral("no such button in the panel");
    const QRect grid = lib.grid(panel, h.size()).translated(h.topLeft());
    const QImage before = r.shot(step + QStringLiteral("-before-add"));
    click(button.center());
    const QString dialog = waitWindow(pid, QStringLiteral("^Files From Directory$"), 15000);
    if (dialog.isEmpty()) return name + QStringLiteral("the folder dialog did not open within 15 s");
    const QRect g = settledGeometry(dialog);
    r.shot(step + QStringLiteral("-files-from-directory"));

    // The folder, chosen in the tree by keys as a person would: to the tree's first row, then
    // for each folder on the way the start of its name typed (the tree goes to the next row
    // that starts so) and the folder opened (Right). A person's pace between them lets the
    // typed letters count as one search and the opened folder list its children.
    const QRect tree = lib.filesDirControl(QStringLiteral("tffd")).translated(g.topLeft());
    if (tree.isEmpty()) return name + QStringLiteral("no folder tree in the dialog");
    click(QPoint(tree.center().x(), tree.bottom() - 10));
    if (!key(dialog, QStringLiteral("Home"))) return name + QStringLiteral("no key reached the dialog");
    pause(700);
    const QStringList way = QDir(folder).canonicalPath().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < way.size(); ++i) {
        if (!typeText(dialog, way[i])) return name + QStringLiteral("typing into the dialog failed");
        pause(700);
        if (i + 1 < way.size()) {
            if (!key(dialog, QStringLiteral("Right"))) return name + QStringLiteral("no key reached the dialog");
            pause(700);
        }
    }
    r.shot(step + QStringLiteral("-folder-chosen"));
    const QRect accept = lib.filesDirControl(QStringLiteral("bffd1")).translated(g.topLeft());
    if (accept.isEmpty()) return name + QStringLiteral("no Accept button in the dialog");
    click(accept.center());
    // a run that went to its end closes the dialog
    const bool closed = waitWindowGone(pid, QStringLiteral("^Files From Directory$"), 120000);
    r.shot(step + QStringLiteral("-after-add"));
    if (!closed)
        return name + QStringLiteral("the dialog was still open 120 s after Accept (see %1-after-add.png)").arg(step);
    if (!r.waitChanged(before, grid, 0.05, 10000, listed)) return name + QStringLiteral("the panel's grid did not change");
    return {};
}

class E2eSet : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        state = new SetState;
        tracks();
    }
    static void TearDownTestSuite()
    {
        if (state->run) state->run->finish();
        // a clean run keeps its photographs, standard error and database, not the capture
        if (state->run && ::testing::UnitTest::GetInstance()->failed_test_count() == 0)
            for (const char* f : {"/capture.f32", "/capture.f32.xruns", "/capture.f32.late"})
                QFile::remove(state->run->artifacts() + QLatin1String(f));
        delete state;
        state = nullptr;
    }
    Session& run() { return *state->run; }
};

}  // namespace

// 1. The profile is prepared, the program starts, the configuration is chosen, the keyboard
// control is switched on.
TEST_F(E2eSet, Step1_StartConfigureAndSwitchKeyboardOn)
{
    state->run = std::make_unique<Session>(QStringLiteral("set"), true);
    Session& r = run();
    ASSERT_TRUE(writeFile(r.profile() + QStringLiteral("/devices/teclado.key"), keyboardMap()));
    ASSERT_TRUE(writeFile(r.profile() + QStringLiteral("/devices/E2E SENDER.xml"), midiDefinition()));
    ASSERT_TRUE(r.startJackClients()) << r.error().toStdString();
    ASSERT_TRUE(r.startProgram()) << r.error().toStdString();
    state->started = true;
    const QRect g = r.refreshGeometry();
    EXPECT_GE(g.width(), 1024) << "step 'start': window geometry " << g.width() << "x" << g.height();
    state->empty = r.shot(QStringLiteral("01-started"));
    ASSERT_FALSE(state->empty.isNull()) << "step 'start': the screenshot failed";

    // a shown Qt window is activated by a click, on a spot of the skin no control covers
    click(r.places().inertSpot());

    if (!Built::firstActivationDialog())
        E2E_MISSING("the configuration dialog at the first activation with no device stored (the activation "
                    "concern's first-activation steps); the stored default output stands, so no sound reaches "
                    "the capture");
    // no device stored: the output cannot start, the program says so, then asks
    acceptNotices(r, 5000);
    QString dialog = waitWindow(r.program().pid(), QStringLiteral("^Configuration$"), 15000);
    if (dialog.isEmpty()) {
        // it did not ask by itself: a person opens it with the CONFIG button
        if (!Built::configButton())
            E2E_MISSING("the configuration dialog: the first activation did not open it (ALSA mode, no device "
                        "stored, the output could not start) and the CONFIG button (bconfigMouseDown) does nothing");
        click(r.places().centre(QStringLiteral("bconfig")));
        dialog = waitWindow(r.program().pid(), QStringLiteral("^Configuration$"), 15000);
    }
    ASSERT_FALSE(dialog.isEmpty()) << "step 'configuration': the dialog did not open within 15 s";
    r.shot(QStringLiteral("01-configuration"));
    const QString failed = configure(r.program().pid(), dialog, [&](const QString& name) { r.shot(name); });
    ASSERT_TRUE(failed.isEmpty()) << "step 'configuration': " << failed.toStdString();
    // the output now plays through JACK: the capture client hears the program's ports
    ASSERT_FALSE(r.capture()->waitLine("connected", 15000).empty())
        << "step 'configuration': the program's JACK ports did not appear within 15 s";
    ASSERT_TRUE(r.midi()->send("connected"));
    ASSERT_EQ(r.midi()->waitLine("connected", 15000), "connected")
        << "step 'configuration': nothing listens to the MIDI sender (the program did not take it as controller 1)";
    // the keyboard button: off at every start, lit once clicked; clicked once the dialog, which
    // opens at the first activation and holds the window, has closed
    const QImage beforeKeys = r.shot(QStringLiteral("01-keyboard-off"));
    click(r.places().centre(QStringLiteral("VsButton3")));
    QImage afterKeys;
    // the pointer leaves it, so the button shows its down cell rather than its hot one
    moveTo(r.places().inertSpot());
    state->keyboardOn = r.waitChanged(beforeKeys, QStringLiteral("VsButton3"), 0.05, 5000, &afterKeys);
    EXPECT_TRUE(state->keyboardOn) << "step 'keyboard button': its look did not change within 5 s";
    if (!afterKeys.isNull()) {
        afterKeys.save(r.artifacts() + QStringLiteral("/01-keyboard-on.png"));
        EXPECT_GT(r.places().cellMatch(afterKeys, QStringLiteral("VsButton3"), 1), 0.98)
            << "step 'keyboard button': it does not show the skin's lit cell";
        EXPECT_GT(r.places().cellMatch(beforeKeys, QStringLiteral("VsButton3"), 0), 0.98)
            << "step 'keyboard button': before the click it did not show the skin's normal cell";
    }

    // the three panels: those the stored layout hides are switched on by their side buttons,
    // and the window lays them out below one another
    Places& p = r.places();
    p.readPanels(r.shot(QStringLiteral("01-configured")));
    for (const auto& [panel, button] : {std::pair{"playlist", "bpplaylist"}, std::pair{"grupos", "bggrupos"},
                                        std::pair{"explorer", "bpexplorer"}}) {
        if (p.panelShown(QLatin1String(panel))) continue;
        const QImage before = r.shot(QStringLiteral("01-panel-") + QLatin1String(panel));
        click(p.centre(QLatin1String(button)));
        moveTo(p.inertSpot());
        QImage after;
        r.waitChanged(before, QLatin1String(button), 0.05, 5000, &after);
        p.readPanels(after);
        EXPECT_TRUE(p.panelShown(QLatin1String(panel))) << "step 'panels': the " << panel << " side button is not lit";
    }
    const QImage panels = r.shot(QStringLiteral("01-panels"));
    for (const char* panel : {"playlist", "grupos", "explorer"}) {
        EXPECT_FALSE(p.rect(QLatin1String(panel)).isEmpty()) << "the " << panel << " panel has no place";
        EXPECT_GT(p.nonUniform(panels, QLatin1String(panel)), 0.01) << "the " << panel << " panel is not shown";
    }
    state->configured = true;
}

// 2. "Add from Dir" in Groups: the 30 tracks of accepted types are listed, the m4a files not.
TEST_F(E2eSet, Step2_AddFromDirInGroups)
{
    E2E_NEEDS(state->started, "Step1 start");
    const TrackSet& t = tracks();
    ASSERT_EQ(t.accepted.size(), 30u);
    if (!Built::addFromDir()) E2E_MISSING("\"Add from Dir\" in the Groups panel");
    E2E_NEEDS(state->configured, "Step1 the three panels");
    Session& r = run();
    QImage after;
    const QString failed = addFromDir(r, Panel::groups, QStringLiteral("grupos"), t.groupsDir, QStringLiteral("02"), &after);
    if (!after.isNull()) after.save(r.artifacts() + QStringLiteral("/02-groups-listed.png"));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    // what was listed is read from the database after close (CheckDatabase)
    state->added = true;
}

// 3. An m4a dropped on deck A, a Groups row loaded on deck B by its LOAD button; both
// waveform areas fill.
TEST_F(E2eSet, Step3_LoadBothDecks)
{
    E2E_NEEDS(state->started, "Step1 start");
    Session& r = run();
    const Track& a = tracks().m4a.at(0);
    const QImage before = r.shot(QStringLiteral("03-before-drop"));
    // deck A's zone: x < 500 and y < 380 in the window; deck A's waveform lies in it
    const QPoint target = r.places().centre(QStringLiteral("display1grande"));
    const QPoint inWindow = target - r.places().window().topLeft();
    ASSERT_LT(inWindow.x(), 500);
    ASSERT_LT(inWindow.y(), 380);
    QString why;
    ASSERT_TRUE(r.dropFile(a.path, target, &why)) << why.toStdString();
    // the deck's artist and title show the file's name
    QImage after;
    const bool named = r.waitChanged(before, QStringLiteral("artist1"), 0.05, 20000, &after);
    if (!after.isNull()) after.save(r.artifacts() + QStringLiteral("/03-deck-a-loaded.png"));
    ASSERT_TRUE(named) << "step 'drop on deck A': deck A's artist label did not change within 20 s";
    EXPECT_GT(r.places().changed(before, after, QStringLiteral("title1")), 0.05) << "deck A's title label";
    state->deckA = true;
    // a file dropped from outside goes through the window's hidden grid, which is not the
    // Playlists grid: it joins CURRENT like a load from Groups
    state->loadedInOrder << a.path;

    if (Built::visualStep()) {
        const bool filled = r.waitChanged(before, QStringLiteral("display1grande"), 0.02, 30000, &after);
        if (!after.isNull()) after.save(r.artifacts() + QStringLiteral("/03-deck-a-waveform.png"));
        EXPECT_TRUE(filled) << "step 'drop on deck A': deck A's waveform area did not change within 30 s";
        EXPECT_GT(r.places().nonUniform(after, QStringLiteral("display1grande")), 0.02);
        // the overview below it fills once the scan has read the whole track
        EXPECT_TRUE(r.waitChanged(before, QStringLiteral("displaypeq1"), 0.02, 30000, &after))
            << "step 'scan of deck A': the overview did not change within 30 s";
        r.shot(QStringLiteral("03-deck-a-scanned"));
    }
    E2E_NEEDS(state->added, "Step2 Add from Dir");
    if (!Built::visualStep())
        E2E_MISSING("the visual step in the window (waveforms and overviews: the engine set-up's visual step)");

    // deck B: the first row of Groups (Artist 01, deck B's track; the grid lists by artist),
    // the grid scrolled to its top by the wheel, then deck B's LOAD
    const Track& b = tracks().accepted.at(0);
    const QRect host = r.places().rect(QStringLiteral("grupos"));
    LibraryPlaces& lib = libraryPlaces();
    const QRect grid = lib.grid(Panel::groups, host.size()).translated(host.topLeft());
    const QRect row = lib.row(Panel::groups, host.size(), 1).translated(host.topLeft());
    ASSERT_FALSE(row.isEmpty()) << "step 'load B': no first row in the Groups grid";
    moveTo(grid.center());
    xdo({"click", "--repeat", "40", "--delay", "20", "4"});
    click(row.center());
    const QImage beforeB = r.shot(QStringLiteral("03-groups-row"));
    click(r.places().centre(QStringLiteral("btnload2")));
    QImage loadedB;
    const bool namedB = r.waitChanged(beforeB, QStringLiteral("artist2"), 0.05, 20000, &loadedB);
    if (!loadedB.isNull()) loadedB.save(r.artifacts() + QStringLiteral("/03-deck-b-loaded.png"));
    ASSERT_TRUE(namedB) << "step 'load B': deck B's artist label did not change within 20 s";
    EXPECT_GT(r.places().changed(beforeB, loadedB, QStringLiteral("title2")), 0.05) << "deck B's title label";
    state->loadedInOrder << b.path;
    const bool filledB = r.waitChanged(beforeB, QStringLiteral("display2grande"), 0.02, 30000, &after);
    if (!after.isNull()) after.save(r.artifacts() + QStringLiteral("/03-deck-b-waveform.png"));
    EXPECT_TRUE(filledB) << "step 'load B': deck B's waveform area did not change within 30 s";
    EXPECT_GT(r.places().nonUniform(after, QStringLiteral("display2grande")), 0.02);
    EXPECT_TRUE(r.waitChanged(beforeB, QStringLiteral("displaypeq2"), 0.02, 30000, &after))
        << "step 'scan of deck B': the overview did not change within 30 s";
    const QImage both = r.shot(QStringLiteral("03-both-loaded"));
    for (const char* area : {"display1grande", "display2grande"})
        EXPECT_GT(r.places().nonUniform(both, QLatin1String(area)), 0.02) << area << " is uniform";
    state->deckB = filledB;
}

// 4. The mix: A plays; B synchronised and started on the beat through the headphone cue; the
// crossfader from A to B by MIDI; a hot cue and a 4-beat loop on B; the kill and the echo on
// and off; pad 1 fires its sample.
TEST_F(E2eSet, Step4_Mix)
{
    E2E_NEEDS(state->deckA && state->deckB, "Step3 both decks loaded");
    E2E_NEEDS(state->configured, "Step1 configuration (JACK output)");
    if (!Built::transport()) E2E_MISSING("the deck transport");
    if (!Built::mixer()) E2E_MISSING("the mixer controls");
    if (!Built::hotcues()) E2E_MISSING("hot cues and loops");
    if (!Built::effects()) E2E_MISSING("effects and samplers");
    Session& r = run();
    Places& p = r.places();
    const QString w = r.window();
    auto m = [&](const char* name) { mark(name); };
    // The recording of step 5 covers this mix: REC (key F12 of the map) opens the "Recording"
    // dialog, whose folder is the home folder at first; Accept starts it into Recording.wav there
    if (startRecording(r)) m("rec start");

    // the crossfader to deck A's side, then A plays (key F5 of the map)
    crossfade(r, 64, 0, 500);
    m("A play");
    ASSERT_TRUE(key(w, QStringLiteral("F5")));
    ASSERT_TRUE(waitBand(r, false, false, -40, 5000)) << "step 'play A': deck A not heard on the master within 5 s";
    pause(6000);

    // B: synchronised, cued in the headphones, started on A's beat
    click(p.centre(QStringLiteral("match2")));
    ASSERT_TRUE(key(w, QStringLiteral("F8")));
    ASSERT_TRUE(waitBeat(r, 5000)) << "step 'start B on the beat': no beat of A heard within 5 s";
    ASSERT_TRUE(key(w, QStringLiteral("F6")));
    m("B play");
    ASSERT_TRUE(waitBand(r, true, true, -40, 5000)) << "step 'play B': deck B not heard in the cue within 5 s";
    r.shot(QStringLiteral("04-both-playing"));
    pause(34000);
    m("both end");

    // the crossfader from A to B by MIDI
    m("xfade start");
    crossfade(r, 0, 127, 4000);
    m("xfade end");
    pause(3000);

    // hot cue 1 on B set (key F9), then used (key F9 again) two seconds on
    ASSERT_TRUE(key(w, QStringLiteral("F9")));
    pause(2000);
    ASSERT_TRUE(key(w, QStringLiteral("F9")));
    m("hot cue");
    pause(2000);

    // a 4-beat loop on B for more than ten passes, then let go
    click(p.centre(QStringLiteral("l5")));
    m("loop start");
    pause(24000);
    m("loop end");
    // a second press on the length button sets the loop again from its start; the exit control
    // (reloop, lit while looping) leaves it
    click(p.centre(QStringLiteral("loop2reloop")));
    pause(2000);

    // the kill of B's mid band on and off (key F11)
    m("kill on");
    ASSERT_TRUE(key(w, QStringLiteral("F11")));
    pause(4000);
    m("kill off");
    ASSERT_TRUE(key(w, QStringLiteral("F11")));
    pause(4000);
    m("kill end");

    // The centre selectors work in the 1024 wide window only (the wide one keeps the mixer in
    // the centre and its selectors disabled): the width button first
    if (p.window().width() > 1024) {
        click(p.centre(QStringLiteral("maximizar")));
        const auto start = std::chrono::steady_clock::now();
        while (r.refreshGeometry().width() > 1024 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        }
        ASSERT_EQ(p.window().width(), 1024) << "step 'narrow window': the window not 1024 wide within 5 s";
        r.shot(QStringLiteral("04-narrow"));
    }

    // the echo on B, from the effects section, a quarter of a beat long: the default beat's echo
    // falls on the next onset, where it cannot be told from the groove
    showSection(r, "bfx", "effects", QStringLiteral("04-effects"));
    click(p.centre(QStringLiteral("t52")));
    m("echo on");
    click(p.centre(QStringLiteral("echo2")));
    pause(5000);
    m("echo off");
    click(p.centre(QStringLiteral("echo2")));
    pause(5000);
    m("echo end");
    click(p.centre(QStringLiteral("bfx")));
    p.movePanel(QStringLiteral("effects"), QString());

    // pad 1 of B's sampler fires its default sample
    const QImage beforePad = showSection(r, "bsampler", "sampler", QStringLiteral("04-sampler"));
    m("pad");
    click(p.centre(QStringLiteral("vr1")));
    pause(300);
    EXPECT_GT(p.changed(beforePad, r.shot(QStringLiteral("04-pad-fired")), QStringLiteral("vr1")), 0.05)
        << "step 'pad 1': the pad did not light";
    pause(2700);
    click(p.centre(QStringLiteral("bsampler")));
    p.movePanel(QStringLiteral("sampler"), QString());
    if (!state->recording.isEmpty()) {
        // REC again stops the recording
        ASSERT_TRUE(key(w, QStringLiteral("F12")));
        m("rec end");
        state->recorded = true;
    }
    state->mixed = true;
}

// 5. REC records step 4 through the "Recording" dialog; automix walks a playlist of four 15 s
// tracks with three changes: a playlist of its own ("New Playlist" in the Playlists tree's
// menu), filled by "Add from Dir"; its first two entries on the stopped decks, the crossfader
// in the middle, then the automix button of the automix section.
TEST_F(E2eSet, Step5_RecordAndAutomix)
{
    E2E_NEEDS(state->mixed, "Step4 mix");
    if (!Built::recordingDialog()) E2E_MISSING("the \"Recording\" dialog");
    if (!Built::automix()) E2E_MISSING("automix and recording controls");
    // the recording of the mix was made in step 4 (CheckRecording judges it)
    Session& r = run();
    Places& p = r.places();
    const qint64 pid = r.program().pid();
    LibraryPlaces& lib = libraryPlaces();
    const QRect host = p.rect(QStringLiteral("playlist"));
    ASSERT_FALSE(host.isEmpty()) << "step 'automix playlist': the Playlists panel is not shown";

    // "New Playlist" from the tree's menu (its first item), named in the input box
    const QRect tree = lib.tree(Panel::playlists, host.size()).translated(host.topLeft());
    ASSERT_FALSE(tree.isEmpty()) << "step 'New Playlist': no playlist tree";
    const QPoint menuAt(tree.center().x(), tree.bottom() - 40);
    const QImage beforeMenu = r.shot(QStringLiteral("05-before-menu"));
    click(menuAt, 3);
    // the menu is dark like the tree under it: its captions are what changes
    ASSERT_TRUE(r.waitChanged(beforeMenu, QRect(menuAt, QSize(80, 40)), 0.02, 5000, nullptr))
        << "step 'New Playlist': the tree's menu did not open within 5 s";
    r.shot(QStringLiteral("05-playlists-menu"));
    keysHere({"Down", "Return"});
    const QString box = waitWindow(pid, QStringLiteral("^New Playlist$"), 10000);
    ASSERT_FALSE(box.isEmpty()) << "step 'New Playlist': the input box did not open within 10 s";
    ASSERT_TRUE(typeText(box, QStringLiteral("Automix")));
    ASSERT_TRUE(key(box, QStringLiteral("Return")));
    ASSERT_TRUE(waitWindowGone(pid, QStringLiteral("^New Playlist$"), 10000))
        << "step 'New Playlist': the input box was still open 10 s after Return";

    // the new playlist is listed: "Add from Dir" fills it with the four
    QImage filled;
    const QString failed = addFromDir(r, Panel::playlists, QStringLiteral("playlist"), tracks().automixDir,
                                      QStringLiteral("05"), &filled);
    if (!filled.isNull()) filled.save(r.artifacts() + QStringLiteral("/05-playlist-filled.png"));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();

    // both decks stopped by their CUE, entries 1 and 2 loaded on A and B from the playlist
    click(p.centre(QStringLiteral("btncue1")));
    click(p.centre(QStringLiteral("btncue2")));
    for (int deck : {1, 2}) {
        const QRect row = lib.row(Panel::playlists, host.size(), deck).translated(host.topLeft());
        ASSERT_FALSE(row.isEmpty()) << "step 'cue up the playlist': no row " << deck << " in the Playlists grid";
        click(row.center());
        const QImage before = r.shot(QStringLiteral("05-entry-%1").arg(deck));
        click(p.centre(QStringLiteral("btnload%1").arg(deck)));
        ASSERT_TRUE(r.waitChanged(before, QStringLiteral("artist%1").arg(deck), 0.05, 20000, nullptr))
            << "step 'cue up the playlist': deck " << deck << "'s artist label did not change within 20 s";
    }
    crossfade(r, 127, 64, 500);

    // the automix section in the centre, its button pressed
    const QImage section = showSection(r, "bax", "pautomix", QStringLiteral("05-automix-section"));
    mark("automix start");
    click(p.centre(QStringLiteral("auto_enable")));
    moveTo(p.inertSpot());
    QImage lit;
    EXPECT_TRUE(r.waitChanged(section, QStringLiteral("auto_enable"), 0.05, 5000, &lit))
        << "step 'automix on': its button did not change within 5 s";
    if (!lit.isNull()) {
        lit.save(r.artifacts() + QStringLiteral("/05-automix-on.png"));
        EXPECT_GT(p.cellMatch(section, QStringLiteral("auto_enable"), 0), 0.98)
            << "step 'automix on': before the click its button did not show the skin's normal cell";
        EXPECT_GT(p.cellMatch(lit, QStringLiteral("auto_enable"), 1), 0.98)
            << "step 'automix on': its button does not show the skin's lit cell";
    }
    // entry 1 (low) on A, then 2 (high) on B, 3 (low) on A, 4 (high) on B
    ASSERT_TRUE(waitRegister(r, false, 10000)) << "step 'automix on': entry 1 (the low groove) not heard within 10 s";
    for (int change = 1; change <= 3; ++change) {
        ASSERT_TRUE(waitRegister(r, change % 2 == 1, 25000))
            << "step 'automix change " << change << "': entry " << change + 1 << " not leading within 25 s";
        if (change == 1) r.shot(QStringLiteral("05-automix-running"));
    }
    // the last entry leads for a few seconds clear of late periods, well before its end
    pause(7000);
    mark("automix end");
    // automix shows the Playlists panel alone
    p.readPanels(r.shot(QStringLiteral("05-automix-end")));
    state->automixed = true;
}

// 6. The skin's close control while a deck plays; the question answered; exit code 0 and the
// JACK server still running.
TEST_F(E2eSet, Step6_CloseWhilePlaying)
{
    E2E_NEEDS(state->started, "Step1 start");
    Session& r = run();
    if (!Built::closeControl()) {
        // the program is ended by its pid so the database and standard error can be judged
        r.program().stop(10000);
        E2E_MISSING("the skin's close control (VsButton7, the views concern) and the close question (Main "
                    "window, parts 2 and 3); the program was ended by SIGTERM");
    }
    r.shot(QStringLiteral("06-before-close"));
    click(r.places().centre(QStringLiteral("VsButton7")));
    // the question ("Warning ", Yes and No) answered Yes
    const QString box = waitWindow(r.program().pid(), QStringLiteral("^Warning ?$"), 10000);
    r.shot(QStringLiteral("06-close-question"));
    ASSERT_FALSE(box.isEmpty()) << "step 'close': no question within 10 s while a deck plays";
    ASSERT_TRUE(key(box, QStringLiteral("alt+y")));
    const int code = r.program().wait(30000);
    EXPECT_EQ(code, 0) << "step 'close': exit code (or -1: still running after 30 s / killed by signal "
                       << r.program().signalled() << ")";
    EXPECT_NE(r.capture(), nullptr);
    if (r.capture()) {
        EXPECT_TRUE(r.capture()->running()) << "the capture client (and with it the JACK server) went";
    }
    state->closed = code == 0;
}

// What the output carried, judged from the capture.
TEST_F(E2eSet, CheckOutput)
{
    E2E_NEEDS(state->mixed, "Step4 mix");
    Session& r = run();
    r.finish();
    const QString db = r.databaseCopy();
    const Track& a = tracks().m4a.at(0);
    const Track& b = tracks().accepted.at(0);
    for (const Track* t : {&a, &b}) {
        const std::optional<double> bpm = storedBpm(db, t->path);
        ASSERT_TRUE(bpm.has_value()) << "no BPM stored for " << t->path.toStdString();
        ASSERT_NEAR(*bpm, t->groove.bpm, 0.5) << "the scan did not find the true BPM of " << t->path.toStdString()
                                              << ": the drift check below would judge the wrong tempo";
    }
    const auto at = [&](const char* name) { return state->marks.at(name); };
    const std::vector<float> all = r.captured();
    const std::vector<float> master = mixOf(channelOf(all, 4, 0), channelOf(all, 4, 1));
    const std::vector<float> cue = mixOf(channelOf(all, 4, 2), channelOf(all, 4, 3));
    const Spans xruns = r.xrunSpans();
    const std::vector<float> lowMaster = band(master, false), highMaster = band(master, true);

    // A, then both, then B on the master
    {
        const int64_t from = at("A play"), to = at("loop start");
        const std::vector<float> la(lowMaster.begin() + from, lowMaster.begin() + to);
        const std::vector<float> hb(highMaster.begin() + from, highMaster.begin() + to);
        // a register counts as present within 8 dB of the loudest second of either band: each
        // groove leaks into the other's band (measured here: A's bass about 10 dB under B's
        // kicks in B's band, B in A's band about 18 dB under A)
        double loudest = -200;
        std::string levels;
        for (int64_t at = 0; at + kRate <= int64_t(la.size()); at += kRate) {
            const double a = levelDb(la, at, at + kRate), b = levelDb(hb, at, at + kRate);
            loudest = std::max({loudest, a, b});
            levels += " " + std::to_string(int(std::lround(a))) + "/" + std::to_string(int(std::lround(b)));
        }
        EXPECT_EQ(presenceSequence(la, hb, kRate, loudest - 8, 2), "A AB B")
            << "what the master carried, second by second (low/high band dB:" << levels << ")";
    }
    // the kill lowers its band by at least 20 dB, read at the band's centre: the EQ's bands are
    // peaks 2.5 octaves wide that take their full depth at the centre only (measured here: the
    // mid kill's 25 dB reads as 23 to 25 between 900 and 1100 Hz; the treble kill's 20 dB as 10
    // over everything above 8 kHz, where B's hats lie). Each span from half a second after its
    // press, which the window may take a moment to act on.
    {
        const auto mid = [&](int64_t from, int64_t to) {
            return spectrumBandDb(master, kRate, from + kRate / 2, to - kRate / 4, 900, 1100, xruns);
        };
        const double on = mid(at("kill on"), at("kill off")), off = mid(at("kill off"), at("kill end"));
        std::printf("e2e kill of B's mid band: %.1f dB (%.1f killed, %.1f open)\n", off - on, on, off);
        if (!std::isnan(on) && !std::isnan(off)) {
            EXPECT_GE(off - on, 20) << "the kill of B's mid band";
        }
    }
    // the echo adds energy after each onset: a quarter beat on (about 0.125 s), in the tail of
    // each of B's kicks; onsets near an xrun are left out
    {
        const auto tail = [&](int64_t from, int64_t to) {
            const std::vector<float> x(highMaster.begin() + from, highMaster.begin() + to);
            std::vector<double> o = onsets(x, kRate, -40, 0.2);
            std::erase_if(o, [&](double t) {
                const int64_t at = from + int64_t(t * kRate);
                return touches(xruns, at - kRate / 20, at + kRate / 4);
            });
            return std::pair{tailEnergy(x, kRate, o, 0.1, 0.2), o.size()};
        };
        const auto [on, nOn] = tail(at("echo on") + kRate / 2, at("echo off"));
        const auto [off, nOff] = tail(at("echo off") + kRate, at("echo end"));
        std::printf("e2e echo tail: %.2f on, %.2f off (onsets judged: %zu, %zu)\n", on, off, nOn, nOff);
        if (nOn >= 3 && nOff >= 3) {
            EXPECT_GT(on, 1.2 * off) << "the echo's tail";
        }
    }
    if (kSanitized) GTEST_SKIP() << "sanitizer build: the drift and loop interval checks are skipped";

    // while both play: A on the master, B in the cue; the offset drifts by at most 5 ms over 30 s
    {
        const int64_t from = at("B play") + 2 * kRate, to = from + 30 * kRate;
        auto clean = [&](std::vector<double> o) {
            std::erase_if(o, [&](double t) { return touches(xruns, int64_t(t * kRate) - 441, int64_t(t * kRate) + 441); });
            return o;
        };
        const std::vector<double> oa = clean(onsets(lowMaster, kRate, -40, 0.2));
        const std::vector<double> ob = clean(onsets(band(cue, true), kRate, -40, 0.2));
        // B started on A's beat by hand: each A onset is paired with B's nearest, up to a
        // little under half a beat away
        const Drift d = onsetDrift(oa, ob, double(from) / kRate, double(to) / kRate, 0.45 * 60.0 / a.groove.bpm);
        const auto inSpan = [&](const std::vector<double>& o) {
            return std::count_if(o.begin(), o.end(), [&](double t) { return t * kRate >= from && t * kRate < to; });
        };
        // onsets near an xrun are left out; of those that stay, most beats of the one with fewer
        // find their partner
        const auto na = inSpan(oa), nb = inSpan(ob);
        EXPECT_GE(d.pairs, std::max<double>(10, 0.8 * double(std::min(na, nb))))
            << "beats of A and B paired while both played (onsets in the span clear of xruns: A " << na << ", B " << nb
            << ")";
        EXPECT_LE(std::fabs(d.driftMs), 5.0) << "A-B onset offset " << d.offsetMs << " ms, drift " << d.driftMs
                                             << " ms, spread " << d.spreadMs << " ms";
    }
    // ten passes of B's 4-beat loop, equal to within 2 frames; a pass across an xrun is left out
    {
        const int64_t from = at("loop start") + kRate;
        const int64_t len = int64_t(std::llround(4 * 60.0 / a.groove.bpm * kRate));  // B follows A's tempo
        const std::optional<std::vector<int64_t>> l = loopPassLengths(master, from, len, 10, xruns);
        ASSERT_TRUE(l.has_value()) << "the loop's passes were not found";
        std::printf("e2e loop passes judged: %zu of 10\n", l->size());
        if (l->size() >= 3) {
            const auto [lo, hi] = std::minmax_element(l->begin(), l->end());
            EXPECT_LE(*hi - *lo, 2) << "loop pass lengths " << *lo << " to " << *hi;
        }
    }
}

// The recorded WAV against what the master carried: every 1 s window, aligned on its own, at
// a correlation of 0.99 or more. The take began between the click on Accept and the dialog's
// answer, and ended at the second REC; the lag between the two only shrinks, by a period for
// each cycle the capture missed (an xrun). Windows touching an xrun, or a stall of the server
// long enough to empty the recorder's cushion had it run on another clock, are not judged.
TEST_F(E2eSet, CheckRecording)
{
    E2E_NEEDS(state->recorded, "Step5 recording");
    Session& r = run();
    r.finish();
    const testsupport::Wav wav = testsupport::readWav(state->recording);
    ASSERT_EQ(wav.rate, kRate);
    ASSERT_EQ(wav.channels, 2);
    ASSERT_EQ(wav.bits, 16);
    // under the thread sanitizer the program runs several times slower and its JACK client
    // stalls for whole seconds: the window-by-window match is a timing check there
    if (kTsan) GTEST_SKIP() << "thread sanitizer build: the recording's window-by-window match is skipped";
    std::vector<float> rec(wav.samples.size() / 2);
    for (size_t i = 0; i < rec.size(); ++i) rec[i] = (wav.samples[2 * i] + wav.samples[2 * i + 1]) / 65536.0f;
    const auto mark = [](const char* name, const char* otherwise) {
        return state->marks.count(name) ? state->marks.at(name) : state->marks.at(otherwise);
    };
    const int64_t accepted = mark("rec accept", "rec start"), answered = mark("rec answered", "rec start");
    const int64_t ended = state->marks.at("rec end");
    // the master from a little before the take
    const int64_t from = std::max<int64_t>(0, accepted - kRate);
    const std::vector<float> all = r.captured(from);
    const std::vector<float> master = mixOf(channelOf(all, 4, 0), channelOf(all, 4, 1));
    Spans skip;
    int64_t missed = 0;
    for (const Span& x : r.xrunSpans()) {
        skip.push_back({x.from - from, x.to - from});
        missed += x.to > accepted && x.from < ended;
    }
    for (const Span& x : r.stallSpans(50)) skip.push_back({x.from - from, x.to - from});
    const int64_t atEnd = ended - from - int64_t(rec.size());
    LagRange lags;
    lags.start = accepted - from;
    lags.lo = std::min(lags.start, atEnd) - kRate - missed * 256;
    lags.hi = std::max(answered - from, atEnd) + kRate;
    int judged = 0, below = 0, skipped = 0;
    const std::vector<WindowMatch> windows = windowCorrelation(rec, master, kRate, 1.0, lags, skip);
    for (const WindowMatch& w : windows) {
        if (w.skipped) {
            ++skipped;
            continue;
        }
        ++judged;
        below += w.corr < 0.99 || w.jumped;
        EXPECT_GE(w.corr, 0.99) << "the recording at " << w.atS << " s (lag " << w.lag << " frames)";
        EXPECT_FALSE(w.jumped) << "the recording at " << w.atS << " s matches the master only at lag " << w.lag
                               << ", away from the lag of the window before";
    }
    EXPECT_GE(judged, 10) << "windows of the recording judged";
    std::printf("e2e recording: %.2f s, begun between capture seconds %.2f and %.2f; lags searched %.2f to %.2f s\n",
                double(rec.size()) / kRate, double(accepted) / kRate, double(answered) / kRate,
                double(lags.lo) / kRate, double(lags.hi) / kRate);
    std::printf("e2e recording windows judged: %d, below 0.99: %d (skipped, silent or near an xrun: %d)\n", judged,
                below, skipped);
    // a recording that falls out of line is kept beside the capture, with its windows' matches
    // (lags in frames of the capture from `from`)
    if (below > 0) {
        QFile::copy(state->recording, r.artifacts() + QStringLiteral("/recording.wav"));
        QFile f(r.artifacts() + QStringLiteral("/recording-windows.txt"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            f.write(QByteArray("# capture frame of lag 0: ") + QByteArray::number(qint64(from)) + "\n# s lag corr\n");
            for (const WindowMatch& w : windows)
                f.write(QStringLiteral("%1 %2 %3%4%5\n")
                            .arg(w.atS)
                            .arg(w.lag)
                            .arg(w.corr, 0, 'f', 4)
                            .arg(w.skipped ? QStringLiteral(" skipped") : QString())
                            .arg(w.jumped ? QStringLiteral(" jumped") : QString())
                            .toUtf8());
        }
    }
}

// Automix through a playlist of four 15 s tracks: three changes, each track told by its
// register and tempo, and no silence longer than the fade (4 s).
TEST_F(E2eSet, CheckAutomix)
{
    E2E_NEEDS(state->automixed, "Step5 automix");
    if (kSanitized) GTEST_SKIP() << "sanitizer build: the change and gap checks are skipped";
    Session& r = run();
    const int64_t from = state->marks.at("automix start"), to = state->marks.at("automix end");
    const std::vector<float> all = r.captured(from);
    std::vector<float> master = mixOf(channelOf(all, 4, 0), channelOf(all, 4, 1));
    master.resize(size_t(std::min<int64_t>(int64_t(master.size()), to - from)));
    Spans xruns;
    for (const Span& x : r.xrunSpans()) xruns.push_back({x.from - from, x.to - from});
    const double gap = longestSilenceS(master, kRate, 0, int64_t(master.size()), -60, xruns);
    EXPECT_LE(gap, 4.0) << "the longest silence while automix walked the playlist";
    // the tracks are told apart second by second, each second clear of late periods: on a
    // machine so loaded that most seconds hold one, there is too little left to judge
    int clear = 0, seconds = 0;
    for (int64_t at = 0; at + kRate <= int64_t(master.size()); at += kRate, ++seconds)
        clear += !touches(xruns, at, at + kRate);
    std::printf("e2e automix seconds clear of late periods: %d of %d\n", clear, seconds);
    if (clear < seconds / 2)
        GTEST_SKIP() << "too few seconds clear of late periods to tell the tracks apart: " << clear << " of " << seconds;
    // the entries low, high, low, high; each pair of one register told apart by its tempo
    // (a deck's speed may stand off zero after the mix: the ratio between two entries of one
    // deck holds all the same)
    const std::vector<Stretch> st = leadingStretches(band(master, false), band(master, true), kRate, 6, -45, 1, xruns);
    std::string bands, seen;
    for (const Stretch& x : st) {
        bands += x.band;
        seen += " " + std::string(1, x.band) + "@" + std::to_string(int(x.fromS)) + "s/" + std::to_string(int(std::lround(x.bpm)));
    }
    std::printf("e2e automix stretches (band@start/bpm, A low, B high):%s; longest silence %.2f s\n", seen.c_str(), gap);
    ASSERT_GE(bands.size(), 4u) << "three changes while automix walked the playlist:" << seen;
    EXPECT_EQ(bands.substr(0, 4), "ABAB") << seen;
    const std::vector<Track>& t = tracks().automix;
    for (size_t i : {size_t(0), size_t(1)}) {
        ASSERT_GT(st[i].bpm, 0) << seen;
        EXPECT_NEAR(st[i + 2].bpm / st[i].bpm, t[i + 2].groove.bpm / t[i].groove.bpm, 0.02)
            << "entries " << i + 1 << " and " << i + 3 << " by their tempo:" << seen;
    }
}

// The database after the program ended.
TEST_F(E2eSet, CheckDatabase)
{
    E2E_NEEDS(state->started, "Step1 start");
    Session& r = run();
    r.finish();
    const QString db = r.databaseCopy();
    ASSERT_TRUE(QFileInfo::exists(db)) << "no database in the profile";
    EXPECT_EQ(integrityCheck(db), QStringLiteral("ok"));
    const QStringList current = currentPlaylist(db);
    if (current.isEmpty() && !mentioned("library/panels", "altadeplaylist"))
        E2E_MISSING("the Playlists panel's CURRENT playlist on screen: loads join no playlist");
    QStringList expected = state->loadedInOrder;
    std::reverse(expected.begin(), expected.end());  // each load goes in at position 1
    EXPECT_EQ(current, expected) << "the CURRENT playlist (the first playlist) after the loads, by position";
    for (const QString& file : state->loadedInOrder) EXPECT_TRUE(storedBpm(db, file).has_value()) << file.toStdString();
    // "Add from Dir" listed the 30 of the accepted types with the artist and title of their
    // names, and none of the m4a files
    if (state->added) {
        QStringList expectedGroups;
        // the name split at its first "-", the blanks around it kept
        for (const Track& t : tracks().accepted)
            expectedGroups << t.artist + QStringLiteral(" | ") + t.title + QLatin1Char('|') + t.path;
        expectedGroups.sort();
        QStringList groups = groupEntries(db);
        groups.sort();
        EXPECT_EQ(groups.join(QLatin1Char('\n')).toStdString(), expectedGroups.join(QLatin1Char('\n')).toStdString())
            << "the Groups entries (artist|title|file) after \"Add from Dir\"";
    }
}

// The program's standard error holds no sanitizer report, assertion or thread warning.
TEST_F(E2eSet, CheckStderr)
{
    E2E_NEEDS(state->started, "Step1 start");
    Session& r = run();
    r.finish();
    const auto faults = stderrFaults(r.stderrText().toStdString(), !kTsan);
    for (const std::string& f : faults) ADD_FAILURE() << "standard error: " << f;
    EXPECT_TRUE(faults.empty()) << "see " << (r.artifacts() + QStringLiteral("/program.stderr")).toStdString();
}

// The program's own figures against a bare JACK client's in the same run; printed, not judged.
TEST_F(E2eSet, Speed)
{
    E2E_NEEDS(state->started, "Step1 start");
    Session& r = run();
    r.finish();
    // the program's line at exit (main.cpp):
    //   ostrelkorvanta stats: ui stall ms (max): S, jack late callbacks: L (xruns: X, late starts: T)
    const QRegularExpressionMatch ours =
        QRegularExpression(QStringLiteral(R"(^ostrelkorvanta stats: ui stall ms \(max\): (\d+\.\d|-), jack late )"
                                          R"(callbacks: (\d+) \(xruns: (\d+), late starts: (\d+)\)$)"),
                           QRegularExpression::MultilineOption)
            .match(r.stderrText());
    const QString stall = ours.hasMatch() ? ours.captured(1) : QStringLiteral("-");
    const QString late = ours.hasMatch() ? ours.captured(2) : QStringLiteral("-");
    // the bare peer counted alike: its xruns and its callbacks that began late
    QString bare = QStringLiteral("-");
    if (r.bare()) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral(R"(late: (\d+), xruns: (\d+))"))
                                              .match(QString::fromStdString(r.bare()->output()));
        if (m.hasMatch()) bare = QString::number(m.captured(1).toULongLong() + m.captured(2).toULongLong());
    }
    if (!Built::stats()) std::printf("e2e: the program prints no figures yet (OSTREL_STATS)\n");
    else if (!ours.hasMatch() && state->closed)
        ADD_FAILURE() << "the program closed cleanly, but its standard error holds no \"ostrelkorvanta stats:\" line";
    else if (!ours.hasMatch())
        std::printf("e2e: the program did not close by itself, so it printed no figures\n");
    std::printf("e2e ui stall ms (max): %s, late periods: %s (bare peer: %s)\n", qPrintable(stall), qPrintable(late),
                qPrintable(bare));
    std::printf("e2e goals (printed, not asserted): ui stall <= 50 ms, late periods <= the bare peer's\n");
}

// ALSA on the file PCM: one track dropped on deck A, played 6 s by wall clock, closed.
TEST(E2eAlsa, DeckToneOnTheFilePcmAndCleanExit)
{
    Session r(QStringLiteral("alsa"), false);
    ASSERT_TRUE(r.startProgram()) << r.error().toStdString();
    click(r.places().inertSpot());
    if (Built::firstActivationDialog()) {
        acceptNotices(r, 5000);
        QString dialog = waitWindow(r.program().pid(), QStringLiteral("^Configuration$"), 10000);
        if (dialog.isEmpty() && Built::configButton()) {
            click(r.places().centre(QStringLiteral("bconfig")));
            dialog = waitWindow(r.program().pid(), QStringLiteral("^Configuration$"), 15000);
        }
        if (dialog.isEmpty()) {
            std::printf("e2e_alsa: the configuration dialog did not open (not at the first activation, and the CONFIG "
                        "button does nothing); the stored default output (the first ALSA device) stands\n");
        } else {
            const QString failed = configure(
                r.program().pid(), dialog, [&](const QString& name) { r.shot(QStringLiteral("alsa-") + name); }, false);
            ASSERT_TRUE(failed.isEmpty()) << "step 'configuration': " << failed.toStdString();
        }
    } else {
        std::printf("e2e_alsa: no configuration dialog at the first activation yet; the stored default output (the "
                    "first ALSA device) stands\n");
    }
    const QImage before = r.shot(QStringLiteral("alsa-started"));
    QString why;
    ASSERT_TRUE(r.dropFile(tracks().m4a.at(1).path, r.places().centre(QStringLiteral("display1grande")), &why))
        << why.toStdString();
    QImage after;
    EXPECT_TRUE(r.waitChanged(before, QStringLiteral("artist1"), 0.05, 20000, &after))
        << "step 'drop on deck A': deck A's artist label did not change within 20 s";
    if (!after.isNull()) after.save(r.artifacts() + QStringLiteral("/alsa-loaded.png"));
    const auto judgeStderr = [&] {
        for (const std::string& f : stderrFaults(r.stderrText().toStdString(), !kTsan))
            ADD_FAILURE() << "standard error: " << f;
    };
    if (!Built::transport() || !Built::closeControl()) {
        r.program().stop(10000);
        judgeStderr();
        E2E_MISSING("the deck transport and the close control: deck A cannot be played");
    }
    // deck A plays 6 s by the wall clock (the file PCM takes its sound at a card's pace); the
    // layout shows no elapsed-time text, its overview does: the part played grows once it plays.
    // The overview is filled first, so that the scan drawing it is not taken for playing.
    QImage drawn;
    EXPECT_TRUE(r.waitChanged(before, QStringLiteral("displaypeq1"), 0.02, 30000, &drawn))
        << "step 'drop on deck A': deck A's overview was not drawn within 30 s";
    pause(500);
    const QImage stopped = r.shot(QStringLiteral("alsa-before-play"));
    // what the file PCM took before PLAY is the silence of the stopped decks
    const qint64 atPlay = r.alsa()->size(QStringLiteral("default"));
    click(r.places().centre(QStringLiteral("btnplay1")));
    QImage playing;
    const bool moved = r.waitChanged(stopped, QStringLiteral("displaypeq1"), 0.02, 5000, &playing);
    pause(6000);
    r.shot(QStringLiteral("alsa-playing"));
    EXPECT_TRUE(moved) << "step 'play A': deck A's elapsed time did not move within 5 s of PLAY";
    click(r.places().centre(QStringLiteral("VsButton7")));
    const QString box = waitWindow(r.program().pid(), QStringLiteral("^Warning ?$"), 10000);
    ASSERT_FALSE(box.isEmpty()) << "step 'close': no question within 10 s while deck A plays";
    ASSERT_TRUE(key(box, QStringLiteral("alt+y")));
    EXPECT_EQ(r.program().wait(30000), 0) << "step 'close': exit code (-1: still running after 30 s or killed)";
    judgeStderr();
    // the deck's groove (its kicks below 70 Hz) in what the file PCM took
    const std::vector<float> pcm = r.alsa()->samples(QStringLiteral("default"), qint64(kRate) * 2 * 4 * 20, atPlay);
    ASSERT_GT(pcm.size(), size_t(kRate) * 2 * 4) << "the file PCM took less than 4 s of sound";
    const std::vector<float> low = band(mixOf(channelOf(pcm, 2, 0), channelOf(pcm, 2, 1)), false);
    EXPECT_GT(levelDb(low, 0, int64_t(low.size())), -40) << "deck A's groove is not in the file PCM's sound";
    EXPECT_GE(onsets(low, kRate, -40, 0.2).size(), 10u) << "deck A's beats are not in the file PCM's sound";
}

// The set's driver of the configuration dialog, tried on the dialog alone (over fakes whose
// lists hold what the program's hold in the set): what it stores is what the set asks for.
TEST(E2eDialog, TheDriverChoosesJackModeThreeTheSenderAndTheFades)
{
    const QString shots = Paths::build(QStringLiteral("artifacts/dialog"));
    QDir(shots).removeRecursively();
    QDir().mkpath(shots);
    Child host;
    ASSERT_TRUE(host.start(Paths::helper("e2e_dialoghost"), {}, {}, shots + QStringLiteral("/host.stderr")));
    ASSERT_FALSE(host.waitLine("shown", 20000).empty()) << "step 'dialog host': not shown within 20 s";
    const QString dialog = waitWindow(host.pid(), QStringLiteral("^Configuration$"), 20000);
    ASSERT_FALSE(dialog.isEmpty()) << "step 'dialog host': no dialog window within 20 s";
    const QString failed = configure(host.pid(), dialog, [&](const QString& name) {
        grab(Paths::helper("e2e_grab"), shots + QLatin1Char('/') + name + QStringLiteral(".png"));
    });
    EXPECT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_FALSE(host.waitLine("closed", 10000).empty()) << "the dialog did not close";
    host.wait(5000);
    const QString out = QString::fromStdString(host.output());
    const auto value = [&](const char* name) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^%1=(.*)$").arg(QLatin1String(name)), QRegularExpression::MultilineOption)
                .match(out);
        return m.hasMatch() ? m.captured(1) : QStringLiteral("?");
    };
    EXPECT_TRUE(out.contains(QStringLiteral("closed accepted"))) << out.toStdString();
    EXPECT_EQ(value("devicemode").toStdString(), "0") << "JACK";
    EXPECT_EQ(value("devicework").toStdString(), "3") << "routing mode 3";
    EXPECT_EQ(value("aschan1").toStdString(), "0") << "the master on the first pair";
    EXPECT_EQ(value("aschan2").toStdString(), "1") << "the cue on the second pair";
    EXPECT_EQ(value("controler").toUpper().toStdString(), "E2E SENDER.XML");
    EXPECT_EQ(value("portconin").toStdString(), "e2e_midi:out");
    EXPECT_EQ(value("dr").toStdString(), "4");
    EXPECT_EQ(value("lr").toStdString(), "2");
}
