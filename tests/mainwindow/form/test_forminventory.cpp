// The form data's inventory: every control of the main window that the system names is in it,
// with the values given for it; every name the window's sources ask the form for exists.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <optional>

#include "mainwindow/form/formdata.h"

namespace {

QString formFile() { return QStringLiteral(OSTREL_SOURCE_DIR "/mainwindow/form/tform1.skn"); }

const FormData& form()
{
    static FormData data(formFile());
    return data;
}

// What the system gives for a control. An empty text or no value: nothing given.
struct Given {
    std::string name;
    std::string cls = "";
    std::optional<int> min = {}, max = {}, start = {};
    std::string graphic = "";
    std::optional<int> tag = {};
    std::string hint = "";
    std::string caption = "";
};
QString q(const std::string& s) { return QString::fromStdString(s); }

// Transcribed from the description of the main window's controls.
const std::vector<Given>& given()
{
    static const std::vector<Given> g = [] {
        std::vector<Given> v = {
            // the mixer
            {"trackvolume", "TVsSlider", 0, 127, 127, "pote_vol.bmp"},
            {"trackvolume2", "TVsSlider", 0, 127, 127, "pote_vol.bmp"},
            {"crossfader", "TVsSlider", -1, 127, 63, "sliderpitchtrackv.bmp"},
            {"gain1", "TVrBitmapDial", 0, 20, 10},
            {"gain2", "TVrBitmapDial", 0, 20, 10},
            {"volhead1", "TVrBitmapDial", 0, 100, 50},
            {"volhead2", "TVrBitmapDial", 0, 100, 50},
            {"volrec", "TVrBitmapDial", 0, 100, 100},
            {"heada"}, {"headaa"}, {"headb"}, {"headbb"},
            // transport
            {"trackfrequency", "TVsSlider", 0, 127, 63, "pote_pitch.bmp"},
            {"trackfrequency2", "TVsSlider", 0, 127, 63, "pote_pitch.bmp"},
            {"btncue1", "TVsButton", {}, {}, {}, "Tira Cue.bmp"},
            {"btncue2", "TVsButton", {}, {}, {}, "Tira Cue.bmp"},
            {"btnpause1", "TVsButton", {}, {}, {}, "Tira Pause.bmp"},
            {"btnpause2", "TVsButton", {}, {}, {}, "Tira Pause.bmp"},
            {"btnplay1", "TVsButton", {}, {}, {}, "Tira Play.bmp"},
            {"btnplay2", "TVsButton", {}, {}, {}, "Tira Play.bmp"},
            {"match1", "TVsButton", {}, {}, {}, "Tira Sync.bmp"},
            {"match2", "TVsButton", {}, {}, {}, "Tira Sync.bmp"},
            {"btnload1", "TVsButton", {}, {}, {}, "Tira Load.bmp"},
            {"btnload2", "TVsButton", {}, {}, {}, "Tira Load.bmp"},
            {"bendmenos1", "TVsButton", {}, {}, {}, "Tira bend -.bmp"},
            {"bendmas1", "TVsButton", {}, {}, {}, "Tira bend +.bmp"},
            {"Bendmenos2", "TVsButton", {}, {}, {}, "Tira bend -.bmp"},
            {"BendMas2", "TVsButton", {}, {}, {}, "Tira bend +.bmp"},
            {"dmcslider1", "", {}, {}, {}, "pitch_ruler2 ostrel.bmp"},
            {"dmcslider2", "", {}, {}, {}, "pitch_ruler2 ostrel.bmp"},
            {"lpitp1", "", {}, {}, {}, "", {}, "", "16%"},
            {"lpitp2", "", {}, {}, {}, "", {}, "", "16%"},
            {"reverse"}, {"reverse2"}, {"brake"}, {"brake2"}, {"key1"}, {"key11"}, {"key2"}, {"key22"},
            {"scratch1"}, {"search1"}, {"effects1"}, {"scratch2"}, {"search2"}, {"effects2"},
            {"pro1"}, {"pro2"}, {"displaypeq1"}, {"displaypeq2"}, {"JvPopupMenu1"}, {"JvPopupMenu2"},
            // jog wheels
            {"vrwheela", "TQuorDial"}, {"vrWheelb", "TQuorDial"}, {"display1grande"}, {"display2grande"},
            {"wheel"}, {"actjo"}, {"Button2"}, {"Button3"}, {"Button4"}, {"Button5"}, {"Label4"}, {"Label5"},
            // effects and sampler
            {"dry1", "TVrBitmapDial", 0, 1000, 500},
            {"dry2", "TVrBitmapDial", 0, 1000, 500},
            {"wet1", "TVrBitmapDial", 100, 950, 525},
            {"wet2", "TVrBitmapDial", 100, 950, 525},
            {"samplevolume", "TVrBitmapDial", 0, 100, 50},
            {"samplevolume2", "TVrBitmapDial", 0, 100, 50},
            {"bmix", "TVsButton", {}, {}, {}, "Tira Mixer.bmp"},
            {"bfx", "TVsButton", {}, {}, {}, "Tira Effects.bmp"},
            {"bax", "TVsButton", {}, {}, {}, "Tira Auto.bmp"},
            {"bsampler", "TVsButton", {}, {}, {}, "Tira Sampler.bmp"},
            {"vl7", "TquorButton"}, {"vr7", "TquorButton"},
            {"effects"}, {"pautomix"}, {"sampler"}, {"bifx"}, {"biautomix"}, {"bisampler"}, {"pancentral"},
            {"fxa", "Tjvswitch2"}, {"fxb", "Tjvswitch2"}, {"LFX1"}, {"lfx2"},
            // automix and recording
            {"ffout", "", 0, 60, 10}, {"ffin", "", 0, 60, 10}, {"lfout"}, {"lfin"},
            {"auto_enable"}, {"mixnow"}, {"random"}, {"newlist"}, {"REC"}, {"RLed3", "TRLed"},
            {"laut_t1", "", {}, {}, {}, "", {}, "", "001"},
            {"laut_t2", "", {}, {}, {}, "", {}, "", "001"},
            // browser
            {"bpplaylist", "TVsButton", {}, {}, {}, "Tira_Playlist.bmp"},
            {"bggrupos", "TVsButton", {}, {}, {}, "Tira_Groups.bmp"},
            {"bpexplorer", "TVsButton", {}, {}, {}, "Tira_Explorer.bmp"},
            {"VsButton2"}, {"nzoom", "TnSlider", 0, 6, 2}, {"pfonts"},
            {"todo"}, {"playlist"}, {"grupos"}, {"explorer"}, {"modogrid"}, {"JvPopupMenu4"},
            {"abajo"}, {"arriba"}, {"sem1"}, {"sem2"}, {"sem3"}, {"semp1"}, {"semp2"}, {"semp3"},
            {"sgst1"}, {"sgst2"}, {"sgst3"}, {"nofile"}, {"PopupMenu1"}, {"PopupMenu2"},
            // configuration, views, presets, links
            {"bconfig", "TVsButton", {}, {}, {}, "tconfigoff.bmp", {}, "F4"},
            {"ComboBoxEx1"}, {"botonera", "TVsImage", {}, {}, {}, "barra_controles.bmp"},
            {"VsImage1", "TVsImage", {}, {}, {}, "Barra_Lateral_Playlist.bmp"}, {"vsimage11"},
            {"btnsavetube", "TVsButton", {}, {}, {}, "Tira_Save_tube.bmp"},
            {"VsButton1", "TVsButton", {}, {}, {}, "Tira Info.bmp"},
            {"maximizar", "TVsButton", {}, {}, {}, "tira maximizar.bmp"},
            {"minimizar"}, {"VsButton4"}, {"VsButton7"}, {"VsButton3", "TVsButton"},
            {"zoomleft", "TVrBitmapDial", 1, 5, 3}, {"zoomright", "TVrBitmapDial", 1, 5, 3},
            {"panelwheel1"}, {"panelwheel2"}, {"rizquierdo"}, {"rderecho"}, {"PANELRELOJ"},
            {"drawgran1"}, {"drawgran2"}, {"panelcuesbmp"}, {"panelcuesbmp2"}, {"Panel3"}, {"Panel12"},
            {"panrelojes1"}, {"panrelojes2"}, {"pvu1"}, {"pvu2"}, {"panvumetercentro1"}, {"panvumetercentro2"},
            {"panel1100"}, {"vumeteranalogico"}, {"vumeteranalogicob"}, {"vuanalogicoA"}, {"vuanalogicob"},
            {"vuanalogico"}, {"vuanalogico2"}, {"led1", "TVrLed"}, {"led2", "TVrLed"},
            {"comdis1", "TVrCompass"}, {"comdis2", "TVrCompass"}, {"cpu", "TRLed", 0, 100},
            {"JvPopupMenu3"}, {"Timer5"},
            {"Label1", "", {}, {}, {}, "", {}, "", "Remain"}, {"Label2", "", {}, {}, {}, "", {}, "", "Elapsed"},
            {"Label8"}, {"Label10"}, {"lelapsed1"}, {"lremain1"}, {"lelapsed2"}, {"lremain2"},
            // status, loading, start-up
            {"vu1", "TVrQuorAngularMeter", {}, {}, 3200, "", {}, "", "READY"},
            {"vu2", "TVrQuorAngularMeter", {}, {}, 3200, "", {}, "", "READY"},
            {"VrLedClock1", "TVrLedClock"}, {"VrLedClock2", "TVrLedClock"},
            {"Timet"}, {"lbpm1"}, {"lbpm2"}, {"lpit1"}, {"lpit2"}, {"imgplay1"}, {"implay2"},
            {"imgend1"}, {"imgend2"}, {"artist1", "", {}, {}, {}, "", {}, "", "No Song"},
            {"artist2", "", {}, {}, {}, "", {}, "", "No Song"}, {"title1"}, {"title2"}, {"track1"}, {"track2"},
            {"pinfo1"}, {"pinfo2"}, {"drag1"}, {"progres1"}, {"progres2"}, {"imgcues"}, {"imgcues2"},
            {"bmpcue"}, {"bmpcue2"}, {"ondaamarilla"}, {"ondaverde"}, {"ondaazul"},
            {"xl", "TRLed", 0, 33768}, {"xr", "TRLed", 0, 33768}, {"xl1", "TRLed", 0, 33768}, {"xr1", "TRLed", 0, 33768},
            {"Timer1"}, {"Timer2"}, {"Timer3"}, {"timer4"}, {"Tscratch"},
        };
        for (const char* d : {"1", "2"}) {
            for (const char* band : {"tre", "mid", "bas"})
                v.push_back({((QByteArray(band) + d)).toStdString(), "TVrBitmapDial", 0, 30, 15});
            for (const char* k : {"kh", "km", "kb"})
                v.push_back({((QByteArray(k) + d)).toStdString(), "TVsButton", {}, {}, {}, "tiraledrojo.bmp", 0});
            for (const char* pm : {"g", "h", "m", "l"})
                for (const char* s : {"mas", "menos"})
                    v.push_back({((QByteArray(pm) + d + s)).toStdString(), "TVsButton"});
            for (const char* x : {"memory", "delete", "nhcue"}) v.push_back({((QByteArray(x) + d)).toStdString()});
            for (const char* x : {"a", "b", "reloop"})
                v.push_back({((QByteArray("loop") + d + x)).toStdString(), "TVsButton"});
        }
        const char* cuesA[] = {"cue11", "cue12", "cue13", "cue14", "cue15", "CUE16"};
        const char* cuesB[] = {"cue21", "cue22", "cue23", "cue24", "cue25", "CUE26"};
        for (int i = 0; i < 6; ++i) {
            v.push_back({cuesA[i], "TVsButton", {}, {}, {}, (QByteArray("cb" + QByteArray::number(i + 1) + ".bmp")).toStdString(), i + 1});
            v.push_back({cuesB[i], "TVsButton", {}, {}, {}, (QByteArray("cbv" + QByteArray::number(i + 1) + ".bmp")).toStdString(), i + 1});
            v.push_back({(("vl" + QByteArray::number(i + 1))).toStdString(), "TquorButton", {}, {}, {}, "", i + 1,
                         "", (("Boton" + QByteArray::number(i + 1))).toStdString()});
            v.push_back({(("vr" + QByteArray::number(i + 1))).toStdString(), "TquorButton", {}, {}, {}, "", i + 1});
            v.push_back({(("lsp" + QByteArray::number(i + 1))).toStdString(), "", {}, {}, {}, "", {}, "", "No Song"});
        }
        for (int i = 0; i < 8; ++i) {
            v.push_back({(("r" + QByteArray::number(i + 1))).toStdString(), "TVsButton", {}, {}, {}, "", i + 1, "LOOP1"});
            v.push_back({(("l" + QByteArray::number(i + 1))).toStdString(), "TVsButton", {}, {}, {}, "", i + 1, "LOOP2"});
        }
        for (int i = 0; i < 5; ++i) {
            v.push_back({(("t" + QByteArray::number(i + 1))).toStdString(), "", {}, {}, {}, "", i + 1});
            v.push_back({(("t" + QByteArray::number(i + 1) + "2")).toStdString(), "", {}, {}, {}, "", i + 1});
        }
        for (const char* fx : {"echo", "flange", "wah", "echo2", "flange2", "wah2"})
            v.push_back({fx, "", {}, {}, {}, "", 6});
        return v;
    }();
    return g;
}

TEST(FormInventory, EveryNamedControlIsInTheFormWithItsGivenValues)
{
    for (const Given& g : given()) {
        SCOPED_TRACE(g.name);
        const FormData::Control* c = form().control(q(g.name));
        ASSERT_NE(c, nullptr) << "the form lacks " << g.name;
        // the spelling is the system's, case included
        EXPECT_EQ(c->name, q(g.name));
        if (!g.cls.empty()) {
            EXPECT_EQ(c->cls, q(g.cls));
        }
        if (g.min) {
            EXPECT_EQ(c->minValue, g.min);
        }
        if (g.max) {
            EXPECT_EQ(c->maxValue, g.max);
        }
        if (g.start) {
            EXPECT_EQ(c->position, g.start);
        }
        if (!g.graphic.empty()) {
            EXPECT_EQ(c->graphic, q(g.graphic));
        }
        if (g.tag) {
            EXPECT_EQ(c->tag, g.tag);
        }
        if (!g.hint.empty()) {
            EXPECT_EQ(c->hint, q(g.hint));
        }
        if (!g.caption.empty()) {
            EXPECT_EQ(c->caption, q(g.caption));
        }
    }
}

TEST(FormInventory, EveryControlNamesItsClassConcernAndAKnownParent)
{
    const QSet<QString> concerns = {"startup", "transport", "mixer", "hotcues", "jog", "effects", "sampler",
                                    "automix", "recording", "views", "browser", "config", "presets",
                                    "controllers", "loading", "status", "links"};
    for (const FormData::Control& c : form().controls()) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_FALSE(c.cls.isEmpty());
        EXPECT_TRUE(concerns.contains(c.concern)) << c.concern.toStdString();
        if (c.cls == QLatin1String("Tform1")) continue;
        const FormData::Control* p = form().control(c.parent);
        ASSERT_NE(p, nullptr) << "parent " << c.parent.toStdString();
        // a skinned control sits on the surface, nowhere else
        if (c.cls.startsWith(QLatin1String("TVs")) && c.cls != QLatin1String("TVsSkin") &&
            c.cls != QLatin1String("TVsComposer")) {
            EXPECT_EQ(p->cls, QStringLiteral("TVsSkin"));
        }
        for (const QString& o : c.overlays) EXPECT_NE(form().control(o), nullptr) << "overlay " << o.toStdString();
    }
}

