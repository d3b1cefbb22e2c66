// The automix switch, mix now, the fade times, the shuffle buttons and the recording controls on
// fakes; continuations are run by the test.
#include <gtest/gtest.h>

#include <deque>

#include "engine/precord.h"
#include "mainwindow/logic/automixswitch.h"
#include "mainwindow/logic/recordingcontrols.h"
#include "tests/mainwindow/support/fakeviews.h"

namespace {

class FakeAutomixHost : public AutomixHost {
public:
    bool autoenable() const override { return auto_; }
    void setAutoenable(bool on) override { auto_ = on; }
    void setFades(int d, int l) override { dr = d, lr = l; }
    void setFadeOut(int d) override { dr = d; }
    void setFadeIn(int l) override { lr = l; }
    void resetMix() override { ++mixResets; }
    void toggleMixnow() override { mixnow = !mixnow; }
    bool stopped(int d) const override { return !playing[size_t(d - 1)]; }
    bool loaded(int d) const override { return isLoaded[size_t(d - 1)]; }
    void setLoaded(int d, bool on) override { isLoaded[size_t(d - 1)] = on; }
    void play(int d) override
    {
        playing[size_t(d - 1)] = true;
        log << QStringLiteral("play %1").arg(d);
    }
    void load(int d) override
    {
        // the load source's current row
        log << QStringLiteral("load %1 row %2").arg(d).arg(grid->currentRow());
        pendingLoad[size_t(d - 1)] = grid->currentRow();
    }
    void playlistsAlone() override { ++playlists; }
    bool shuttle() const override { return shuffle; }
    void shuttlepress(bool on) override
    {
        shuffle = on;
        ++shuffles;
    }
    void warning(const QString& t) override { warnings << t; }
    void message(const QString& t) override { messages << t; }

    // a load of deck d ends: loaded or not; its track label shows the row's number
    void finishLoad(int d, bool ok, AutomixSwitch& s, FakeLabel& label)
    {
        const int row = pendingLoad[size_t(d - 1)];
        if (ok) {
            isLoaded[size_t(d - 1)] = true;
            label.text_ = grid->cell(gridcol::order, row);
        }
        s.loadFinished(d, ok);
    }

    FakeSongGrid* grid = nullptr;
    bool auto_ = false, mixnow = false, shuffle = false;
    int dr = -1, lr = -1, mixResets = 0, playlists = 0, shuffles = 0;
    std::array<bool, 2> playing{}, isLoaded{};
    std::array<int, 2> pendingLoad{};
    QStringList log, warnings, messages;
};

struct AutomixRig {
    FakeAutomixHost host;
    FakeSongGrid grid{QStringLiteral("sg")};
    FakeButton auto_enable, random;
    FakeLabel track1{QStringLiteral("----")}, track2{QStringLiteral("----")}, laut1{"001"}, laut2{"001"};
    FakeLabel lfout, lfin;
    FakePosition ffout{0, 60, 10}, ffin{0, 60, 10};
    int primera = 0;
    AutomixSwitch s{host};
    std::deque<std::pair<int, std::function<void()>>> pending;

