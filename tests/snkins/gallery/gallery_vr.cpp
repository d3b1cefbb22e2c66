// The instrument controls in the gallery.
#include <QDateTime>
#include <QPainter>

#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vr/tvrbitmapimage.h"
#include "snkins/vr/tvrbitmaplist.h"
#include "snkins/vr/tvrcompass.h"
#include "snkins/vr/tvrled.h"
#include "snkins/vr/tvrledclock.h"
#include "snkins/vr/tvrprogressbar.h"
#include "snkins/vr/tvrquorangularmeter.h"
#include "snkins/vr/trled.h"
#include "tests/snkins/gallery/kitgallery.h"
#include "tests/snkins/gallery/knobstrip.h"

namespace {

// Colours as the kit writes them (0xBBGGRR).
constexpr TColor kAmber = 0x0AB2FE, kGreen = 0x1BCE8A, kPanel = 0x212121;

TVrBitmapList& sharedList()
{
    static TVrBitmapList list;
    if (list.Bitmaps()->Count() == 0) {
        list.Bitmaps()->Add(KnobStrip(27, 50, QColor(0xFE, 0xB2, 0x0A)));
        QImage badge(64, 40, QImage::Format_RGB32);
        badge.fill(QColor(255, 0, 255));  // the bottom-left colour: left out when transparent
        QPainter p(&badge);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0x8A, 0xCE, 0x1B));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(4, 4, 56, 32), 6, 6);
        p.setPen(QColor(0x11, 0x11, 0x11));
        p.drawText(QRect(4, 4, 56, 32), Qt::AlignCenter, QStringLiteral("DECK B"));
        p.end();
        list.Bitmaps()->Add(badge);
    }
    return list;
}

TVrQuorAngularMeter* meter(double position, const QString& caption)
{
    auto* m = new TVrQuorAngularMeter;
    m->resize(240, 200);
    m->SetSpacing(32);
    m->SetLabelsOffset(22);
    m->SetLabels(5);
    m->SetDecimals(0);
    m->SetTicks(50);
    m->SetTicksEnlarge(10);
    m->SetTicksMin(4);
    m->SetTicksMax(10);
    m->SetCaption(caption);
    m->SetPosition(position);
    return m;
}

void meters(GalleryRow& row)
{
    row.add(QStringLiteral("30 %, caption"), meter(30, QStringLiteral("PLAYING|DECK A")));
    auto* times = meter(88, QStringLiteral("CUE"));
    times->SetColor(kPanel);
    times->setremain(QStringLiteral("-03:21"));
    times->setelapsed(QStringLiteral("01:02"));
    times->Setenable_remain(true);
    times->Setenable_elapsed(true);
    times->SetRemainXOffset(8);
    times->SetRemainYOffset(74);
    times->SetElapsedXOffset(196);
    times->SetElapsedYOffset(74);
    times->SetCaption(QStringLiteral("CUE"));  // rebuilds the scale with the texts
    row.add(QStringLiteral("88 %, times"), times);
    auto* see = meter(60, QStringLiteral("TRANSPARENT"));
    see->SetTransparent(true);
    row.add(QStringLiteral("transparent"), onPanel(see, true));
    auto* flat = meter(0, QStringLiteral("EMPTY RANGE"));
    flat->BeginLoad();
    flat->SetMaxValue(0);
    flat->SetTicksEnlarge(0);
    flat->Loaded();
    row.add(QStringLiteral("max = min, enlarge 0"), flat);
}
KIT_GALLERY(10, Needle_meter, meters);

TVrLed* led(TVrLedType type, bool active, const QString& caption = {})
{
    auto* l = new TVrLed;
    l->SetLedType(type);
    l->SetActive(active);
    if (!caption.isEmpty()) {
        l->resize(70, 25);
        l->SetCaption(caption);
    }
    return l;
}

