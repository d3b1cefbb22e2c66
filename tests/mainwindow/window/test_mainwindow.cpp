// The main window made offscreen: its start-up steps, the profile folder, the stored panel
// layout and configuration, files dropped on it, the main loop's pause around its menus and the
// controllers' reach into it.
#include <gtest/gtest.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/precord.h"
#include "library/tmsql.h"
#include "library/ttagsong.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/form/formbuilder.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/vs/tvsbutton.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/mainwindow/support/windowrig.h"

namespace {

// a library database with these configuration columns set
std::function<void(const QString&)> configured(const QString& set)
{
    return [set](const QString& profile) {
        QDir().mkpath(profile);
        Tmsql sql(profile + QStringLiteral("korvanta.db"));
        sql.db().ExecSQL(QStringLiteral("UPDATE config SET ") + set);
    };
}

void drop(QWidget* w, QPoint at, const QStringList& files)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& f : files) urls << QUrl::fromLocalFile(f);
    mime.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &dropped);
}

QString text(Tform1& f, const char* label)
{
    auto* l = f.get<QLabel>(QLatin1String(label));
    return l ? l->text() : QStringLiteral("<none>");
}

// A tone file in row 1 of the Groups grid, that grid the load source (the focus came into its
// host); the file's path.
QString groupsSourceRow(WindowRig& rig, const QString& file, const QString& artist, const QString& title)
{
    Tform1& f = *rig.form;
    const QString path = rig.dir.filePath(file);
    if (!deckrig::tone(path, 44100, 2, 440, 0.3)) return {};
    TquorGrid* sg = f.ep->sg();
    sg->setRowCount(2);
    sg->setCells(6, 1, path);
    sg->setCells(3, 1, artist);
    sg->setCells(4, 1, title);
    sg->setRow(1);
    f.gruposEnter();
    return path;
}

}  // namespace

TEST(Startup, TheSplashShowsEachStep)
{
    WindowRig rig;
    const std::vector<std::pair<QString, int>> expected = {
        {"Loading Forms...", -1},          {"Creating Forms...", 10},       {"Connecting Database...", 25},
        {"Deleting song times played...", 35}, {"Opening Databases...", 45}, {"Initialize Audio Class...", 75},
        {"Initialize Deck A...", 80},      {"Initialize Deck B...", 85},    {"Initialize Samplers...", 90},
        {"Initialize ALSA System...", 95}, {"Loading Skin...", 99},         {"", -1}};
    ASSERT_EQ(rig.splash.steps.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rig.splash.steps[i].text, expected[i].first) << i;
        EXPECT_EQ(rig.splash.steps[i].position, expected[i].second) << i;
    }
    EXPECT_EQ(rig.splash.version, "Release 2.0.1");
    EXPECT_EQ(rig.splash.label1, "Audio Engine 2.0.1      Visual Engine 5.0.7");
    EXPECT_TRUE(rig.splash.progressHidden);
    EXPECT_EQ(rig.splash.ended, "2.0.1");
    EXPECT_EQ(rig.splash.stepsWhenEnded, int(expected.size())) << "the window shows once start-up ended";
    EXPECT_TRUE(rig.form->isVisible());
    EXPECT_FALSE(rig.form->actualizoskin);
    EXPECT_TRUE(rig.form->mainRunning());
    EXPECT_EQ(rig.sleep.acquired, 1) << "sleep is held off from the start";
    EXPECT_TRUE(rig.told.isEmpty());
}

TEST(Startup, TheFirstRunMakesTheProfileFolder)
{
    WindowRig rig;
    for (const char* sub : {"Downloads", "Samples", "Devices", "Devices/hid", "Skin"})
        EXPECT_TRUE(QDir(rig.profile + QLatin1String(sub)).exists()) << sub;
    EXPECT_TRUE(QFile::exists(rig.profile + QStringLiteral("korvanta.db")));
    // the default row: Explorer and Playlists, the ALSA output
    EXPECT_TRUE(rig.form->panels.vex);
    EXPECT_TRUE(rig.form->panels.vpl);
    EXPECT_FALSE(rig.form->panels.vgr);
    EXPECT_EQ(rig.form->adj->soundcfg->devicemode.load(), 1);
}

