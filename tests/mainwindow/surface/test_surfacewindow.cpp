// The effects, sampler, automix, recording, view and width controls on the main window made in
// the test process (its engine rendered by the test), run on an X server by xvfb.sh: each view
// photographed into screens/ of the build folder, a sampler pad playing its default sample, and
// REC writing a WAV of what the output played.
#include <gtest/gtest.h>

#include <cmath>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QGuiApplication>
#include <QScreen>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "library/shell/filedialogs.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/quor/tquorswitch1.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/form/formbuilder.h"
#include "mainwindow/logic/automixswitch.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/recordingcontrols.h"
#include "mainwindow/logic/updatecheck.h"
#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vs/tvsbutton.h"
#include "tests/mainwindow/support/windowrig.h"
#include "tests/mainwindow/surface/tinyhttp.h"
#include "tests/support/wavreader.h"

namespace {

QString shots()
{
    const QString d = QStringLiteral(OSTREL_TEST_BIN_DIR "/screens");
    QDir().mkpath(d);
    return d;
}

double rms(const float* s, size_t n)
{
    double sum = 0;
    for (size_t i = 0; i < n; ++i) sum += double(s[i]) * s[i];
    return n ? std::sqrt(sum / double(n)) : 0.0;
}

void press(Tform1& w, SurfaceButton b)
{
    w.MouseDown(b);
    w.MouseUp(b);
}

void click(TQuorSwitch1* b) { QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10)); }

// the message box open over the window or a dialog, its text; empty when none opens
QString modalText()
{
    if (!waitUntil([] { return QApplication::activeModalWidget() != nullptr; }, 3000)) return {};
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box ? box->text() : QStringLiteral("(not a message box)");
}

// every control of the form: place, shown, enabled, graphic and Tag
struct Look {
    QRect rect;
    bool visible, enabled;
    QString graphic;
    int tag;
    bool operator==(const Look&) const = default;
};
std::map<QString, Look> lookOf(Tform1& w)
{
    std::map<QString, Look> out;
    for (const QString& n : w.form().names()) {
        QWidget* c = w.form().control(n);
        if (!c) continue;
        Look l{c->geometry(), c->isVisibleTo(&w), c->isEnabled(), QString(), c->property("Tag").toInt()};
        if (auto* b = qobject_cast<TVsButton*>(c)) l.graphic = b->GraphicName();
        out[n] = l;
    }
    return out;
}

}  // namespace

TEST(DeckViewScreens, EachViewPhotographed)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    w.show();
    ASSERT_TRUE(waitUntil([&] { return w.isVisible(); }));
    auto* combo = w.get<QComboBox>(QStringLiteral("ComboBoxEx1"));
    ASSERT_NE(combo, nullptr);
    // the normal width: 1024 in the middle of the 1280 wide screen
    w.modemax = false;
    w.maximizo();
    EXPECT_EQ(w.width(), 1024);
    EXPECT_EQ(w.x(), 128);
    for (int i : {0, 1, 2}) {
        combo->setCurrentIndex(i);
        w.ComboBoxEx1Click();
        EXPECT_EQ(w.plvista, i != 0);
        QCoreApplication::processEvents();
        const QString file = shots() + QStringLiteral("/view-%1.png").arg(combo->currentText());
        ASSERT_TRUE(w.grab().save(file)) << file.toStdString();
    }
    // the centre sections in the "Extended" view
    combo->setCurrentIndex(0);
    w.ComboBoxEx1Click();
    for (auto [sel, name] : {std::pair{SurfaceButton::bfx, "effects"}, {SurfaceButton::bsampler, "sampler"},
                             {SurfaceButton::bax, "automix"}}) {
        if (sel == SurfaceButton::bfx) w.bfxMouseDown(&w, Qt::LeftButton, {}, 1, 1);
        if (sel == SurfaceButton::bsampler) w.bsamplerMouseDown(&w, Qt::LeftButton, {}, 1, 1);
        if (sel == SurfaceButton::bax) w.baxMouseDown(&w, Qt::LeftButton, {}, 1, 1);
        QCoreApplication::processEvents();
        ASSERT_TRUE(w.grab().save(shots() + QStringLiteral("/centre-%1.png").arg(QLatin1String(name))));
    }
    w.bmixMouseDown(&w, Qt::LeftButton, {}, 1, 1);
    // the wide mode on the 1280 wide screen, and back
    w.maximizarClick(&w);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.width(), 1280);
    EXPECT_EQ(w.x(), 0);
    ASSERT_TRUE(w.grab().save(shots() + QStringLiteral("/view-wide.png")));
    w.maximizarClick(&w);
    EXPECT_EQ(w.width(), 1024);
    EXPECT_EQ(w.x(), 128);
}

