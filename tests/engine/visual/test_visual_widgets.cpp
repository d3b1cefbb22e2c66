// The visual step's widgets on the offscreen platform: the paint boxes and cue strips it draws
// into, the links to the kit's controls, backgrounds from pictures; and the pictures it draws,
// written under the build folder (build/tests/engine/visual/pictures) to be looked at.
#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QScreen>

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
#include "snkins/colorref.h"
#include "snkins/vr/tvrled.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/engine/visual/visualrig.h"

using namespace visualrig;

namespace {

QRgb rgbOf(TColor c) { return colorFromRef(c).rgb(); }

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF)) return false;
    return true;
}

TEST(VisualWidgets, DisplayBoxShowsWhatTheStepDrewAndRepaintsFromItsSurface)
{
    DisplayBox box1, over1;
    box1.resize(480, 74);
    over1.resize(480, 30);
    TVisuales v;
    v.paintbox1 = &box1;
    v.paintboxp1 = &over1;
    PRecord a, b;
    track(a, 480, 20000, [](int p) { return p % 50; });
    at(a, 5000);
    v.init(&a, &b);
    EXPECT_FALSE(v.bmpfondo);  // no backgrounds given: the drawn wave
    v.moveit();
    EXPECT_EQ(box1.Picture().pixel(240, 10), rgbOf(v.cg[4]));
    // the widget's paint shows the surface, whatever its picture held before
    const QImage drawn = box1.Picture().copy();
    box1.Canvas().FillRect({0, 0, 480, 74});
    const QImage shown = box1.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(samePixels(shown, drawn)) << shown.width() << "x" << shown.height() << " " << drawn.width() << "x" << drawn.height();
    EXPECT_TRUE(samePixels(box1.Picture(), drawn));
}

TEST(VisualWidgets, KitControlsTakeWordsLevelsAndColours)
{
    TVrQuorAngularMeter meter;
    KitNeedleMeter vu(&meter);
    meter.SetMaxValue(38000);
    vu.SetStateWord(QStringLiteral("PLAY"), 0x1CD089);
    EXPECT_EQ(meter.Caption(), QStringLiteral("PLAY"));
    EXPECT_EQ(meter.Font().Color, 0x1CD089u);
    vu.SetRemainColor(0x2121A9);
    EXPECT_EQ(meter.fontremain().Color, 0x2121A9u);
    vu.SetPico(30000);
    EXPECT_EQ(vu.Position(), 30000);
    meter.setEnabled(false);
    EXPECT_FALSE(vu.Enabled());

    TRLed bar;
    bar.SetMaxValue(33768);
    KitLevelBar level(&bar);
    level.SetPico(20000);
    EXPECT_EQ(bar.Position(), 20000);
    level.SetPosition(40000);  // above the maximum: ignored
    EXPECT_EQ(bar.Position(), 20000);

    TVrLed led;
    KitPeakLamp lamp(&led);
    lamp.SetActive(true);
    EXPECT_TRUE(led.Active());

    TVrCompass compass;
    KitPlatter platter(&compass);
    platter.SetHeading(123);
    EXPECT_EQ(compass.Heading(), 123);
    EXPECT_TRUE(platter.Enabled());

    QWidget window;
    QLabel label(&window);
    KitTextLabel text(&label);
    text.SetFontColor(0x2121A9);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), colorFromRef(0x2121A9));

    QWidget picture(&window);
    KitShownImage end(&picture);
    end.SetVisible(false);
    EXPECT_TRUE(picture.isHidden());
    end.SetVisible(true);
    EXPECT_FALSE(picture.isHidden());

    TVrProgressBar progress(&window);
    progress.SetMaxValue(482);
    KitProgressView pos(&progress);
    pos.setPosition(242);
    EXPECT_EQ(progress.Position(), 242);
    pos.setVisible(false);
    EXPECT_TRUE(progress.isHidden());
}

