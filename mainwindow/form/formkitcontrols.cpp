#include "mainwindow/form/formkitcontrols.h"

#include <QWidget>

#include "snkins/colorref.h"
#include "snkins/quor/tjvswitch2.h"
#include "snkins/quor/tnslider.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/quor/tquordial.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/vr/trled.h"
#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vr/tvrbitmaplist.h"
#include "snkins/vr/tvrcompass.h"
#include "snkins/vr/tvrled.h"
#include "snkins/vr/tvrledclock.h"
#include "snkins/vr/tvrprogressbar.h"
#include "snkins/vr/tvrquorangularmeter.h"

namespace {

const QColor kWindow(0x21, 0x21, 0x21);

// The kit's instrument controls share the load bracket: fields first, one set-up at Loaded.
template <class T>
T* instrument(const FormData::Control& c, QWidget* parent)
{
    auto* w = new T(parent);
    w->BeginLoad();
    w->SetBounds(c.rect.x(), c.rect.y(), c.rect.width(), c.rect.height());
    if (c.transparent) w->SetTransparent(true);
    return w;
}

}  // namespace

QWidget* createKitControl(const FormData::Control& c, QWidget* parent, TVrBitmapList* list,
                          const GraphicSource& graphics)
{
    const QString& k = c.cls;
    if (k == QLatin1String("TVrBitmapDial")) {
        auto* d = instrument<TVrBitmapDial>(c, parent);
        // the strips' see-through colour: what is not knob is left out
        d->SetColor(clFuchsia);
        d->SetBitmapList(list);
        d->SetBitmapIndex(c.bitmapIndex);
        d->SetImageCount(c.imageCount);
        if (c.maxValue) {
            d->SetMaxValue(*c.maxValue);
            d->SetMinValue(*c.minValue);
        }
        d->Loaded();
        if (c.position) d->SetPosition(*c.position);
        return d;
    }
    if (k == QLatin1String("TVrQuorAngularMeter")) {
        auto* m = instrument<TVrQuorAngularMeter>(c, parent);
        // the face picture beneath carries the scale; the meter adds a quiet one and the needle
        if (c.maxValue) {
            m->SetMaxValue(*c.maxValue);
            m->SetMinValue(*c.minValue);
        }
        m->SetLabels(0);
        m->SetDecimals(0);
        m->SetTicks(10);
        m->SetTicksColor(colorToRef(QColor(0x70, 0x70, 0x70)));
        m->SetColorZone(1, colorToRef(QColor(0x20, 0xC0, 0x40)));
        m->SetColorZone(2, colorToRef(QColor(0xF0, 0xD0, 0x20)));
        m->SetColorZone(3, colorToRef(QColor(0xFF, 0x30, 0x30)));
        m->SetNeedleColor(colorToRef(QColor(0xF0, 0xF0, 0xF0)));
        m->SetCaption(c.caption);
        m->Loaded();
        if (c.position) m->SetPosition(*c.position);
        return m;
    }
    if (k == QLatin1String("TVrLed")) {
        auto* l = instrument<TVrLed>(c, parent);
        l->Loaded();
        return l;
    }
    if (k == QLatin1String("TVrCompass")) {
        auto* m = instrument<TVrCompass>(c, parent);
        m->SetNeedleColor(colorToRef(QColor(0xF0, 0xF0, 0xF0)));
        m->SetCircleColor(colorToRef(QColor(0x1A, 0x1A, 0x1A)));
        m->SetCircleOutlineColor(colorToRef(QColor(0x3A, 0x3A, 0x3A)));
        m->SetNeedleLength(c.rect.width() / 2 - 2);
        m->Loaded();
        return m;
    }
    if (k == QLatin1String("TVrLedClock")) {
        auto* m = instrument<TVrLedClock>(c, parent);
        m->SetHoursColor(colorToRef(QColor(0xDD, 0xDD, 0xDD)));
        m->SetHoursOutline(colorToRef(QColor(0x60, 0x60, 0x60)));
        m->SetTickColor(colorToRef(QColor(0x80, 0x80, 0x80)));
        m->SetTickOutline(colorToRef(QColor(0x40, 0x40, 0x40)));
        m->Loaded();
        m->SetActive(c.raw.value(QStringLiteral("Active")) == QLatin1String("1"));
        return m;
    }
    if (k == QLatin1String("TVrProgressBar")) {
        auto* m = instrument<TVrProgressBar>(c, parent);
        if (c.maxValue) {
            m->SetMaxValue(*c.maxValue);
            m->SetMinValue(*c.minValue);
        }
        m->Loaded();
        if (c.position) m->SetPosition(*c.position);
        return m;
    }
    if (k == QLatin1String("TRLed")) {
        auto* m = new TRLed(parent);
        m->setGeometry(c.rect);
        m->SetOrientation(c.orientation == QLatin1String("vertical") ? trVertical : trHorizontal);
        if (c.maxValue) m->SetMaxValue(*c.maxValue);
        m->SetBackColor(colorToRef(QColor(0x0C, 0x0C, 0x0C)));
        if (c.position) m->SetPosition(*c.position);
        return m;
    }
    if (k == QLatin1String("TQuorDial")) {
        auto* m = new TQuorDial(parent);
        m->setGeometry(c.rect);
        m->setfstep(c.raw.value(QStringLiteral("Step")).toInt());
        m->maxvalue = c.raw.value(QStringLiteral("MaxValue")).toInt();
        m->NDivide = c.raw.value(QStringLiteral("Notches")).toInt();
        const QImage platter(QStringLiteral(":/skin/form/") + c.picture);
        if (!platter.isNull()) m->setfimage(platter);
        if (c.position) m->setfcount(*c.position);
        return m;
    }
    if (k == QLatin1String("TquorButton")) {
        auto* b = new TquorButton(parent);
        b->Style = c.style == QLatin1String("bsButton") ? TquorButton::bsButton : TquorButton::bsSwitch;
        b->GraphicName = c.graphic;
        b->setGrafico(graphics(c.graphic));
        b->SetClipRect(QRect(0, 0, 0, 0));
        b->SetMaskColor(QColor(0xFF, 0x00, 0xFF));
        b->Setnumber(1);
        b->SetBounds(c.rect.x(), c.rect.y(), c.rect.width(), c.rect.height());
        if (c.tag) b->Tag = *c.tag;
        if (!c.caption.isEmpty()) b->setcaption(c.caption);
        b->SetDown(c.down);
        return b;
    }
    if (k == QLatin1String("TnSlider")) {
        auto* s = new TnSlider(parent);
        s->Horizontal = c.orientation != QLatin1String("vertical");
        s->AutoSize = false;
        s->setGeometry(c.rect);
        s->SetImageRuler(graphics(c.raw.value(QStringLiteral("Ruler"))));
        s->SetImageThumb(graphics(c.raw.value(QStringLiteral("Thumb"))));
        if (c.maxValue) {
            s->SetMaxvalue(*c.maxValue);
            s->SetMinvalue(*c.minValue);
        }
        s->SetInversed(c.inversed);
        if (c.position) s->SetPosition(*c.position);
        return s;
    }
    if (k == QLatin1String("Tjvswitch2")) {
        auto* s = new Tjvswitch2(parent);
        s->setGeometry(c.rect);
        const int off = c.raw.value(QStringLiteral("GlyphOff")).toInt();
        const int on = c.raw.value(QStringLiteral("GlyphOn")).toInt();
        if (QImage* g = list ? list->GetBitmap(off) : nullptr) s->setGlyphOff(*g);
        if (QImage* g = list ? list->GetBitmap(on) : nullptr) s->setGlyphOn(*g);
        s->setTransparentColor(0, qRgb(0xFF, 0x00, 0xFF));
        s->setTransparentColor(1, qRgb(0xFF, 0x00, 0xFF));
        s->setTextPosition(Tjvswitch2::tpNone);
        s->setBorderStyle(Tjvswitch2::bsNone);
        s->setShowFocus(false);
        s->setColor(kWindow);
        return s;
    }
    if (k == QLatin1String("TQuorPanel")) {
        auto* p = new TQuorPanel(parent);
        p->setGeometry(c.rect);
        const QColor back = c.color.value_or(QColor(0, 0, 0));
        p->tbackcolor = back;
        p->tcaptioncolor = QColor(0x2A, 0x2A, 0x2A);
        p->tcaptionfcolor = QColor(0xC0, 0xC0, 0xC0);
        p->tpencolor = QColor(0x3A, 0x3A, 0x3A);
        p->ttitlecaption = c.title;
        p->init();
        p->setColor(back);
        p->setbordercolor(QColor(0x3A, 0x3A, 0x3A));
        p->SetShowtitle(!c.title.isEmpty());
        return p;
    }
    return nullptr;
}

void applyKitPosition(QWidget* w, int position)
{
    if (auto* d = qobject_cast<TVrBitmapDial*>(w)) d->SetPosition(position);
    else if (auto* s = qobject_cast<TnSlider*>(w)) s->SetPosition(position);
    else if (auto* r = qobject_cast<TRLed*>(w)) r->SetPosition(position);
    else if (auto* p = qobject_cast<TVrProgressBar*>(w)) p->SetPosition(position);
}

TVrBitmapList* createBitmapList(QObject* owner, const QString& name, const QString& stream)
{
    auto* list = new TVrBitmapList(owner);
    list->setObjectName(name);
    list->Bitmaps()->LoadFromFile(stream);
    return list;
}

QObject* bitmapListObject(TVrBitmapList* list) { return list; }