TEST(FormInventory, LatchedButtonsAreSwitchesAndTheStartStatesHold)
{
    // the buttons the system calls latched, and what is down at start
    for (const char* n : {"kh1", "km1", "kb1", "kh2", "km2", "kb2", "bmix", "bfx", "bax", "bsampler", "nhcue1",
                          "nhcue2", "scratch1", "search1", "effects1", "memory1", "delete1", "cue11", "r1", "l8"}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(form().control(QString::fromLatin1(n))->style, QStringLiteral("bsSwitch"));
    }
    EXPECT_TRUE(form().control(QStringLiteral("nhcue1"))->down);
    EXPECT_TRUE(form().control(QStringLiteral("nhcue2"))->down);
    EXPECT_FALSE(form().control(QStringLiteral("botonera"))->visible);
    EXPECT_FALSE(form().control(QStringLiteral("cpu"))->visible);
    EXPECT_FALSE(form().control(QStringLiteral("RLed3"))->visible);
    // the wheels: 187 x 187, step 100, a turn of 36000, at 36000, 24 notches
    for (const char* w : {"vrwheela", "vrWheelb"}) {
        const FormData::Control* c = form().control(QString::fromLatin1(w));
        EXPECT_EQ(c->rect.size(), QSize(187, 187));
        EXPECT_EQ(c->raw.value("Step"), "100");
        EXPECT_EQ(c->raw.value("MaxValue"), "36000");
        EXPECT_EQ(c->raw.value("Position"), "36000");
        EXPECT_EQ(c->raw.value("Notches"), "24");
    }
    // the effect switches take the bitmap list's 31 (off) and 32 (on)
    for (const char* s : {"fxa", "fxb"}) {
        EXPECT_EQ(form().control(QString::fromLatin1(s))->raw.value("GlyphOff"), "31");
        EXPECT_EQ(form().control(QString::fromLatin1(s))->raw.value("GlyphOn"), "32");
    }
    // timers: intervals and which run from the start
    const QList<QPair<const char*, int>> timers = {{"Timer1", 50}, {"Timer2", 10}, {"Timer3", 100}, {"timer4", 15},
                                                   {"Timer5", 1000}, {"Tscratch", 200}, {"actjo", 50}};
    for (const auto& [n, ms] : timers) EXPECT_EQ(form().control(QString::fromLatin1(n))->interval, ms) << n;
    // the pitch range items: their Tags, for both decks
    EXPECT_EQ(form().control(QStringLiteral("JvPopupMenu1"))->items,
              QStringList({"N41", "N81", "N101", "N121", "N161", "N321"}));
    for (const char* m : {"JvPopupMenu1", "JvPopupMenu2"})
        EXPECT_EQ(form().control(QString::fromLatin1(m))->itemTags, QStringList({"4", "8", "10", "12", "16", "32"}));
    EXPECT_EQ(form().control(QStringLiteral("ComboBoxEx1"))->items, QStringList({"Extended", "Essential", "Minimal"}));
}