TEST(VisualWidgets, CueStripDrawsMarkersAndNumbers)
{
    CueStripView strip;
    strip.resize(480, 13);
    EXPECT_FALSE(strip.HasMarks());
    QImage cue(9, 13, QImage::Format_RGB32), loop(9, 13, QImage::Format_RGB32);
    cue.fill(Qt::white);
    loop.fill(Qt::green);
    strip.SetMarks(cue, loop);
    EXPECT_TRUE(strip.HasMarks());
    strip.Clear();
    strip.DrawMark(100, 1, false);
    strip.DrawMark(200, 1, true);
    strip.DrawText(110, -2, QStringLiteral("CUE 1"), 0x0AB2FE);
    const QImage& p = strip.Picture();
    EXPECT_EQ(p.pixel(104, 5), qRgb(255, 255, 255));
    EXPECT_EQ(p.pixel(204, 5), qRgb(0, 255, 0));
    EXPECT_EQ(p.pixel(104, 0), qRgb(0, 0, 0));  // drawn from row 1
    int lit = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 110; x < 150; ++x) lit += p.pixel(x, y) != qRgb(0, 0, 0);
    EXPECT_GT(lit, 20);
    strip.Clear();
    EXPECT_EQ(strip.Picture().pixel(104, 5), qRgb(0, 0, 0));
}

TEST(VisualWidgets, PictureBecomesABackgroundSurface)
{
    QImage img(30, 10, QImage::Format_ARGB32);
    img.fill(QColor(0xFE, 0xB2, 0x0A));
    img.setPixel(3, 4, qRgb(1, 2, 3));
    auto dib = dibFromImage(img);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->DIBWidth, 30);
    EXPECT_EQ(dib->GetPixel(0, 0), 0x0AB2FEu);
    EXPECT_EQ(dib->GetPixel(3, 4), 0x030201u);
    EXPECT_FALSE(dibFromImage(QImage()));
}

// ------------------------------------------------------------------------------------------
// The pictures

// Peaks of a piece of music: a kick every half second over a busier body, louder in the
// middle, a break of near silence.
int musicPeak(int p)
{
    const double t = p * 2048 / (44100.0 * 4);  // seconds
    const double beat = std::fmod(t, 0.5);
    const double body = 28 + 14 * std::sin(t * 0.9) + 6 * std::sin(t * 7.3) + 4 * std::sin(t * 31.0);
    double v = body + (beat < 0.06 ? 34 * (1 - beat / 0.06) : 0);
    if (t > 100 && t < 112) v *= 0.15;
    return std::clamp(int(v), 0, 79);
}

// The form's own pictures (the skin's art set).
QImage formPicture(const char* name)
{
    const QImage img(QStringLiteral(":/skin/form/%1").arg(QLatin1String(name)));
    EXPECT_FALSE(img.isNull()) << name;
    return img;
}

struct DeckWidgets {
    DeckWidgets()
    {
        for (QWidget* w : std::initializer_list<QWidget*>{&wave, &strip, &over}) w->setParent(&host);
        wave.resize(480, 74);
        strip.resize(480, 13);
        over.resize(480, 30);
        strip.SetMarks(formPicture("bmpcue.bmp"), formPicture("bmpcue2.bmp"));
    }
    QWidget host;
    DisplayBox wave, over;
    CueStripView strip;
};

struct Scene {
    Scene()
    {
        v.paintbox1 = &a.wave;
        v.paintbox2 = &b.wave;
        v.paintboxp1 = &a.over;
        v.paintboxp2 = &b.over;
        v.imgcues1 = &a.strip;
        v.imgcues2 = &b.strip;
        v.bmp1 = dibFromImage(formPicture("ondaamarilla.bmp"));
        v.bmp2 = dibFromImage(formPicture("ondaverde.bmp"));
        v.bmp3 = dibFromImage(formPicture("ondaazul.bmp"));
    }
    // a 3-minute track, standing at `seconds`, with hot cues and a loop cue in view
    void load(PRecord& r, double seconds)
    {
        const int points = int(180 * 44100 * 4 / 2048);
        track(r, 480, points, musicPeak);
        r.tiempopcm = int64_t(seconds * kBytesPerSecond);
        const int64_t now = int64_t(seconds * kBytesPerSecond / 2048);
        auto cueAt = [&](int j, int64_t point) {
            r.cue[j] = point + 240;
            r.cuep[j] = point * 480 / points;
        };
        cueAt(0, now - 150);
        cueAt(1, now + 90);
        cueAt(2, now + 200);
        r.cue[8] = 1;  // cue 3 is a loop cue
    }
    // draws every display of both decks, overviews included
    void drawAll()
    {
        for (int i = 0; i < 40; ++i) v.muevelo();
    }
    // the two decks as the form places them: waveform, cue strip, overview
    QImage decks()
    {
        QImage img(1010, 140, QImage::Format_RGB32);
        img.fill(QColor(0x21, 0x21, 0x21));
        QPainter p(&img);
        int x = 10;
        for (DeckWidgets* d : {&a, &b}) {
            p.drawImage(x, 10, d->wave.Picture());
            p.drawImage(x, 86, d->strip.Picture());
            p.drawImage(x, 105, d->over.Picture());
            x += 500;
        }
        return img;
    }
    TVisuales v;
    DeckWidgets a, b;
    PRecord deckA, deckB;
};

