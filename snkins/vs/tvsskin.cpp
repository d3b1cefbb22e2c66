#include "snkins/vs/tvsskin.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsini.h"
#include "snkins/vs/tvsskingraphiccontrol.h"
#include "snkins/vs/vsmask.h"

namespace {

QWidget* checkedForm(QWidget* form)
{
    if (form && !form->isWindow()) throw SkinError(QStringLiteral("TVsSkin needs to be placed on a form."));
    return form;
}

void makeFrameless(QWidget* form)
{
    if (!form || (form->windowFlags() & Qt::FramelessWindowHint)) return;
    const bool shown = form->isVisible();
    form->setWindowFlag(Qt::FramelessWindowHint, true);  // hides a shown window
    if (shown) form->show();
}

// The hourglass while the region is cut, also when cutting fails.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

void startFormDrag(QWidget* w)
{
    if (QWindow* handle = w->window()->windowHandle()) handle->startSystemMove();
}

}  // namespace

TVsSkin::TVsSkin(QWidget* form) : SkinWidget(checkedForm(form)), FParentForm(form), FMaskColor(clNone)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    makeFrameless(form);
    QWidget::setGeometry(0, 0, 300, 200);
    FChangeLink.OnChange = [this](TVsSharedComponent*) { ComposerChanged(); };
}

TVsSkin::~TVsSkin()
{
    if (FComposer) FComposer->RemoveLink(&FChangeLink);
}

void TVsSkin::SetParent(QWidget* form)
{
    checkedForm(form);
    const bool shown = !isHidden();
    setParent(form);
    FParentForm = form;
    makeFrameless(form);
    if (form && shown) show();
    UpdateGraphicControls();
}

void TVsSkin::SetBounds(int, int, int width, int height)
{
    if (FGraphic) {
        width = Gw(FGraphic);
        height = Gh(FGraphic);
    }
    const QSize before = size();
    setGeometry(0, 0, qMax(width, 0), qMax(height, 0));
    if (size() == before) return;
    // aligned controls follow the surface's size
    for (QObject* child : children())
        if (auto* control = qobject_cast<TVsSkinGraphicControl*>(child)) control->UpdateBounds();
}

void TVsSkin::SetGraphicName(const QString& name)
{
    if (name == FGraphicName) return;
    FGraphicName = name;
    UpdateGraphicControls();
}

void TVsSkin::SetMaskColor(uint32_t color)
{
    if (color == FMaskColor) return;
    FMaskColor = color;
    UpdateGraphicControls();
}

void TVsSkin::SetComposer(TVsComposer* composer)
{
    if (FComposer) {
        FComposer->RemoveLink(&FChangeLink);
        disconnect(FComposer, nullptr, this, nullptr);
    }
    FComposer = composer;
    if (composer) {
        composer->InsertLink(&FChangeLink);
        // the graphics are gone with the composer; refresh once the composer is
        connect(composer, &QObject::destroyed, this, &TVsSkin::UpdateGraphicControls, Qt::QueuedConnection);
    }
    UpdateGraphicControls();
}

void TVsSkin::EndUpdate()
{
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) UpdateGraphicControls();
}

void TVsSkin::ComposerChanged() { UpdateGraphicControls(); }

void TVsSkin::UpdateGraphicControls()
{
    if (FUpdateCount > 0) return;
    UpdateGraphic();
    for (QObject* child : children())
        if (auto* control = qobject_cast<TVsSkinGraphicControl*>(child)) control->UpdateGraphic(false);
    UpdateBounds();
}

void TVsSkin::UpdateGraphic()
{
    FGraphic = GetGraphic(FGraphicName);
    FRgnData.Clear();
    if (FGraphic && FMaskColor != clNone) {
        BusyCursor busy;
        if ((FMaskColor >> 24) != 0) {
            // a system colour matches no pixel: the whole background
            FRgnData.SetRegion(QRegion(x(), y(), Gw(FGraphic), Gh(FGraphic)));
        } else {
            FRgnData.SetRegion(ExtGenerateMask(x(), y(), FGraphic->Bitmap(), colorFromRef(FMaskColor).rgb()));
        }
    }
    UpdateRegion();
}

void TVsSkin::UpdateRegion()
{
    if (!FParentForm) return;
    if (FRgn) {
        FParentForm->clearMask();
        FRgn = false;
    }
    if (!FRgnData.IsEmpty()) {
        FParentForm->setMask(FRgnData.CreateRegion());
        FRgn = true;
    }
}

void TVsSkin::UpdateBounds()
{
    const QRect before = rect();
    SetBounds(x(), y(), width(), height());
    if (FParentForm) FParentForm->resize(size());
    if (rect() == before) update();
}

TVsGraphic* TVsSkin::GetGraphic(const QString& name) const
{
    return FComposer ? FComposer->GetGraphic(name) : nullptr;
}

void TVsSkin::GetGraphicNames(QStringList& list) const
{
    list.clear();
    if (FComposer) FComposer->GetGraphicNames(list);
}

void TVsSkin::PaintGraphic(QPainter& painter, const QRect& rect) const
{
    if (FGraphic) painter.drawImage(QPoint(0, 0), FGraphic->Bitmap(), rect);
}

void TVsSkin::PaintBackImage(QPainter& painter, const QRect& rect) const
{
    if (FGraphic) PaintGraphic(painter, rect);
    else painter.fillRect(QRect(QPoint(0, 0), rect.size()), palette().color(QPalette::Window));
}

void TVsSkin::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QRect area = e->rect();
    p.fillRect(area, palette().color(QPalette::Window));
    if (FGraphic) p.drawImage(area.topLeft(), FGraphic->Bitmap(), area);
}

void TVsSkin::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    SkinWidget::MouseDown(button, shift, x, y);
    if (button == Qt::LeftButton && FFormDrag) startFormDrag(this);
}
