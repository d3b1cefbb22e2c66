// The configuration dialog from the main window, offscreen with a private HOME and fake MIDI
// ports: the configuration button opens it and OK writes the row; the first start whose output
// did not start opens it after the activation, and the rest of the activation runs once it has
// closed; the MIDI controllers play on after that dialog.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPixmap>

#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/psoundconfig.h"
#include "library/tmsql.h"
#include "mainwindow/config/configbridge.h"
#include "mainwindow/config/tfnewconfig.h"
#include "mainwindow/logic/configrow.h"
#include "snkins/vs/tvsbutton.h"
#include "tests/mainwindow/support/windowrig.h"

namespace {

using B = SurfaceButton;

QString configGraphic(Tform1& f) { return f.get<TVsButton>(QStringLiteral("bconfig"))->GraphicName(); }

// the dialog the first activation opens when the output did not start, closed by CANCEL
void closeFirstActivationDialog(Tform1& f)
{
    if (!f.showpanel && !f.deviceGone) return;
    ASSERT_TRUE(waitUntil([&] { return Tfnewconfig::fnewconfig() && Tfnewconfig::fnewconfig()->isVisible(); }));
    Tfnewconfig::fnewconfig()->model().cancel();
    ASSERT_TRUE(waitUntil([&] { return !f.configBridge->open(); }));
}

}  // namespace

TEST(ConfigWindow, TheConfigurationButtonOpensTheDialogAndOkWritesTheRow)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    closeFirstActivationDialog(f);
    ASSERT_FALSE(Tfnewconfig::fnewconfig());
    EXPECT_EQ(configGraphic(f), QStringLiteral("tconfigoff.bmp"));

    // one ALSA device with two outputs for the audio page's lists
    f.adj->listads = {QString(), QStringLiteral("ostrel_one")};
    f.adj->listadsoutcha = {0, 2};
    f.adj->dsdevices = 1;
    f.MouseDown(B::bconfig);
    Tfnewconfig* d = Tfnewconfig::fnewconfig();
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowModality(), Qt::WindowModal);
    EXPECT_EQ(configGraphic(f), QStringLiteral("tconfigon.bmp"));
    EXPECT_TRUE(f.configBridge->open());
    // CONFIGWINDOW_SHOTS=<folder>: the window and the dialog photographed (under an X server)
    if (const QString shots = qEnvironmentVariable("CONFIGWINDOW_SHOTS"); !shots.isEmpty()) {
        waitUntil([] { return false; }, 500);
        f.grab().save(shots + QStringLiteral("/window-config-open.png"));
        d->grab().save(shots + QStringLiteral("/config-dialog.png"));
    }
    // a second press while it is open does nothing
    f.MouseDown(B::bconfig);
    EXPECT_EQ(Tfnewconfig::fnewconfig(), d);

    d->model().settings.auto1 = QStringLiteral("17");
    ASSERT_TRUE(d->model().ok()) << rig.told.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(waitUntil([&] { return !f.configBridge->open(); }));
    EXPECT_EQ(configGraphic(f), QStringLiteral("tconfigoff.bmp"));
    EXPECT_EQ(f.adj->soundcfg->dr, 17);

    PSoundConfig stored;
    ASSERT_TRUE(ConfigRow::read(*f.quorsql, stored));
    EXPECT_EQ(stored.dr, 17) << "the row was written";
}

TEST(ConfigWindow, AFirstStartWithoutItsOutputOpensTheDialogThenFinishesTheActivation)
{
    // a real engine: with no sound device reachable the output does not start on a first start
    WindowRig rig({}, false);
    Tform1& f = *rig.form;
    if (!f.showpanel && !f.deviceGone) GTEST_SKIP() << "the output started on this machine";
    // the dialog opens after the activation, from the event loop; the rest of the activation
    // runs once it has closed
    EXPECT_FALSE(Tfnewconfig::fnewconfig());
    ASSERT_TRUE(f.firstActivationDialog);
    int restRan = 0;
    bool openWhenRestRan = true;
    const auto dialog = f.firstActivationDialog;
    f.firstActivationDialog = [&, dialog](std::function<void()> then) {
        dialog([&, then] {
            ++restRan;
            openWhenRestRan = f.configBridge->open() || Tfnewconfig::fnewconfig();
            then();
        });
    };
    ASSERT_TRUE(waitUntil([&] { return Tfnewconfig::fnewconfig() && Tfnewconfig::fnewconfig()->isVisible(); }));
    EXPECT_TRUE(f.configBridge->open());
    EXPECT_EQ(Tfnewconfig::fnewconfig()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(restRan, 0);

    Tfnewconfig::fnewconfig()->model().cancel();
    ASSERT_TRUE(waitUntil([&] { return !f.configBridge->open(); }));
    EXPECT_EQ(restRan, 1);
    EXPECT_FALSE(openWhenRestRan);
    EXPECT_TRUE(f.mainRunning()) << "the rest of the activation ran";
    PSoundConfig stored;
    EXPECT_TRUE(ConfigRow::read(*f.quorsql, stored)) << "the row was written";
}

TEST(ConfigWindow, TheMidiControllerPlaysOnAfterTheFirstActivationsDialog)
{
    WindowRig rig(
        {}, false, [](WindowRig& r) {
            r.midi.setInputs(midi::Api::Jack, {"pad:out"});
            r.midi.setOutputs(midi::Api::Jack, {"pad:in"});
        });
    Tform1& f = *rig.form;
    if (!f.showpanel && !f.deviceGone) GTEST_SKIP() << "the output started on this machine";
    // the controller set up before the dialog opens
    QDir().mkpath(rig.profile + QStringLiteral("Devices"));
    QFile xml(rig.profile + QStringLiteral("Devices/pad.xml"));
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write("<DATAPACKET></DATAPACKET>");
    xml.close();
    f.adj->soundcfg->controler = QStringLiteral("pad.xml");
    f.adj->soundcfg->portconin = QStringLiteral("PAD0");
    f.set->midi.loaderPauseMs = 0;
    f.set->midi.inicializamidifile(QStringLiteral("PAD0"));
    ASSERT_TRUE(f.adj->soundcfg->inicializada);
    ASSERT_EQ(rig.midi.deliver(midi::Api::Jack, 0, {0x90, 60, 127}), 1);

    ASSERT_TRUE(waitUntil([&] { return Tfnewconfig::fnewconfig() && Tfnewconfig::fnewconfig()->isVisible(); }));
    Tfnewconfig::fnewconfig()->model().cancel();
    ASSERT_TRUE(waitUntil([&] { return !f.configBridge->open(); }));

    EXPECT_TRUE(f.adj->soundcfg->inicializada);
    EXPECT_EQ(rig.midi.deliver(midi::Api::Jack, 0, {0x90, 60, 127}), 1) << "the controller hears its port";
}