void leds(GalleryRow& row)
{
    row.add(QStringLiteral("round off, on"), led(ltRounded, false));
    row.add(QString(), led(ltRounded, true));
    row.add(QStringLiteral("rect off, on"), led(ltRectangle, false));
    row.add(QString(), led(ltRectangle, true));
    row.add(QStringLiteral("big off, on"), led(ltLargeRect, false));
    row.add(QString(), led(ltLargeRect, true));
    row.add(QStringLiteral("round off, on (x3)"), led(ltRounded, false), 3);
    row.add(QString(), led(ltRounded, true), 3);
    row.add(QStringLiteral("big on (x3)"), led(ltLargeRect, true), 3);
    auto* green = led(ltRounded, true, QStringLiteral("SYNC"));
    green->Palette()->SetLow(0x003010);
    green->Palette()->SetHigh(0x40C020);
    row.add(QStringLiteral("palette, caption"), green);
    auto* top = led(ltLargeRect, true, QStringLiteral("REC"));
    top->resize(50, 40);
    top->SetLayout(ImageTop);
    row.add(QStringLiteral("image top"), top);
    row.add(QStringLiteral("custom, none"), led(ltCustom, true));
}
KIT_GALLERY(20, LED, leds);

QImage compassFace(int size)
{
    QImage face(size, size, QImage::Format_RGB32);
    face.fill(Qt::black);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x4A, 0x4A, 0x4A), 2));
    p.setBrush(QColor(0x2E, 0x2E, 0x2E));
    p.drawEllipse(QRectF(4, 4, size - 8, size - 8));
    p.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 1));
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        const QPointF c(size / 2.0, size / 2.0);
        p.drawLine(c + QPointF(std::sin(a), -std::cos(a)) * (size / 2.0 - 12),
                   c + QPointF(std::sin(a), -std::cos(a)) * (size / 2.0 - 6));
    }
    return face;
}

void compasses(GalleryRow& row)
{
    auto* plain = row.add(QStringLiteral("heading 90"), new TVrCompass);
    (void)plain;
    auto* face = new TVrCompass;
    face->SetBackImage(compassFace(100));
    face->SetHeading(215);
    face->SetNeedleColor(kAmber);
    face->SetCircleColor(0x3A3A3A);
    face->SetCircleOutlineColor(0x4A4A4A);
    face->SetCircleWidth(6);
    row.add(QStringLiteral("face, 215"), face);
    auto* x = new TVrCompass;
    x->SetBackImage(compassFace(100));
    x->SetHeading(30);
    x->SetNeedleWidth(3);
    x->SetNeedleTransparent(true);
    x->SetNeedleColor(clWhite);
    row.add(QStringLiteral("xor needle"), x);
    auto* see = new TVrCompass;
    see->SetBackImage(compassFace(100));
    see->SetTransparent(true);
    see->SetHeading(320);
    row.add(QStringLiteral("transparent"), onPanel(see, true));
}
KIT_GALLERY(30, Compass, compasses);

TVrBitmapImage* image(int index, bool transparent)
{
    auto* i = new TVrBitmapImage;
    i->resize(90, 60);
    i->SetColor(kPanel);
    i->SetBitmapList(&sharedList());
    i->SetBitmapIndex(index);
    i->SetTransparent(transparent);
    return i;
}

void images(GalleryRow& row)
{
    row.add(QStringLiteral("picture 1"), image(1, false));
    row.add(QStringLiteral("transparent"), onPanel(image(1, true), true));
    row.add(QStringLiteral("index 7: none"), image(7, false));
}
KIT_GALLERY(40, Bitmap_image, images);

TVrBitmapDial* dial(int position)
{
    auto* d = new TVrBitmapDial;
    d->SetColor(kPanel);
    d->SetBitmapList(&sharedList());
    d->SetBitmapIndex(0);
    d->SetImageCount(27);
    d->SetPosition(position);
    return d;
}

