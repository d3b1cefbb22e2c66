// skin_look OUT.png: shows a shaped surface with three buttons and a crossfader on the X
// server, photographs the whole screen into OUT.png and checks what the screen shows: the
// rounded corners cut out of the window (the screen's own background there), no fuchsia
// anywhere, the latched button lit, the thumb where its value puts it. Exit 0 when all hold.
// Run under xvfb-run -a with QT_QPA_PLATFORM=xcb.
#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "snkins/colorref.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvsslider.h"
#include "tests/snkins/vs/skinrig.h"

namespace {

const QColor kWindow(0x21, 0x21, 0x21), kRaised(0x34, 0x34, 0x34), kHigh(0x4A, 0x4A, 0x4A),
    kShadow(0x11, 0x11, 0x11), kText(0xDD, 0xDD, 0xDD), kAmber(0xFE, 0xB2, 0x0A), kBorder(0x3A, 0x3A, 0x3A);

QFont captionFont(int px)
{
    const int id = QFontDatabase::addApplicationFont(
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"));
    QFont f(id < 0 ? QStringLiteral("DejaVu Sans") : QFontDatabase::applicationFontFamilies(id).value(0));
    f.setPixelSize(px);
    f.setBold(true);
    return f;
}

const QRect kSlot(40, 130, 340, 6);  // the crossfader's slot, drawn into the background

// 420 x 180: the window colour inside a rounded outline, fuchsia outside it.
QImage background()
{
    QImage img(420, 180, QImage::Format_RGB32);
    img.fill(kKey);
    QPainter p(&img);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, 420, 180), 24, 24);
    p.fillPath(outline, kWindow);  // no antialiasing: every pixel is inside or outside
    p.setPen(kBorder);
    p.drawRect(12, 12, 395, 95);
    p.fillRect(kSlot, kShadow);
    p.setPen(kHigh);
    p.drawLine(kSlot.bottomLeft() + QPoint(0, 1), kSlot.bottomRight() + QPoint(0, 1));
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.setFont(captionFont(10));
    p.drawText(QRect(12, 150, 396, 14), Qt::AlignCenter, QStringLiteral("A  \u2190  CROSSFADER  \u2192  B"));
    return img;
}

// Pixels still of the window colour (untouched by the drawing) become fuchsia: see-through,
// while the antialiased edges blend into the window colour, not into the key.
void keyOut(QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kWindow.rgb()) img.setPixel(x, y, kKey.rgb());
}

// Five cells of 100 x 36: rest, pressed, disabled, disabled-down, hot.
QImage buttonCells(const QString& caption, QColor accent)
{
    QImage img(500, 36, QImage::Format_RGB32);
    img.fill(kWindow);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(captionFont(14));
    for (int cell = 0; cell < 5; ++cell) {
        const bool down = cell == 1 || cell == 3, disabled = cell == 2 || cell == 3, hot = cell == 4;
        QRectF r(cell * 100 + 2, 2 + (down ? 1 : 0), 96, 31);
        QColor face = down ? accent.darker(disabled ? 300 : 110) : (hot ? kRaised.lighter(130) : kRaised);
        p.setPen(QPen(down ? kShadow : (hot ? kHigh.lighter(140) : kHigh), 1));
        p.setBrush(face);
        p.drawRoundedRect(r, 3, 3);
        QColor text = down ? kShadow : (hot ? accent : kText);
        if (disabled) text.setAlphaF(0.4);
        p.setPen(text);
        p.drawText(r, Qt::AlignCenter, caption);
    }
    p.end();
    keyOut(img);
    return img;
}

// Two thumb cells of 22 x 30: enabled, disabled.
QImage thumbCells()
{
    QImage img(44, 30, QImage::Format_RGB32);
    img.fill(kKey);
    QPainter p(&img);
    for (int cell = 0; cell < 2; ++cell) {
        p.fillRect(cell * 22 + 1, 0, 20, 30, cell ? kRaised : QColor(0x3A, 0x3A, 0x3A));
        p.fillRect(cell * 22 + 1, 0, 20, 1, kHigh);
        p.fillRect(cell * 22 + 10, 3, 2, 24, cell ? kHigh : QColor(0xF0, 0xF0, 0xF0));
    }
    return img;
}