QString pictureDir()
{
    const QString dir = QStringLiteral(OSTREL_TEST_BIN_DIR "/pictures");
    QDir().mkpath(dir);
    return dir;
}

void save(const QImage& img, const QString& name)
{
    const QString path = pictureDir() + QLatin1Char('/') + name;
    ASSERT_TRUE(img.save(path)) << path.toStdString();
}

QImage scaled(const QImage& img, int factor) { return img.scaled(img.size() * factor); }

TEST(VisualLook, WritesThePicturesOfEachView)
{
    Scene s;
    s.load(s.deckA, 64.0);
    s.load(s.deckB, 30.0);
    s.deckA.Fstatus = sPlay;
    s.deckB.Fstatus = sPlay;
    s.v.init(&s.deckA, &s.deckB);
    s.drawAll();
    save(s.decks(), QStringLiteral("decks-playing.png"));
    save(scaled(s.a.wave.Picture(), 2), QStringLiteral("wave-a-x2.png"));
    save(scaled(s.decks().copy(0, 80, 500, 60), 3), QStringLiteral("strip-overview-a-x3.png"));

    // deck B in a loop, deck A zoomed out
    s.deckA.zoom = 0;
    const int64_t nowB = s.deckB.tiempopcm / 2048;
    s.deckB.loop = true;
    s.deckB.loo[0] = nowB - 60 + 240;
    s.deckB.loo[1] = nowB + 100 + 240;
    s.deckB.loo[2] = (nowB - 60) * 480 / s.deckB.ratio;
    s.deckB.loo[3] = (nowB + 100) * 480 / s.deckB.ratio;
    s.drawAll();
    save(s.decks(), QStringLiteral("decks-zoom0-loop.png"));

    // zoomed in; deck B near its end: the warning's blink on
    s.deckA.zoom = 4;
    s.deckB.loop = false;
    s.deckB.tiempopcm = s.deckB.length - int64_t(10 * kBytesPerSecond);
    for (int i = 0; i < 400 && !s.v.dawpar2; ++i) s.v.muevelo();
    save(s.decks(), QStringLiteral("decks-zoom4-endwarning.png"));
}