void dials(GalleryRow& row)
{
    for (int p : {0, 25, 50, 75, 100}) row.add(QStringLiteral("%1 %").arg(p), dial(p));
    auto* none = new TVrBitmapDial;
    none->SetColor(0x2E2E2E);
    row.add(QStringLiteral("no strip"), none);
}
KIT_GALLERY(50, Dial, dials);

TVrProgressBar* bar(int position)
{
    auto* b = new TVrProgressBar;
    b->SetPosition(position);
    return b;
}

void bars(GalleryRow& row)
{
    row.add(QStringLiteral("blocks 50 %"), bar(50));
    auto* smooth = bar(75);
    smooth->SetSmooth(true);
    smooth->SetStartColor(0x0A3A50);
    smooth->SetEndColor(kAmber);
    row.add(QStringLiteral("smooth 75 %"), smooth);
    auto* plain = bar(35);
    plain->SetFillType(pfPlain);
    row.add(QStringLiteral("plain 35 %"), plain);
    auto* tiled = bar(100);
    QImage tile(6, 6, QImage::Format_RGB32);
    tile.fill(QColor(0x1B, 0x40, 0x50));
    QPainter(&tile).fillRect(0, 0, 3, 6, QColor(0x3F, 0xA9, 0xF5));
    tiled->SetFillType(pfBitmap);
    tiled->SetBitmap(tile);
    tiled->SetSmooth(true);
    row.add(QStringLiteral("bitmap 100 %"), tiled);
    auto* up = bar(60);
    up->SetOrientation(voVertical);
    up->resize(16, 90);
    row.add(QStringLiteral("vertical 60 %"), up);
}
KIT_GALLERY(60, Progress_bar, bars);

TVrLedClock* clock(QTime t, bool twelve)
{
    const QDateTime when(QDate(2024, 5, 17), t);
    auto* c = new TVrLedClock(nullptr, [when] { return when; });
    if (twelve) c->SetHourFormat(hfmt12h);
    return c;
}

void clocks(GalleryRow& row)
{
    row.add(QStringLiteral("09:05:30"), clock(QTime(9, 5, 30), false));
    auto* amber = clock(QTime(13, 7, 59), true);
    for (auto set : {&TVrLedClock::SetHoursColor, &TVrLedClock::SetHoursOutline, &TVrLedClock::SetTickColor,
                     &TVrLedClock::SetTickOutline})
        (amber->*set)(kAmber);
    amber->SetSecHandColor(kGreen);
    amber->SetSecOutline(kGreen);
    row.add(QStringLiteral("13:07:59, 12 h"), amber);
    auto* upright = clock(QTime(0, 15, 0), false);
    upright->SetTextAngle(0);
    row.add(QStringLiteral("00:15:00, upright"), upright);
}
KIT_GALLERY(70, LED_clock, clocks);

TRLed* level(int position, bool horizontal = false)
{
    auto* l = new TRLed;
    l->enabletimer(false);
    if (horizontal) {
        l->SetOrientation(trHorizontal);
        l->resize(152, 14);
        l->SetBarSize(4);
    }
    l->SetPosition(position);
    return l;
}

void levels(GalleryRow& row)
{
    row.add(QStringLiteral("0"), level(0));
    row.add(QStringLiteral("50"), level(50));
    row.add(QStringLiteral("100"), level(100));
    auto* low = level(80);
    low->SetBreakPos(0);
    row.add(QStringLiteral("break 0"), low);
    auto* meters = level(90);
    meters->SetColorLow(0x40C020);
    meters->SetColorHi(0x3030FF);
    row.add(QStringLiteral("90, colours"), meters);
    row.add(QStringLiteral("horizontal 70"), level(70, true));
    auto* none = level(50);
    none->SetBarSize(0);
    row.add(QStringLiteral("bar size 0"), none);
}
KIT_GALLERY(80, LED_level_bar, levels);

}  // namespace