TEST(DeckViewScreens, SwitchingBackRestoresEveryControl)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    w.normal();
    const auto extended = lookOf(w);
    for (auto view : {&Tform1::full, &Tform1::medium}) {
        (w.*view)();
        EXPECT_TRUE(w.plvista);
        for (const char* sel : {"bmix", "bfx", "bax", "bsampler"}) {
            EXPECT_EQ(w.buttonView(QLatin1String(sel))->tag(), 1) << sel;
            EXPECT_FALSE(w.buttonView(QLatin1String(sel))->enabled()) << sel;
        }
        w.normal();
        const auto back = lookOf(w);
        for (const auto& [name, look] : extended) {
            SCOPED_TRACE(name.toStdString());
            const Look& b = back.at(name);
            // a hidden control's place is the next view's to set (the button row)
            if (look.visible) {
                EXPECT_EQ(b.rect, look.rect);
            }
            EXPECT_EQ(b.visible, look.visible);
            EXPECT_EQ(b.enabled, look.enabled);
            EXPECT_EQ(b.graphic, look.graphic);
            EXPECT_EQ(b.tag, look.tag);
        }
    }
    EXPECT_FALSE(w.plvista);
    // a swapped graphic leaves the button at its designed size
    w.full();
    EXPECT_EQ(w.get<QWidget>(QStringLiteral("btnplay1"))->size(), QSize(41, 30));
    w.normal();
}

TEST(SamplerOnWindow, APadPlaysItsDefaultSample)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    // the first run copied the six samples, and the pads name them
    for (const char* n : {"ALARM 1.mp3", "ALARM 2.mp3", "POLICE.mp3", "SPIRAL.mp3", "THRILL 1.mp3", "THRILL 2.mp3"})
        EXPECT_TRUE(QFileInfo::exists(rig.profile + QStringLiteral("Samples/") + QLatin1String(n))) << n;
    ASSERT_TRUE(w.sp[0].endsWith(QStringLiteral("ALARM 1.mp3")));
    std::vector<float> silent;
    w.adj->render(4410, &silent);
    EXPECT_LT(rms(silent.data(), silent.size()), 1e-4);

    press(w, SurfaceButton::vl1);
    carga* left = w.adj->carga3;
    ASSERT_TRUE(left->loaded);
    EXPECT_EQ(QFileInfo(left->filename.get()).fileName(), QStringLiteral("ALARM 1.mp3"));
    EXPECT_EQ(left->basseqfx->Fstatus, sPlay);
    EXPECT_EQ(w.samplers.side[0].selected, 1);
    std::vector<float> out;
    w.adj->render(44100, &out);
    EXPECT_GT(rms(out.data(), out.size()), 0.02) << "the sample reaches the output";
    // the same pad again stops it
    press(w, SurfaceButton::vl1);
    EXPECT_NE(left->basseqfx->Fstatus, sPlay);
    // the right sampler plays the fifth sample
    press(w, SurfaceButton::vr5);
    EXPECT_EQ(QFileInfo(w.adj->carga4->filename.get()).fileName(), QStringLiteral("THRILL 1.mp3"));
    EXPECT_EQ(w.adj->carga4->basseqfx->Fstatus, sPlay);
    press(w, SurfaceButton::vr7);
    EXPECT_NE(w.adj->carga4->basseqfx->Fstatus, sPlay);
}