    explicit AutomixRig(int tracks = 8)
    {
        host.grid = &grid;
        grid.setRowCount(1);
        for (int i = 1; i <= tracks; ++i)
            grid.setRow(i, {{gridcol::order, QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'))},
                            {gridcol::path, QStringLiteral("/m/%1.mp3").arg(i)}});
        s.playlist = &grid;
        s.auto_enable = &auto_enable;
        s.random = &random;
        s.track1 = &track1;
        s.track2 = &track2;
        s.laut_t1 = &laut1;
        s.laut_t2 = &laut2;
        s.ffout = &ffout;
        s.ffin = &ffin;
        s.lfout = &lfout;
        s.lfin = &lfin;
        s.primeraautomix = &primera;
        s.after = [this](int ms, std::function<void()> f) { pending.emplace_back(ms, std::move(f)); };
    }
    // runs the continuation waiting `ms`
    bool fire(int ms)
    {
        for (auto it = pending.begin(); it != pending.end(); ++it)
            if (it->first == ms) {
                auto f = std::move(it->second);
                pending.erase(it);
                f();
                return true;
            }
        return false;
    }
};

}  // namespace

TEST(AutomixRecordingControls, DecksEmptyLoadEntriesOneAndTwo)
{
    AutomixRig r(3);
    r.ffout.at_ = 12;
    r.ffin.at_ = 7;
    r.s.auto_enableMouseDown();
    EXPECT_TRUE(r.host.auto_);
    EXPECT_TRUE(r.auto_enable.down_);
    EXPECT_EQ(r.host.dr, 12);
    EXPECT_EQ(r.host.lr, 7);
    EXPECT_EQ(r.host.playlists, 1);
    EXPECT_EQ(r.host.log, QStringList({"load 1 row 1"}));
    EXPECT_EQ(r.s.CURRENTPLAYNUMBER, 2);
    // 100 ms later deck B waits for deck A's load; no spin, no load yet
    ASSERT_TRUE(r.fire(AutomixSwitch::kSettleMs));
    EXPECT_EQ(r.host.log.size(), 1);
    EXPECT_TRUE(r.s.starting());
    r.host.finishLoad(1, true, r.s, r.track1);
    EXPECT_EQ(r.host.log, QStringList({"load 1 row 1", "load 2 row 2"}));
    EXPECT_EQ(r.track2.text_, QStringLiteral("002"));
    EXPECT_EQ(r.s.CURRENTPLAYNUMBER, 3);
    EXPECT_EQ(r.primera, 1);
    EXPECT_EQ(r.laut1.text_, QStringLiteral("001"));
    EXPECT_EQ(r.laut2.text_, QStringLiteral("002"));
    EXPECT_FALSE(r.s.starting());
    // the 10 s limit no longer applies
    r.fire(AutomixSwitch::kDeckALimitMs);
    EXPECT_TRUE(r.host.auto_);
    EXPECT_TRUE(r.host.messages.isEmpty());
}

TEST(AutomixRecordingControls, DeckAOnEntryFiveDeckBGetsSix)
{
    AutomixRig r;
    r.host.isLoaded[0] = true;
    r.track1.text_ = QStringLiteral("0005");
    r.s.auto_enableMouseDown();
    EXPECT_EQ(r.s.CURRENTPLAYNUMBER, 6);
    EXPECT_TRUE(r.s.currentplayfinded);
    // deck A starts since deck B is stopped and b = 0
    EXPECT_EQ(r.host.log, QStringList({"play 1"}));
    ASSERT_TRUE(r.fire(AutomixSwitch::kSettleMs));
    EXPECT_EQ(r.host.log, QStringList({"play 1", "load 2 row 6"}));
    EXPECT_EQ(r.track2.text_, QStringLiteral("006"));
    EXPECT_EQ(r.s.CURRENTPLAYNUMBER, 7);
    EXPECT_EQ(r.laut1.text_, QStringLiteral("005"));
}

TEST(AutomixRecordingControls, FewerThanThreeTracksWarns)
{
    AutomixRig r(2);
    r.s.auto_enableMouseDown();
    EXPECT_EQ(r.host.warnings, QStringList({AutomixSwitch::tooFewText()}));
    EXPECT_FALSE(r.host.auto_);
    EXPECT_TRUE(r.host.log.isEmpty());
    EXPECT_TRUE(r.pending.empty());
}

TEST(AutomixRecordingControls, SwitchOffAlwaysWorks)
{
    // whatever the playlist holds or the deck labels read
    for (int tracks : {0, 2, 8})
        for (const char* label : {"----", "New", "0003"}) {
            SCOPED_TRACE(testing::Message() << tracks << " tracks, label " << label);
            AutomixRig r(tracks);
            r.host.auto_ = true;
            r.auto_enable.down_ = true;
            r.track1.text_ = QLatin1String(label);
            r.s.auto_enableMouseDown();
            EXPECT_FALSE(r.host.auto_);
            EXPECT_FALSE(r.auto_enable.down_);
            EXPECT_TRUE(r.host.warnings.isEmpty());
            EXPECT_TRUE(r.host.log.isEmpty());
        }
}

TEST(AutomixRecordingControls, ALabelThatIsNoNumberChangesOnlyTheFades)
{
    AutomixRig r;
    r.track1.text_ = QStringLiteral("New");
    r.ffout.at_ = 20;
    r.s.auto_enableMouseDown();
    EXPECT_FALSE(r.host.auto_);
    EXPECT_EQ(r.host.dr, 20);
    EXPECT_TRUE(r.host.log.isEmpty());
}

TEST(AutomixRecordingControls, FailedDeckALoadGoesOnWithTheNextEntry)
{
    AutomixRig r;
    r.s.auto_enableMouseDown();
    ASSERT_TRUE(r.fire(AutomixSwitch::kSettleMs));
    // deck A's load fails: the status timer's walk loads the next entry into deck A
    r.host.finishLoad(1, false, r.s, r.track1);
    EXPECT_EQ(r.host.log.size(), 1);
    EXPECT_TRUE(r.s.starting());
    r.grid.setCurrentRow(2);
    r.host.load(1);
    r.s.CURRENTPLAYNUMBER = 3;  // the walk advanced it
    r.host.finishLoad(1, true, r.s, r.track1);
    EXPECT_EQ(r.track1.text_, QStringLiteral("0002"));
    EXPECT_EQ(r.host.log.last(), QStringLiteral("load 2 row 3"));
    EXPECT_EQ(r.track2.text_, QStringLiteral("003"));
    EXPECT_TRUE(r.host.auto_);
}

TEST(AutomixRecordingControls, DeckANotLoadedInTenSecondsSwitchesOff)
{
    AutomixRig r;
    r.s.auto_enableMouseDown();
    ASSERT_TRUE(r.fire(AutomixSwitch::kSettleMs));
    ASSERT_TRUE(r.fire(AutomixSwitch::kDeckALimitMs));
    EXPECT_FALSE(r.host.auto_);
    EXPECT_FALSE(r.auto_enable.down_);
    EXPECT_EQ(r.host.messages, QStringList({AutomixSwitch::deckAFailedText()}));
    EXPECT_FALSE(r.s.starting());
    // a load that ends later starts nothing
    r.host.finishLoad(1, true, r.s, r.track1);
    EXPECT_EQ(r.host.log.size(), 1);
}

TEST(AutomixRecordingControls, APressDuringTheWaitSwitchesOff)
{
    for (bool inSettle : {true, false}) {
        SCOPED_TRACE(inSettle ? "during the 100 ms" : "waiting for deck A");
        AutomixRig r;
        r.s.auto_enableMouseDown();
        if (!inSettle) {
            ASSERT_TRUE(r.fire(AutomixSwitch::kSettleMs));
        }
        r.s.auto_enableMouseDown();
        EXPECT_FALSE(r.host.auto_);
        EXPECT_FALSE(r.s.starting());
        // the continuations do nothing
        while (!r.pending.empty()) r.fire(r.pending.front().first);
        r.host.finishLoad(1, true, r.s, r.track1);
        EXPECT_EQ(r.host.log, QStringList({"load 1 row 1"}));
        EXPECT_TRUE(r.host.messages.isEmpty());
        EXPECT_FALSE(r.host.auto_);
    }
}

TEST(AutomixRecordingControls, BothDecksOnTheSameEntryDeckBTakesTheNext)
{
    AutomixRig r;
    r.host.isLoaded = {true, true};
    r.track1.text_ = r.track2.text_ = QStringLiteral("0004");
    r.s.auto_enableMouseDown();
    EXPECT_FALSE(r.host.isLoaded[1]);
    EXPECT_EQ(r.host.log, QStringList({"play 1"}));
    ASSERT_TRUE(r.fire(AutomixSwitch::kSettleMs));
    EXPECT_EQ(r.host.log.last(), QStringLiteral("load 2 row 5"));
}

TEST(AutomixRecordingControls, NoRowWithTheNumberUsesTheFirstRow)
{
    AutomixRig r(4);
    r.host.isLoaded[1] = true;
    r.host.playing[1] = true;
    r.track2.text_ = QStringLiteral("0009");
    r.s.auto_enableMouseDown();
    EXPECT_FALSE(r.s.currentplayfinded);
    EXPECT_EQ(r.host.log, QStringList({"load 1 row 1"}));
    EXPECT_EQ(r.s.CURRENTPLAYNUMBER, 2);  // row 1's number, then the next
}

TEST(AutomixRecordingControls, MixNowFadesAndShuffle)
{
    AutomixRig r;
    // mix now with automix off: the progress reset, no request
    r.s.mixnowMouseDown();
    EXPECT_EQ(r.host.mixResets, 1);
    EXPECT_FALSE(r.host.mixnow);
    r.host.auto_ = true;
    r.s.mixnowMouseDown();
    EXPECT_TRUE(r.host.mixnow);
    // fades
    r.ffout.at_ = 33;
    r.s.ffoutChange();
    EXPECT_EQ(r.lfout.text_, QStringLiteral("33"));
    EXPECT_EQ(r.host.dr, 33);
    r.ffin.at_ = 0;
    r.s.ffinChange();
    EXPECT_EQ(r.lfin.text_, QStringLiteral("0"));
    EXPECT_EQ(r.host.lr, 0);
    // newlist with the shuffle view off does nothing
    r.s.newlistMouseDown();
    EXPECT_EQ(r.host.shuffles, 0);
    r.s.randomMouseDown();
    r.s.randomMouseUp();
    EXPECT_TRUE(r.host.shuffle);
    EXPECT_TRUE(r.random.down_);
    r.s.newlistMouseDown();
    EXPECT_EQ(r.host.shuffles, 2);
    EXPECT_TRUE(r.host.shuffle);
    r.s.randomMouseDown();
    r.s.randomMouseUp();
    EXPECT_FALSE(r.host.shuffle);
    EXPECT_FALSE(r.random.down_);
}

namespace {
class FakeRecordingHost : public RecordingHost {
public:
    bool grabando() const override { return recording; }
    void graba(const QString& f, int start) override
    {
        calls << QStringLiteral("graba(%1, %2)").arg(f).arg(start);
        recording = start == 1;
    }
    void showDialog() override { shown = true; }
    void hideDialog() override { shown = false; }
    QString selectedFolder() const override { return folder; }
    QString fileName() const override { return name; }
    void setRrecord(const QString& f) override { rrecord = f; }
    void message(const QString& t) override { messages << t; }
    void askOverwrite(const QString& f, std::function<void(bool)> a) override
    {
        asked << f;
        answer = std::move(a);
    }
    bool exists(const QString& f) const override { return existing.contains(f); }
    bool recording = false, shown = false;
    QString folder = QStringLiteral("/home/dj/Music/"), name = QStringLiteral("Recording"), rrecord;
    QStringList calls, messages, asked, existing;
    std::function<void(bool)> answer;
};
}  // namespace

TEST(AutomixRecordingControls, RecordingPathRules)
{
    struct Row {
        const char* folder;
        const char* name;
        const char* file;
    } rows[] = {
        {"/home/dj/Music/", "Recording", "/home/dj/Music/Recording.wav"},
        {"/home/dj/Music", "Set 1", "/home/dj/Music/Set 1.wav"},
        {"/", "take", "/take.wav"},
        {"", "take", ""},              // no real path
        {"computer:///", "take", ""},  // a virtual folder
        {"/tmp", "", ""},
        {"/tmp", "../x", ""},
        {"/tmp", "..", ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(RecordingControls::target(QLatin1String(r.folder), QLatin1String(r.name)), QLatin1String(r.file))
            << r.folder << " + " << r.name;
}

TEST(AutomixRecordingControls, RecordingStartStopAndTheOverwriteQuestion)
{
    FakeRecordingHost h;
    RecordingControls rec(h);
    rec.shortName = [](const QString& f) { return f; };
    // REC shows the dialog; Accept records and hides it
    rec.recMouseDown();
    EXPECT_TRUE(h.shown);
    rec.boffd1click();
    EXPECT_EQ(h.calls, QStringList({"graba(/home/dj/Music/Recording.wav, 1)"}));
    EXPECT_EQ(h.rrecord, QStringLiteral("/home/dj/Music/"));
    EXPECT_FALSE(h.shown);
    // REC while recording stops it
    rec.recMouseDown();
    EXPECT_EQ(h.calls.last(), QStringLiteral("graba(, 0)"));
    EXPECT_FALSE(h.shown);
    // a folder without a real path is refused, the dialog stays
    h.calls.clear();
    rec.recMouseDown();
    h.folder.clear();
    rec.boffd1click();
    EXPECT_EQ(h.messages, QStringList({RecordingControls::noFolderText()}));
    EXPECT_TRUE(h.calls.isEmpty());
    EXPECT_TRUE(h.shown);
    // an existing file: No returns to the dialog, Yes overwrites
    h.folder = QStringLiteral("/home/dj");
    h.existing << QStringLiteral("/home/dj/Recording.wav");
    rec.boffd1click();
    ASSERT_EQ(h.asked, QStringList({"/home/dj/Recording.wav"}));
    rec.boffd1click();  // a second Accept while the question is open asks nothing more
    EXPECT_EQ(h.asked.size(), 1);
    h.answer(false);
    EXPECT_TRUE(h.calls.isEmpty());
    EXPECT_TRUE(h.shown);
    rec.boffd1click();
    h.answer(true);
    EXPECT_EQ(h.calls, QStringList({"graba(/home/dj/Recording.wav, 1)"}));
    EXPECT_FALSE(h.shown);
    // a recording started meanwhile: Accept stops it
    h.calls.clear();
    h.existing.clear();
    rec.boffd1click();
    EXPECT_EQ(h.calls, QStringList({"graba(/home/dj/Recording.wav, 0)"}));
    // no short form: "-"
    rec.shortName = [](const QString&) { return QString(); };
    h.recording = false;
    rec.boffd1click();
    EXPECT_EQ(h.rrecord, QStringLiteral("-"));
    // Cancel hides
    h.shown = true;
    rec.boffd2click();
    EXPECT_FALSE(h.shown);
}