TEST(Startup, TheStoredLayoutShowsThreePanels)
{
    WindowRig rig(configured(QStringLiteral("wexp = 9, pitch = 8")));
    Tform1& f = *rig.form;
    EXPECT_TRUE(f.panels.vpl && f.panels.vgr && f.panels.vex);
    QWidget* todo = f.get<QWidget>(QStringLiteral("todo"));
    ASSERT_TRUE(todo);
    const int h = todo->height() / 3;
    EXPECT_EQ(f.get<QWidget>(QStringLiteral("playlist"))->geometry(), QRect(0, 0, todo->width() - 5, h));
    EXPECT_EQ(f.get<QWidget>(QStringLiteral("grupos"))->geometry(), QRect(0, h, todo->width() - 5, h));
    EXPECT_EQ(f.get<QWidget>(QStringLiteral("explorer"))->geometry(), QRect(0, 2 * h, todo->width() - 5, h));
    for (const char* b : {"bpplaylist", "bggrupos", "bpexplorer"}) EXPECT_TRUE(f.get<TVsButton>(QLatin1String(b))->Down()) << b;
    EXPECT_EQ(text(f, "lpitp1"), "8%");
    EXPECT_EQ(text(f, "lpitp2"), "8%");
    EXPECT_EQ(f.adj->carga1->tpitch.load(), 8);
    // the grids' names and text size (the slider starts at 2)
    EXPECT_EQ(f.ep3->sg()->objectName(), "sg");
    EXPECT_EQ(f.ep->sg()->objectName(), "sggroups");
    EXPECT_EQ(f.ep2->sg()->objectName(), "sgexplorer");
    EXPECT_EQ(f.ep->sg()->font().pointSize(), 10);
    EXPECT_EQ(f.adj->sgfiles, f.ep->grid());
    EXPECT_EQ(f.adj->sgplay, f.ep3->grid());
    EXPECT_EQ(f.adj->sgexplo, f.ep2->grid());
}

TEST(Startup, AConfigurationRowThatCannotBeReadGivesTheDefaultRowAndOneNotice)
{
    WindowRig rig(configured(QStringLiteral("wexp = 5, com = 'fast'")));
    ASSERT_EQ(rig.told.size(), 1);
    EXPECT_TRUE(rig.told[0].contains("default"));
    EXPECT_EQ(rig.form->adj->soundcfg->wexp.load(), 4);
    EXPECT_TRUE(rig.form->panels.vex && rig.form->panels.vpl && !rig.form->panels.vgr);
    EXPECT_TRUE(rig.form->isVisible()) << "start-up went on";
}

TEST(Startup, SamplerPadsNameTheDefaultSamples)
{
    WindowRig rig;
    EXPECT_EQ(text(*rig.form, "lsp1"), "ALARM 1");
    EXPECT_EQ(text(*rig.form, "lsp6"), "THRILL 2");
    EXPECT_TRUE(rig.form->sp[0].endsWith("ALARM 1.mp3"));
}

TEST(MainWindow, AFileDroppedOnDeckALoadsIt)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    const QString path = rig.dir.filePath(QStringLiteral("Some Band - Their Song.wav"));
    ASSERT_TRUE(deckrig::tone(path, 44100, 3, 440, 0.3));
    drop(&f, QPoint(100, 100), {path});
    ASSERT_TRUE(waitUntil([&] { return f.adj->carga1->loaded && !f.loader.loading(1); }));
    EXPECT_EQ(text(f, "artist1"), "Some Band ");
    EXPECT_EQ(text(f, "title1"), "Their Song");
    EXPECT_EQ(f.adj->carga1->filename.get(), path);
    EXPECT_FALSE(f.adj->carga2->loaded);
    EXPECT_EQ(f.ep->panel()->logic().loada, path) << "the panels mark the deck's file";
}

TEST(MainWindow, AFileDroppedOnTheBrowserIsLeftToThePanels)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    const QString path = rig.dir.filePath(QStringLiteral("song.wav"));
    ASSERT_TRUE(deckrig::tone(path, 44100, 1, 440, 0.3));
    QWidget* todo = f.get<QWidget>(QStringLiteral("todo"));
    drop(&f, todo->geometry().center(), {path});
    waitUntil([] { return false; }, 100);
    EXPECT_FALSE(f.loader.loading(1));
    EXPECT_FALSE(f.adj->carga1->loaded);
    EXPECT_NE(f.source.msender, f.loader.sgdrag);
}

TEST(MainWindow, TheLoadButtonsAndTheControllersLoadTheSourceRow)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    const QString path = groupsSourceRow(rig, QStringLiteral("row.wav"), QStringLiteral("Row"), QStringLiteral("Loaded"));
    ASSERT_FALSE(path.isEmpty());
    TquorGrid* sg = f.ep->sg();
    ASSERT_EQ(f.source.msender, f.ep->grid());
    f.MouseDown(SurfaceButton::btnload2);  // as a controller presses it
    ASSERT_TRUE(waitUntil([&] { return f.adj->carga2->loaded && !f.loader.loading(2); }));
    EXPECT_EQ(text(f, "title2"), "Loaded");
    EXPECT_EQ(sg->Cells(0, 1), " B");
}