TEST(FormInventory, NamesTheWindowsSourcesAskForExist)
{
    // every literal name the main window's sources hand to the form library
    const QRegularExpression ask(
        QStringLiteral(R"((?:get<[^>]+>|control|object)\(\s*(?:QStringLiteral\(|QLatin1String\()?\s*"([^"]+)\")"));
    const QRegularExpression placeholder(QStringLiteral(R"(%\d)"));
    int files = 0;
    QDirIterator it(QStringLiteral(OSTREL_SOURCE_DIR "/mainwindow"), {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(QLatin1String("/mainwindow/form/"))) continue;  // the library itself
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        ++files;
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = ask.globalMatch(text); m.hasNext();) {
            const QString name = m.next().captured(1);
            if (!placeholder.match(name).hasMatch()) {
                EXPECT_NE(form().control(name), nullptr) << path.toStdString() << " asks for " << name.toStdString();
                continue;
            }
            // a numbered name ("lsp%1" with .arg(i)): some control of the form has that name with a number
            QStringList parts = name.split(placeholder);
            for (QString& part : parts) part = QRegularExpression::escape(part);
            const QString pattern = parts.join(QStringLiteral("[0-9]+"));
            const QRegularExpression numbered(QRegularExpression::anchoredPattern(pattern));
            bool found = false;
            for (const auto& c : form().controls()) found = found || numbered.match(c.name).hasMatch();
            EXPECT_TRUE(found) << path.toStdString() << " asks for " << name.toStdString();
        }
    }
    EXPECT_GT(files, 0);
}

TEST(FormInventory, ViewsListOnlyControlsOfTheForm)
{
    for (const char* v : {"Extended", "Essential", "Minimal", "Wide", "Narrow"}) {
        const FormData::View* view = form().view(QString::fromLatin1(v));
        ASSERT_NE(view, nullptr) << v;
        for (const auto& e : view->controls) EXPECT_NE(form().control(e.first), nullptr) << v << " " << e.first.toStdString();
    }
}

TEST(FormInventory, ABadValueNamesItsSectionAndKey)
{
    QFile out(QDir::tempPath() + QStringLiteral("/ostrel-form-bad.skn"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write("[VsSkin1]\nClass=TVsSkin\nParent=form1\n[form1]\nClass=Tform1\n[x]\nClass=TVsSlider\nParent=VsSkin1\n"
              "Range=10,5\n");
    out.close();
    try {
        FormData bad(out.fileName());
        FAIL() << "a range whose minimum is not below its maximum was taken";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("[x] Range=10,5"), std::string::npos) << e.what();
    }
    out.remove();
}

}  // namespace