TEST(RecordingOnWindow, RecWritesTheWavOfWhatTheOutputPlayed)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    const QString folder = rig.dir.filePath(QStringLiteral("takes"));
    QDir().mkpath(folder);
    // the library's "Recording" dialog, made with the window and hidden until REC
    ASSERT_TRUE(w.mrecsave);
    EXPECT_FALSE(w.mrecsave->isVisible());
    w.adj->soundcfg->rrecord = folder;  // where an earlier recording went
    press(w, SurfaceButton::REC);
    EXPECT_TRUE(w.mrecsave->isVisible());
    EXPECT_EQ(w.mrecsave->tffd->GetPath(), folder) << "the tree opens on the stored recording folder";
    EXPECT_EQ(w.mrecsave->windowTitle(), QStringLiteral("Recording"));
    EXPECT_EQ(w.mrecsave->windowModality(), Qt::NonModal);
    EXPECT_EQ(w.mrecsave->Edit1->text(), QStringLiteral("Recording"));
    w.buttonView(QStringLiteral("REC"))->setDown(true);  // as the latched button goes under the mouse
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.buttonView(QStringLiteral("REC"))->down()) << "no recording yet";
    w.mrecsave->grab().save(shots() + QStringLiteral("/recording-dialog.png"));
    QCoreApplication::processEvents();
    QGuiApplication::primaryScreen()->grabWindow(0).save(shots() + QStringLiteral("/recording-dialog-screen.png"));

    // a folder without a path (none selected) is refused with a message; nothing records
    w.mrecsave->tffd->setCurrentIndex(QModelIndex());
    ASSERT_TRUE(w.mrecsave->tffd->GetPath().isEmpty());
    click(w.mrecsave->bffd1);
    EXPECT_EQ(modalText(), RecordingControls::noFolderText());
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
    EXPECT_FALSE(w.adj->grabando);
    EXPECT_TRUE(w.mrecsave->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.buttonView(QStringLiteral("REC"))->down());

    w.mrecsave->tffd->SetPath(folder);
    w.mrecsave->Edit1->setText(QStringLiteral("set one"));
    click(w.mrecsave->bffd1);
    ASSERT_TRUE(w.adj->grabando);
    EXPECT_FALSE(w.mrecsave->isVisible());
    EXPECT_TRUE(w.buttonView(QStringLiteral("REC"))->down());

    press(w, SurfaceButton::vl3);  // POLICE on the left sampler
    std::vector<float> out;
    for (int i = 0; i < 20; ++i) w.adj->render(4410, &out);
    press(w, SurfaceButton::REC);  // stops
    EXPECT_FALSE(w.adj->grabando);
    EXPECT_FALSE(w.buttonView(QStringLiteral("REC"))->down());

    const QString file = folder + QStringLiteral("/set one.wav");
    const testsupport::Wav wav = testsupport::readWav(file);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.rate, 44100);
    EXPECT_EQ(wav.bits, 16);
    ASSERT_GT(wav.samples.size(), 44100u);
    std::vector<float> took(wav.samples.size());
    for (size_t i = 0; i < took.size(); ++i) took[i] = wav.samples[i] / 32768.0f;
    const double played = rms(out.data(), out.size()), recorded = rms(took.data(), took.size());
    EXPECT_GT(played, 0.02);
    EXPECT_NEAR(recorded / played, 1.0, 0.15) << "played " << played << ", recorded " << recorded;
    // the same wave: the recording, lined up with the output at its best lag, matches it closely
    double best = 0;
    const size_t n = std::min(took.size(), out.size()) / 2;
    for (size_t lag = 0; lag < 8192 && lag + 4096 < n; lag += 1) {
        double dot = 0, a = 0, b = 0;
        for (size_t i = 0; i < 4096; ++i) {
            const double x = out[2 * (i + 22050)], y = took[2 * (i + 22050 + lag)];
            dot += x * y, a += x * x, b += y * y;
        }
        if (a > 0 && b > 0) best = std::max(best, dot / std::sqrt(a * b));
    }
    EXPECT_GT(best, 0.95);

    // Accept never overwrites silently: the file exists now, so Accept asks; No records nothing
    press(w, SurfaceButton::REC);
    ASSERT_TRUE(w.mrecsave->isVisible());
    EXPECT_EQ(w.mrecsave->tffd->GetPath(), folder) << "the dialog keeps its folder between shows";
    click(w.mrecsave->bffd1);
    EXPECT_FALSE(w.adj->grabando);
    EXPECT_EQ(modalText(), RecordingControls::overwriteText(file));
    if (QWidget* box = QApplication::activeModalWidget()) box->close();  // No
    EXPECT_FALSE(w.adj->grabando);
    EXPECT_TRUE(w.mrecsave->isVisible());
    // Cancel hides the dialog, records nothing and leaves the dialog's own abort alone
    click(w.mrecsave->bffd2);
    EXPECT_FALSE(w.mrecsave->isVisible());
    EXPECT_FALSE(w.mrecsave->abort);
    EXPECT_FALSE(w.adj->grabando);
}

TEST(DeckViewScreens, ZoomDialsSetTheDeckZoom)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    auto* dial = w.get<TVrBitmapDial>(QStringLiteral("zoomleft"));
    ASSERT_NE(dial, nullptr);
    dial->SetPosition(1);
    EXPECT_EQ(w.adj->carga1->basseqfx->zoom, -1);
    dial->SetPosition(5);
    EXPECT_EQ(w.adj->carga1->basseqfx->zoom, 3);
    // a double click gives position 2, zoom 0
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(dial, &dbl);
    EXPECT_EQ(dial->Position(), 2);
    EXPECT_EQ(w.adj->carga1->basseqfx->zoom, 0);
    w.get<TVrBitmapDial>(QStringLiteral("zoomright"))->SetPosition(4);
    EXPECT_EQ(w.adj->carga2->basseqfx->zoom, 2);
}

