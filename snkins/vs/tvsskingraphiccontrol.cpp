#include "snkins/vs/tvsskingraphiccontrol.h"

#include <QPaintEvent>
#include <QPainter>

#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsgraphic.h"
#include "snkins/vs/tvsini.h"
#include "snkins/vs/tvsskin.h"

namespace {

QWidget* checkedSkin(QWidget* parent)
{
    if (parent && !qobject_cast<TVsSkin*>(parent))
        throw SkinError(QStringLiteral("Control needs to be placed on a TVsSkin component."));
    return parent;
}

}  // namespace

TVsSkinGraphicControl::TVsSkinGraphicControl(QWidget* parent)
    : SkinWidget(checkedSkin(parent)),
      FSkin(qobject_cast<TVsSkin*>(parent)),
      FClipRect(new TVsClipRect(this)),
      FMaskColor(clNone),
      FDesignColor(0x0000FF)  // red
{
    // every pixel is composed here: the surface is never repainted under the control
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    connect(FClipRect, &TVsPersistent::OnChange, this, [this] { ClipChanged(); });
}

TVsSkinGraphicControl::~TVsSkinGraphicControl() = default;

void TVsSkinGraphicControl::SetParent(QWidget* parent)
{
    checkedSkin(parent);
    const bool shown = !isHidden();
    setParent(parent);
    FSkin = qobject_cast<TVsSkin*>(parent);
    FBackValid = false;
    if (parent && shown) show();
}

void TVsSkinGraphicControl::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, qMax(width, 0), qMax(height, 0));
}

void TVsSkinGraphicControl::SetGraphicName(const QString& name)
{
    if (name == FGraphicName) return;
    FGraphicName = name;
    UpdateGraphic(true);
}

void TVsSkinGraphicControl::SetMaskColor(uint32_t color)
{
    if (color == FMaskColor) return;
    FMaskColor = color;
    RepaintControl();
}

void TVsSkinGraphicControl::SetCursorTracking(bool on)
{
    if (on == FCursorTracking) return;
    FCursorTracking = on;
    if (on) UpdateCursor(QCursor());
    else setCursor(FRefCursor);
}

void TVsSkinGraphicControl::EndUpdate()
{
    if (FUpdateCount > 0) --FUpdateCount;
    RepaintControl();
}

void TVsSkinGraphicControl::RepaintControl()
{
    if (FUpdateCount == 0) update();
}

void TVsSkinGraphicControl::UpdateGraphic(bool ResetClip)
{
    FGraphic = FSkin ? FSkin->GetGraphic(FGraphicName) : nullptr;
    FBackValid = false;
    if (FGraphic && ResetClip) {
        FClipRect->SetBounds(0, 0, Gw(FGraphic), Gh(FGraphic));  // re-applies the bounds when it changes
    }
    UpdateBounds();
}

void TVsSkinGraphicControl::UpdateBounds()
{
    const QRect before = geometry();
    SetBounds(before.x(), before.y(), before.width(), before.height());
    if (geometry().size() == before.size()) RepaintControl();
}

void TVsSkinGraphicControl::ClipChanged() { UpdateBounds(); }

void TVsSkinGraphicControl::GetGraphicBitmap(QImage& bitmap) const
{
    bitmap = FGraphic ? FGraphic->Bitmap() : QImage();
}

void TVsSkinGraphicControl::GetGraphicNames(QStringList& list) const
{
    list.clear();
    if (FSkin) FSkin->GetGraphicNames(list);
}

void TVsSkinGraphicControl::WriteConfig(TVsIni& ini) const
{
    const QString section = objectName();
    ini.WriteRect(section, QStringLiteral("Rect"), geometry());
    ini.WriteDefaultString(section, QStringLiteral("Hint"), QString(), Hint());
    ini.WriteDefaultBool(section, QStringLiteral("ShowHint"), false, ShowHint());
    ini.WriteRect(section, QStringLiteral("ClipRect"), FClipRect->BoundsRect());
    ini.WriteColor(section, QStringLiteral("MaskColor"), FMaskColor);
}

void TVsSkinGraphicControl::ReadConfig(const TVsIni& ini)
{
    const QString section = objectName();
    FClipRect->SetBoundsRect(ini.ReadRect(section, QStringLiteral("ClipRect"), QRect()));
    SetMaskColor(ini.ReadColor(section, QStringLiteral("MaskColor"), clNone));
    SetBoundsRect(ini.ReadRect(section, QStringLiteral("Rect"), geometry()));
    SetHint(ini.ReadString(section, QStringLiteral("Hint"), QString()));
    SetShowHint(ini.ReadBool(section, QStringLiteral("ShowHint"), false));
}

void TVsSkinGraphicControl::DrawTransparent(QImage& dest, const QPoint& at, const QImage& source, const QRect& src,
                                            uint32_t maskColor)
{
    // the part of `src` that lies inside the source and, moved to `at`, inside the destination
    QRect from = src.intersected(source.rect());
    QRect to = from.translated(at - src.topLeft()).intersected(dest.rect());
    from = to.translated(src.topLeft() - at);
    if (to.isEmpty()) return;
    if (dest.format() != QImage::Format_RGB32) dest = dest.convertToFormat(QImage::Format_RGB32);
    const QImage s = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                         ? source
                         : source.convertToFormat(QImage::Format_RGB32);
    const bool opaque = maskColor == clNone;
    const QRgb key = colorFromRef(maskColor).rgb() & 0xFFFFFF;
    const bool keyUsable = (maskColor >> 24) == 0;  // a system colour never matches a pixel
    for (int y = 0; y < to.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(s.constScanLine(from.y() + y)) + from.x();
        QRgb* out = reinterpret_cast<QRgb*>(dest.scanLine(to.y() + y)) + to.x();
        for (int x = 0; x < to.width(); ++x) {
            const QRgb p = in[x] & 0xFFFFFF;
            if (opaque || !keyUsable || p != key) out[x] = 0xFF000000u | p;
        }
    }
}

void TVsSkinGraphicControl::PaintBackImage()
{
    if (!FBackValid || FBackRect != geometry()) {
        FBackImage = QImage(size(), QImage::Format_RGB32);
        FBackImage.fill(palette().color(QPalette::Window));
        if (FSkin && FSkin->Graphic())
            DrawTransparent(FBackImage, QPoint(0, 0), FSkin->Graphic()->Bitmap(), geometry(), clNone);
        FBackValid = true;
        FBackRect = geometry();
    }
    FBitmap = FBackImage;
}

void TVsSkinGraphicControl::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0) return;
    Paint();
    QPainter p(this);
    p.drawImage(0, 0, FBitmap);
}

void TVsSkinGraphicControl::MouseLeave() { UpdateCursor(QCursor()); }

void TVsSkinGraphicControl::UpdateCursor(const QCursor& cursor)
{
    if (!FCursorTracking || Designing()) return;
    FSettingCursor = true;
    setCursor(cursor);
    FSettingCursor = false;
}

void TVsSkinGraphicControl::leaveEvent(QEvent*) { MouseLeave(); }

void TVsSkinGraphicControl::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange) RepaintControl();
    SkinWidget::changeEvent(e);
}

bool TVsSkinGraphicControl::event(QEvent* e)
{
    if (e->type() == QEvent::CursorChange && !FSettingCursor) FRefCursor = cursor();
    return SkinWidget::event(e);
}
