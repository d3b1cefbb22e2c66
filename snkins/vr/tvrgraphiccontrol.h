// The base of the kit's instrument controls: a widget with the kit's caption, colour and font,
// a redraw suppression bracket, the load bracket in which a host sets its fields, and the
// auto-size rule.
#pragma once

#include <QString>
#include <QWidget>

#include "snkins/vr/kitfont.h"
#include "snkins/vr/tvrtypes.h"

class QPainter;

class TVrGraphicControl : public QWidget {
    Q_OBJECT
public:
    explicit TVrGraphicControl(QWidget* parent = nullptr);

    QString Version() const { return QString::fromLatin1(VrVersion); }
    void SetVersion(const QString&) {}  // read-only: writing has no effect

    // Redraws wait while a bracket is open; EndUpdate repaints (it has no lower bound).
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // The host opens the load bracket before it sets a control's fields and closes it with
    // Loaded, which sets the control up once for all of them.
    void BeginLoad() { FLoading = true; }
    virtual void Loaded();
    bool Loading() const { return FLoading; }
    bool Designing() const { return false; }  // there is no form designer here

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    const KitFont& Font() const { return FFont; }
    void SetFont(const KitFont& Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value) { FAlign = Value; }
    // Places the control; with AutoSize on, the control's auto-size rule may change the size.
    void SetBounds(int Left, int Top, int Width, int Height);

    // Repaints at once unless loading or inside an update bracket.
    virtual void UpdateControlCanvas();
    // The picture the control shows changed: re-applies the bounds so that AutoSize follows it
    // (a change of size repaints by itself), else repaints.
    virtual void UpdateControlBounds();
    // The same re-application without the auto-size condition.
    virtual void AdjustControlSize();

signals:
    void OnMouseEnter(QObject* Sender);
    void OnMouseLeave(QObject* Sender);
    void OnFontChanged(QObject* Sender);
    void OnTextChanged(QObject* Sender);

protected:
    virtual void MouseEnter() { emit OnMouseEnter(this); }
    virtual void MouseLeave() { emit OnMouseLeave(this); }
    virtual void FontChanged() { emit OnFontChanged(this); }
    virtual void TextChanged() { emit OnTextChanged(this); }
    virtual void ColorChanged() { UpdateControlCanvas(); }
    // The auto-size rule: may change the proposed size; true when it allows a resize.
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    // The dotted frame of design mode; draws nothing outside a designer.
    void ShowDesignFrame(QPainter& canvas);
    // The common setter: a changed value is stored and repainted.
    template <typename T>
    void SetAndRepaint(T& field, const T& value)
    {
        if (field == value) return;
        field = value;
        UpdateControlCanvas();
    }

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    int FUpdateCount = 0;

private:
    QString FCaption;
    TColor FColor = clBtnFace;
    KitFont FFont;
    bool FAutoSize = false;
    TAlign FAlign = alNone;
    bool FLoading = false;
};