bool check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("skin_look.png");
    ensureApp();
    QWidget form;
    TVsComposer composer(&form);
    addGraphic(composer, QStringLiteral("fondo.bmp"), background());
    addGraphic(composer, QStringLiteral("play.bmp"), buttonCells(QStringLiteral("PLAY"), kAmber));
    addGraphic(composer, QStringLiteral("cue.bmp"), buttonCells(QStringLiteral("CUE"), kAmber));
    addGraphic(composer, QStringLiteral("sync.bmp"), buttonCells(QStringLiteral("SYNC"), kAmber));
    addGraphic(composer, QStringLiteral("thumb.bmp"), thumbCells());

    TVsSkin skin(&form);
    skin.BeginUpdate();
    skin.SetComposer(&composer);
    skin.SetGraphicName(QStringLiteral("fondo.bmp"));
    skin.SetMaskColor(clFuchsia);
    TVsButton* buttons[3];
    const char* names[] = {"play.bmp", "cue.bmp", "sync.bmp"};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new TVsButton(&skin);
        buttons[i]->SetGraphicName(QString::fromLatin1(names[i]));
        buttons[i]->SetMaskColor(clFuchsia);
        buttons[i]->SetStyle(bsSwitch);
        buttons[i]->SetBounds(30 + i * 125, 40, 0, 0);
    }
    buttons[0]->SetDown(true);       // PLAY latched: lit
    buttons[2]->setEnabled(false);  // SYNC disabled
    auto* fader = new TVsSlider(&skin);
    fader->SetGraphicName(QStringLiteral("thumb.bmp"));
    fader->SetMaskColor(clFuchsia);
    fader->SetBounds(kSlot.left() - 11, kSlot.center().y() - 15, kSlot.width() + 22, 30);
    fader->SetPosition(75);
    skin.EndUpdate();

    form.move(40, 40);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return check(false, "the window is shown") ? 0 : 1;
    QTest::qWait(200);
    // the real pointer over CUE: it turns hot
    QCursor::setPos(form.mapToGlobal(buttons[1]->geometry().center()));
    QTest::qWait(300);
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    shot.save(out);
    std::printf("screenshot: %s\n", qPrintable(out));

    const QPoint origin = form.geometry().topLeft();
    bool ok = check(origin == QPoint(40, 40), "the window sits where it was put");
    ok &= check(form.size() == QSize(420, 180), "the window is the background's size");
    int fuchsia = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) fuchsia += (shot.pixel(x, y) & 0xFFFFFF) == (kKey.rgb() & 0xFFFFFF);
    ok &= check(fuchsia == 0, "no fuchsia on the screen");
    // the corners show the screen's own background, as a pixel beside the window does
    const QRgb outside = shot.pixel(origin + QPoint(-5, 60));
    ok &= check(outside != kWindow.rgb(), "the screen around the window is not the window's colour");
    for (QPoint corner : {QPoint(1, 1), QPoint(418, 1), QPoint(1, 178), QPoint(418, 178)})
        ok &= check(shot.pixel(origin + corner) == outside, "a rounded corner is cut out of the window");
    ok &= check(shot.pixel(origin + QPoint(24, 1)) == kWindow.rgb(), "the top edge past the corner is the window's");
    ok &= check(shot.pixel(origin + QPoint(210, 118)) == kWindow.rgb(), "the surface paints its background");
    const QColor lit = shot.pixelColor(origin + QPoint(30 + 8, 40 + 30));
    ok &= check(lit.red() > 200 && lit.green() > 150 && lit.blue() < 60, "the latched PLAY button is lit amber");
    ok &= check(buttons[1]->HasMouse() && buttons[1]->CellIndex() == 4, "CUE under the pointer is hot");
    const QRect thumb = fader->ThumbRect().translated(fader->pos());
    ok &= check(shot.pixelColor(origin + thumb.center() + QPoint(0, 0)).lightness() > 200,
                "the crossfader's thumb sits at its value");
    return ok ? 0 : 1;
}
