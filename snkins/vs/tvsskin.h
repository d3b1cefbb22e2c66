// The skinned surface: a widget that fills its frameless top-level window (the form), paints
// a background graphic taken by name from a composer, sizes itself and the form to it, cuts
// every pixel of the mask colour out of the form (QWidget::setMask) and drags the form by its
// background. Skinned controls (TVsSkinGraphicControl) sit on it. It reads and writes skin
// description files (ReadSkin, WriteSkin).
//
// Build a surface in one update bracket, so that the region is cut once:
//   skin->BeginUpdate(); ...composer, graphic name, mask colour, controls...; skin->EndUpdate();
#pragma once

#include <QPointer>
#include <QStringList>
#include <cstdint>

#include "snkins/vs/skinwidget.h"
#include "snkins/vs/trgndata.h"
#include "snkins/vs/tvschangelink.h"
#include "snkins/vs/tvscomposer.h"

class TVsIni;

class TVsSkin : public SkinWidget {
    Q_OBJECT
public:
    // `form` must be a top-level window (or none, to place the surface later with SetParent);
    // anything else throws SkinError("TVsSkin needs to be placed on a form.").
    explicit TVsSkin(QWidget* form = nullptr);
    ~TVsSkin() override;

    // Places the surface on a form, which becomes frameless.
    void SetParent(QWidget* form);
    QWidget* ParentForm() const { return FParentForm; }

    // The surface always sits at (0, 0); while a graphic is resolved it takes the graphic's size.
    void SetBounds(int left, int top, int width, int height);

    const QString& GraphicName() const { return FGraphicName; }
    void SetGraphicName(const QString& name);
    TVsGraphic* Graphic() const { return FGraphic; }
    // 0xBBGGRR; clNone (the default) cuts nothing.
    uint32_t MaskColor() const { return FMaskColor; }
    void SetMaskColor(uint32_t color);
    TVsComposer* Composer() const { return FComposer; }
    void SetComposer(TVsComposer* composer);
    bool FormDrag() const { return FFormDrag; }
    void SetFormDrag(bool on) { FFormDrag = on; }
    // Skin description files must carry this signature (exact text); empty by default.
    const QString& Signature() const { return FSignature; }
    void SetSignature(const QString& signature) { FSignature = signature; }
    // Names of further children whose place, colours, hint and font skin files keep.
    QStringList& AutoSave() { return FAutoSave; }
    const QStringList& AutoSave() const { return FAutoSave; }

    // The region generated from the background and the mask colour, and whether one is
    // applied to the form.
    const TRgnData& RgnData() const { return FRgnData; }
    bool RegionApplied() const { return FRgn; }

    void BeginUpdate() { ++FUpdateCount; }
    // At the outermost level refreshes the surface and its controls.
    void EndUpdate();
    // Re-resolves the graphic, cuts the region, refreshes every skinned control and the size.
    void UpdateGraphicControls();

    TVsGraphic* GetGraphic(const QString& name) const;
    void GetGraphicNames(QStringList& list) const;
    // Copy `rect` of the background graphic to (0, 0) of `painter`; without a graphic,
    // PaintBackImage fills the area with the window colour.
    void PaintGraphic(QPainter& painter, const QRect& rect) const;
    void PaintBackImage(QPainter& painter, const QRect& rect) const;

    // Skin description files. ReadSkin throws SkinError ("No skin description file found.",
    // "Invalid or unknown file signature.", a conversion error, a file error); whatever it
    // applied before the error stays, and the surface is refreshed and its form shown again.
    void ReadSkin(const QString& path);
    void WriteSkin(const QString& path, int mode);
    virtual void ReadConfig(const TVsIni& ini);
    virtual void WriteConfig(TVsIni& ini) const;

signals:
    // After a skin file was applied (written), before it is released: a host's own keys.
    void OnSkinRead(TVsSkin* Sender, TVsIni* ini);
    void OnSkinWrite(TVsSkin* Sender, TVsIni* ini);

protected:
    void paintEvent(QPaintEvent*) override;
    // A left press on the background drags the form (FormDrag).
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;

private:
    void UpdateGraphic();
    void UpdateRegion();
    void UpdateBounds();
    void ComposerChanged();
    void ReadAutoSave(const TVsIni& ini);
    void WriteAutoSave(TVsIni& ini) const;

    bool FRgn = false;
    TRgnData FRgnData;
    bool FFormDrag = true;
    QPointer<QWidget> FParentForm;
    uint32_t FMaskColor;
    QPointer<TVsGraphic> FGraphic;
    QString FGraphicName;
    QString FSignature;
    QPointer<TVsComposer> FComposer;
    TVsChangeLink FChangeLink;
    int FUpdateCount = 0;
    QStringList FAutoSave;
};