// The Groups panel lists its first group while the window is built, or, when the listing waits
// for the window, once the event loop has run; the tree is there at once either way.
TEST(MainWindow, TheGroupsPanelListsItsFirstGroupAtStartOrOnceTheWindowRuns)
{
    const auto library = [](const QString& profile) {
        QDir().mkpath(profile);
        Tmsql sql(profile + QStringLiteral("korvanta.db"));
        for (const char* name : {"b.mp3", "a.mp3"}) {
            Ttagsong t;
            t.alfichero = QStringLiteral("/music/") + QLatin1String(name);
            t.Artist = QLatin1String(name).left(1);
            t.Title = QStringLiteral("Song");
            ASSERT_GT(sql.altadecancion(0, t, 1, 1), 0);
        }
    };
    for (const bool later : {false, true}) {
        SCOPED_TRACE(later ? "listed after the window" : "listed at start");
        WindowRig rig(library, true, [later](WindowRig& r) { r.listAfterShow = later; });
        Tform1& f = *rig.form;
        TquorGrid* sg = f.ep->sg();
        ASSERT_TRUE(f.ep->panel()->logic().tree().selected());
        const auto listed = [sg] {
            return sg->RowCount() == 3 && sg->Cells(gridcol::path, 1) == QLatin1String("/music/a.mp3") &&
                   sg->Cells(gridcol::path, 2) == QLatin1String("/music/b.mp3");
        };
        EXPECT_EQ(listed(), !later);
        EXPECT_TRUE(waitUntil(listed));
    }
}

TEST(MainWindow, TheSideButtonsSwitchThePanels)
{
    WindowRig rig(configured(QStringLiteral("wexp = 3")));
    Tform1& f = *rig.form;
    ASSERT_TRUE(f.panels.vpl);
    ASSERT_FALSE(f.panels.vgr);
    auto* groups = f.get<TVsButton>(QStringLiteral("bggrupos"));
    groups->SetDown(true);  // the button flips itself before its click event
    emit groups->OnClick(groups);
    EXPECT_TRUE(f.panels.vgr);
    EXPECT_GT(f.get<QWidget>(QStringLiteral("grupos"))->height(), 0);
}

TEST(MainWindow, PopupMenusPauseTheMainLoop)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    auto* menu = f.get<QMenu>(QStringLiteral("JvPopupMenu1"));
    ASSERT_TRUE(menu);
    ASSERT_TRUE(f.mainRunning());
    menu->popup(QPoint(10, 10));
    EXPECT_FALSE(f.mainRunning());
    menu->hide();
    EXPECT_TRUE(f.mainRunning());
}

TEST(MainWindow, ControllerValuesReachTheControls)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    f.set->values.quorcross = 20;
    f.Timer2Timer();
    EXPECT_EQ(f.Position(SurfaceControl::crossfader), 20);
    // a control the controllers move writes its value back
    f.SetPosition(SurfaceControl::trackvolume, 300);
    EXPECT_EQ(f.Position(SurfaceControl::trackvolume), 127);
    EXPECT_EQ(f.set->values.quorvol1, 127);
    f.SetPosition(SurfaceControl::gain1, 4);
    EXPECT_EQ(f.set->values.quorgain1, 4);
    // the first activation gives the sampler volumes the stored svol1 (25 in the default row)
    EXPECT_EQ(f.Position(SurfaceControl::samplevolume), f.adj->soundcfg->svol1.load());
    EXPECT_EQ(f.set->values.quorsam1, f.adj->soundcfg->svol1.load());
}

TEST(MainWindow, ALaterStartBringsTheWindowBack)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    f.showMinimized();
    f.restoreAndRaise();
    EXPECT_FALSE(f.isMinimized());
    EXPECT_TRUE(f.isVisible());
}

TEST(MainWindow, TheHostsHoldTheThreeLibraryPanels)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    ASSERT_TRUE(f.ep && f.ep3 && f.ep2);
    const struct {
        QObject* panel;
        const char* host;
        const char* className;
        TquorGrid* sg;
        const char* grid;
    } panels[] = {{f.ep->panel(), "grupos", "Tnskinfiles", f.ep->sg(), "sggroups"},
                  {f.ep3->panel(), "playlist", "Tnskinplay", f.ep3->sg(), "sg"},
                  {f.ep2->panel(), "explorer", "Tnskinexplore", f.ep2->sg(), "sgexplorer"}};
    for (const auto& p : panels) {
        QWidget* host = f.get<QWidget>(QLatin1String(p.host));
        ASSERT_TRUE(host) << p.host;
        EXPECT_STREQ(p.panel->metaObject()->className(), p.className);
        EXPECT_EQ(p.panel->parent(), host) << p.host;
        ASSERT_TRUE(p.sg) << p.host;
        EXPECT_EQ(p.sg->objectName(), p.grid);
        EXPECT_TRUE(host->isAncestorOf(p.sg)) << p.host;
    }
    // the trees and the search boxes are there
    EXPECT_TRUE(f.ep->panel()->dt && f.ep3->panel()->dt && f.ep2->panel()->dt);
    EXPECT_EQ(f.panelTree(LibraryPanel::groups), f.ep->panel()->dt);
    for (LibraryPanelFrame* p : std::initializer_list<LibraryPanelFrame*>{f.ep->panel(), f.ep3->panel(), f.ep2->panel()}) {
        ASSERT_TRUE(p->Edit1);
        EXPECT_TRUE(p->Edit1->styleSheet().contains("192, 192, 192")) << "the search box is grey";
    }
    // the keyboard button's flag reaches every panel
    f.setPanelsIskeyboard(true);
    EXPECT_TRUE(f.ep->panel()->logic().iskeyboard && f.ep3->panel()->logic().iskeyboard &&
                f.ep2->panel()->logic().iskeyboard);
    f.setPanelsIskeyboard(false);
    EXPECT_FALSE(f.ep->panel()->logic().iskeyboard || f.ep3->panel()->logic().iskeyboard ||
                 f.ep2->panel()->logic().iskeyboard);
}