TEST(RecordingOnWindow, AutomixSwitchOnTheWindowWritesTheWalksNumber)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    SongGrid* sg = w.ep3 ? w.ep3->grid() : nullptr;
    ASSERT_NE(sg, nullptr);
    // fewer than three tracks: the warning, automix stays off
    w.MouseDown(SurfaceButton::auto_enable);
    EXPECT_FALSE(w.adj->autoenable);
    QWidget* tree = w.playlistTree();
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->isEnabled());
    // a press while automix runs switches it off whatever the playlist holds
    w.adj->autoenable = true;
    w.MouseDown(SurfaceButton::auto_enable);
    EXPECT_FALSE(w.adj->autoenable);
    EXPECT_EQ(w.automix->number, &w.walk.CURRENTPLAYNUMBER);
    // three entries: automix runs over the listed playlist, whose tree is locked until it stops
    sg->setRowCount(4);
    for (int r = 1; r <= 3; ++r) {
        sg->setCell(gridcol::order, r, QStringLiteral("%1").arg(r, 4, 10, QLatin1Char('0')));
        sg->setCell(gridcol::path, r, QStringLiteral("/nowhere/%1.mp3").arg(r));
    }
    // clicked on the skin: the latched button, which inverts itself after the press, ends
    // showing whether automix is on
    auto* button = w.get<TquorButton>(QStringLiteral("auto_enable"));
    ASSERT_NE(button, nullptr);
    for (bool on : {true, false}) {
        SCOPED_TRACE(on ? "switched on" : "switched off");
        // the pointer comes over the button first, so that the press completes as a hand's does
        const QPointF at = button->rect().center();
        for (auto [type, b] : {std::pair{QEvent::MouseMove, Qt::NoButton}, {QEvent::MouseButtonPress, Qt::LeftButton},
                               {QEvent::MouseButtonRelease, Qt::LeftButton}}) {
            QMouseEvent e(type, at, button->mapToGlobal(at), b, type == QEvent::MouseButtonPress ? b : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(button, &e);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(w.adj->autoenable, on);
        EXPECT_EQ(button->Down(), on) << "the automix button's look";
        EXPECT_EQ(tree->isEnabled(), !on) << "the playlist tree";
    }
}

TEST(DownloaderOnWindow, MissingDownloaderGivesAMessageAndLeavesTheButtonUp)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    QStringList started;
    w.launcher = [&](const QString& program, const QStringList& args) {
        started << program << args;
        return true;
    };
    w.btnsavetubeClick(&w);
    // the test binary's folder holds no ostrelvid
    EXPECT_TRUE(started.isEmpty());
    ASSERT_FALSE(rig.told.isEmpty());
    EXPECT_TRUE(rig.told.last().contains(QStringLiteral("ostrelvid")));
    EXPECT_FALSE(w.buttonView(QStringLiteral("btnsavetube"))->down());
}

TEST(UpdateOnWindow, TheFirstTickAsksOnceAndYesOpensTheProductPage)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    TinyHttp http;  // after the application object, whose event loop serves it
    http.body = "2.5.0\n2026-12-10\nNew samples\n";
    w.show();
    QStringList opened;
    w.urlOpener = [&](const QString& u) {
        opened << u;
        return true;
    };
    w.updateCheck->address = http.url();
    w.updateCheck->productUrl = QUrl(QStringLiteral("http://127.0.0.1:9/product"));
    w.adj->soundcfg->micout = 1;
    w.mmain(false);
    w.Timer5Timer();
    EXPECT_TRUE(w.checkeada);
    QMessageBox* box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = w.findChild<QMessageBox*>()) && box->isVisible(); }));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("New Update Available"));
    EXPECT_EQ(box->text(), QStringLiteral("Version 2.5.0       Date: 2026-12-10\nNew samples\n\nDo you want to download ? "));
    EXPECT_FALSE(w.mainRunning());  // the question holds it until answered
    box->button(QMessageBox::Yes)->click();
    ASSERT_TRUE(waitUntil([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QStringList({"http://127.0.0.1:9/product"}));
    EXPECT_TRUE(w.mainRunning());
    EXPECT_TRUE(QFile::exists(rig.profile + QStringLiteral("verfree.txt")));
    // later ticks only refresh the CPU level
    w.Timer5Timer();
    QCoreApplication::processEvents();
    EXPECT_EQ(http.requests, 1);
}

TEST(UpdateOnWindow, NoCheckWhenTheConfigurationSaysNo)
{
    WindowRig rig;
    Tform1& w = *rig.form;
    w.adj->soundcfg->micout = 0;
    w.Timer5Timer();
    EXPECT_TRUE(w.checkeada);
    EXPECT_FALSE(w.updateCheck->checkeada());
}