// Deck A as a window shows it: waveform, cue strip and overview, with the needle meter, its
// peak LED, both LED level bars and the platter compass beside them. Under xvfb-run with the
// xcb platform the screen itself is photographed too.
TEST(VisualLook, DeckWindowWithItsMeters)
{
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0x21, 0x21, 0x21));
    window.setPalette(pal);
    window.resize(760, 150);
    DeckWidgets a;
    a.host.setParent(&window);
    a.host.setGeometry(10, 10, 480, 130);
    a.wave.move(0, 0);
    a.strip.move(0, 76);
    a.over.move(0, 99);
    TVrQuorAngularMeter meter(&window);
    meter.setGeometry(500, 10, 150, 130);
    meter.SetColor(0x0C0C0C);
    meter.SetMaxValue(38000);
    meter.SetLabels(0);
    meter.SetTicks(20);
    meter.SetSpacing(18);
    KitFont f = meter.Font();
    f.Font.setPixelSize(11);
    f.Font.setBold(true);
    meter.SetFont(f);
    TVrLed led(&window);
    led.setGeometry(660, 14, 12, 12);
    TRLed left(&window), right(&window);
    for (TRLed* b : {&left, &right}) {
        b->SetMaxValue(33768);
        b->resize(8, 120);
    }
    left.move(680, 14);
    right.move(692, 14);
    TVrCompass compass(&window);
    compass.setGeometry(706, 60, 48, 48);
    compass.SetNeedleLength(20);
    KitNeedleMeter vu(&meter);
    KitPeakLamp lamp(&led);
    KitLevelBar l(&left), r(&right);
    KitPlatter platter(&compass);

    TVisuales v;
    v.paintbox1 = &a.wave;
    v.paintboxp1 = &a.over;
    v.imgcues1 = &a.strip;
    v.bmp1 = dibFromImage(formPicture("ondaamarilla.bmp"));
    v.bmp2 = dibFromImage(formPicture("ondaverde.bmp"));
    v.bmp3 = dibFromImage(formPicture("ondaazul.bmp"));
    v.vu1 = &vu;
    v.led1 = &lamp;
    v.xrll1 = &l;
    v.xrlr1 = &r;
    v.xdispa = &platter;
    Scene s;
    s.load(s.deckA, 64.3);
    s.deckA.Fstatus = sPlay;
    PRecord none;
    v.init(&s.deckA, &none);
    v.suspender();
    window.show();
    for (int i = 0; i < 40; ++i) {
        s.deckA.tiempopcm = s.deckA.tiempopcm + 2048;  // one point a frame
        v.moveit();
    }
    EXPECT_EQ(meter.Caption(), QStringLiteral("PLAY"));
    EXPECT_GT(left.Position(), 0);
    save(window.grab().toImage(), QStringLiteral("deck-window.png"));
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QCoreApplication::processEvents();
        save(window.screen()->grabWindow(window.winId()).toImage(), QStringLiteral("deck-window-screen.png"));
    }
}

TEST(VisualLook, WritesTheDrawnWaveAndTheSpectrum)
{
    {
        Scene s;
        s.v.bmp3.reset();  // a missing background: the drawn wave
        s.load(s.deckA, 64.0);
        s.load(s.deckB, 30.0);
        s.deckB.loop = true;
        const int64_t nowB = s.deckB.tiempopcm / 2048;
        s.deckB.loo[0] = nowB - 60 + 240;
        s.deckB.loo[1] = nowB + 100 + 240;
        s.v.init(&s.deckA, &s.deckB);
        s.drawAll();
        save(s.decks(), QStringLiteral("decks-drawn.png"));
    }

    // a deck playing a chord of sines and a bass tone through the spectrum view
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("chord.wav"));
    ASSERT_TRUE(deckrig::writeWav(f, 44100, 44100 * 3, [](int64_t i, int16_t& l, int16_t& r) {
        double v = 0;
        const double t = double(i) / 44100;
        for (double hz : {60.0, 220.0, 1033.6, 2500.0, 5200.0, 9000.0}) v += std::sin(2 * M_PI * hz * t) / (1 + hz / 900);
        l = r = int16_t(std::lround(v * 9000));
    }));
    deckrig::Rig deck(1, false);
    ASSERT_TRUE(deck.load(f));
    deck.unity();
    deck.deck->Play();
    Scene s;
    s.load(s.deckB, 30.0);
    s.v.init(deck.deck->basseqfx, &s.deckB);
    s.v.setdisplayspec(true);
    for (int i = 0; i < 10; ++i) {
        deck.render(1102);
        s.v.muevelo();
    }
    deck.deck->Pause();
    for (int i = 0; i < 8; ++i) s.v.muevelo();  // the bars fall, the peaks stay a while
    save(s.decks(), QStringLiteral("decks-spectrum.png"));
    save(scaled(s.a.wave.Picture(), 2), QStringLiteral("spectrum-a-x2.png"));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray runtime = QDir::tempPath().toUtf8() + "/ostrel-visual-test-" + QByteArray::number(getpid());
    QDir().mkpath(QString::fromUtf8(runtime));
    QFile::setPermissions(QString::fromUtf8(runtime), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    QDir(QString::fromUtf8(runtime)).removeRecursively();
    return rc;
}
