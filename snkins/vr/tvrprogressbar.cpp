#include "snkins/vr/tvrprogressbar.h"

#include <QEvent>
#include <algorithm>
#include <climits>

#include "snkins/vr/vrfunctions.h"

TVrProgressBar::TVrProgressBar(QWidget* parent) : TVrGraphicImageControl(parent), FBevel(new TVrBevel(this))
{
    FBevel->SetInnerStyle(bsNone);
    FBevel->SetInnerSpace(0);
    FBevel->SetOuterStyle(bsLowered);
    FBevel->SetOuterOutline(osNone);
    connect(FBevel, &TVrPersistent::OnChange, this, [this] { UpdateControlCanvas(); });
    SetColor(clBlack);
    resize(200, 16);
}

int TVrProgressBar::GetPercentDone() const
{
    return SolveForY(int64_t(FPosition) - FMinValue, int64_t(FMaxValue) - FMinValue);
}

void TVrProgressBar::SetPosition(int Value)
{
    if (Value < FMinValue) Value = FMinValue;
    if (Value > FMaxValue) Value = FMaxValue;
    if (Value == FPosition) return;
    FPosition = Value;
    UpdateControlCanvas();
    Changed();
}

void TVrProgressBar::StepBy(int Delta)
{
    SetPosition(int(std::clamp<int64_t>(int64_t(FPosition) + Delta, INT_MIN, INT_MAX)));
}

void TVrProgressBar::SetMinValue(int Value)
{
    if (Value == FMinValue || Value >= FMaxValue) return;
    FMinValue = Value;
    if (FPosition < Value)
        SetPosition(Value);
    else
        UpdateControlCanvas();
}

void TVrProgressBar::SetMaxValue(int Value)
{
    if (Value == FMaxValue || Value <= FMinValue) return;
    FMaxValue = Value;
    if (Value < FPosition)
        SetPosition(Value);
    else
        UpdateControlCanvas();
}

void TVrProgressBar::SetFillType(TVrProgressBarFill Value)
{
    if (FFillType == Value) return;
    FFillType = Value;
    UpdateBarImage = true;
    UpdateControlCanvas();
}

void TVrProgressBar::SetStartColor(TColor Value)
{
    if (FStartColor == Value) return;
    FStartColor = Value;
    UpdateBarImage = true;
    UpdateControlCanvas();
}

void TVrProgressBar::SetEndColor(TColor Value)
{
    if (FEndColor == Value) return;
    FEndColor = Value;
    UpdateBarImage = true;
    UpdateControlCanvas();
}

void TVrProgressBar::SetOrientation(TVrOrientation Value)
{
    if (FOrientation == Value) return;
    FOrientation = Value;
    UpdateBarImage = true;
    if (!Loading()) setGeometry(x(), y(), height(), width());
    UpdateControlCanvas();
}

void TVrProgressBar::SetBitmap(const QImage& Value)
{
    FBitmap = Value;
    UpdateBarImage = FFillType == pfBitmap;
    UpdateControlCanvas();
}

void TVrProgressBar::changeEvent(QEvent* event)
{
    TVrGraphicImageControl::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) UpdateBarImage = true;
}

void TVrProgressBar::CreateBarImage(const QRect& viewPort)
{
    if (!UpdateBarImage && BarImage.size() == viewPort.size()) return;
    BarImage = QImage(viewPort.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&BarImage);
    if (FFillType == pfPlain || (FFillType == pfBitmap && FBitmap.isNull()))
        BarImage.fill(VrColor(clHighlight));
    else if (FFillType == pfGradient) {
        if (FOrientation == voHorizontal)
            DrawGradient(p, BarImage.rect(), FStartColor, FEndColor, 1, 1);
        else
            DrawGradient(p, BarImage.rect(), FEndColor, FStartColor, 0, 1);
    } else {
        DrawTiledBitmap(p, BarImage.rect(), FBitmap);
    }
    UpdateBarImage = false;
}

// Rectangles below are kept as left, top, right, bottom with right and bottom just outside,
// so that a block's width can run to zero or below without QRect's normalisation.
namespace {
struct Edges {
    int l, t, r, b;
    int w() const { return r - l; }
    int h() const { return b - t; }
};
}  // namespace

void TVrProgressBar::DrawHori()
{
    QPainter& canvas = GetBitmapCanvas();
    const Edges vp{FViewPort.left(), FViewPort.top(), FViewPort.left() + FViewPort.width(),
                   FViewPort.top() + FViewPort.height()};
    const int B = (vp.h() / 3) * 2;
    Edges block{vp.l, vp.t + 1, vp.l + B, vp.b - 1};
    ++block.l;  // smooth: one pixel in; blocks: shrunk on both sides
    if (!FSmooth) --block.r;
    const int F = SolveForX(GetPercentDone(), vp.w());
    if (FSmooth) block.r = vp.l + F;
    while (vp.l + F > block.l) {
        if (block.r > vp.r - 1) block.r = vp.r - 1;
        if (block.w() > 0 && block.h() > 0)
            canvas.drawImage(QRect(block.l, block.t, block.w(), block.h()), BarImage,
                             QRect(block.l - vp.l, 0, block.w(), block.h()));
        // a viewport under 3 pixels high gives blocks of no width: still move on
        const int step = std::max(1, block.w() + 2);
        block.l += step;
        block.r += step;
    }
}

void TVrProgressBar::DrawVert()
{
    QPainter& canvas = GetBitmapCanvas();
    const Edges vp{FViewPort.left(), FViewPort.top(), FViewPort.left() + FViewPort.width(),
                   FViewPort.top() + FViewPort.height()};
    const int B = (vp.w() / 3) * 2;
    Edges block{vp.l + 1, vp.b - B, vp.r - 1, vp.b};
    if (!FSmooth) {
        ++block.t;
        --block.b;
    }
    const int F = SolveForX(GetPercentDone(), vp.h());
    if (FSmooth) block.t = vp.b - F;
    while (vp.b - F < block.b) {
        if (block.t < vp.t + 1) block.t = vp.t + 1;
        if (block.w() > 0 && block.h() > 0)
            canvas.drawImage(QRect(block.l, block.t, block.w(), block.h()), BarImage,
                             QRect(0, block.t - vp.t - 1, BarImage.width(), block.h()));
        const int step = std::max(1, block.h() + 2);
        block.t -= step;
        block.b -= step;
    }
}

void TVrProgressBar::Paint()
{
    ClearBitmapCanvas();
    FViewPort = rect();
    FBevel->Paint(GetBitmapCanvas(), FViewPort);
    if (FViewPort.width() > 0 && FViewPort.height() > 0) {
        CreateBarImage(FViewPort);
        if (FOrientation == voHorizontal)
            DrawHori();
        else
            DrawVert();
    }
    TVrGraphicImageControl::Paint();
}