TEST(MainWindow, AGroupsRowLoadsOnDeckAThroughItsLoadButton)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    const QString path =
        groupsSourceRow(rig, QStringLiteral("grouped.wav"), QStringLiteral("Grouped"), QStringLiteral("Row"));
    ASSERT_FALSE(path.isEmpty());
    TquorGrid* sg = f.ep->sg();
    ASSERT_EQ(f.source.msender, f.ep->grid());
    QWidget* load = f.get<QWidget>(QStringLiteral("btnload1"));
    ASSERT_TRUE(load);
    const QPointF at(load->width() / 2, load->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, load->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(load, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, load->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(load, &release);
    ASSERT_TRUE(waitUntil([&] { return f.adj->carga1->loaded && !f.loader.loading(1); }));
    EXPECT_EQ(f.adj->carga1->filename.get(), path);
    EXPECT_EQ(text(f, "title1"), "Row");
    EXPECT_FALSE(f.adj->carga2->loaded);
    EXPECT_EQ(sg->Cells(0, 1), " A") << "the Groups grid marks the row deck A holds";
}

namespace {

// A press and release of the left button at `at` (window coordinates) on whatever the window
// shows there, as the pointer would give them.
void clickOn(Tform1& f, QPoint at)
{
    QWidget* target = f.childAt(at);
    ASSERT_NE(target, nullptr) << "nothing at " << at.x() << "," << at.y();
    const QPointF local = target->mapFrom(&f, QPointF(at));
    const QPointF global = f.mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

QPoint centreIn(Tform1& f, const char* name)
{
    QWidget* w = f.get<QWidget>(QLatin1String(name));
    return w ? w->mapTo(&f, w->rect().center()) : QPoint(-1, -1);
}

bool under(QWidget* w, const QWidget* control)
{
    for (; w; w = w->parentWidget())
        if (w == control) return true;
    return false;
}

}  // namespace

// In the 1024 wide window a click on a centre selector brings its section to the front: the
// section's controls are shown and are what the pointer finds at their centres. In the wide
// window the selectors are disabled and the centre keeps the mixer.
TEST(MainWindow, TheCentreSelectorsBringTheirSectionUnderThePointer)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    f.show();
    ASSERT_TRUE(waitUntil([&] { return f.isVisible(); }));
    f.modemax = false;
    f.maximizo();
    ASSERT_EQ(f.width(), 1024);
    struct Row {
        const char* selector;
        std::vector<const char*> controls;
    } rows[] = {
        {"bfx", {"echo", "echo2", "flange2", "dry2"}},
        {"bsampler", {"vl1", "vr1", "vr6", "samplevolume2"}},
        {"bmix", {"crossfader"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.selector);
        clickOn(f, centreIn(f, r.selector));
        QCoreApplication::processEvents();
        EXPECT_EQ(f.get<QWidget>(QLatin1String(r.selector))->property("Tag").toInt(), 1);
        for (const char* c : r.controls) {
            auto* control = f.get<QWidget>(QLatin1String(c));
            ASSERT_NE(control, nullptr) << c;
            EXPECT_TRUE(control->isVisible()) << c;
            EXPECT_TRUE(under(f.childAt(centreIn(f, c)), control)) << c << " is covered";
        }
    }
    // wide (the offscreen screen is narrower than the wide window, so the form is told)
    f.form().applyWidth(1280, f.height());
    ASSERT_EQ(f.width(), 1280);
    EXPECT_FALSE(f.get<QWidget>(QStringLiteral("bfx"))->isEnabled());
    clickOn(f, centreIn(f, "bfx"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(under(f.childAt(centreIn(f, "echo2")), f.get<QWidget>(QStringLiteral("echo2"))));
}
