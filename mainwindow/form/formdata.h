// The main window's form data (mainwindow/form/tform1.skn), read through the skin engine's INI
// reader: every control with its class, parent, place, graphic and start values; the graphics
// of the skin pack; the bitmap list's entries; the background's drawings; the deck views and
// the width modes. Both the form library and the art generator read it, so a place or a
// graphic is written once.
//
// The file is a skin description file (sections per control, "l,t,w,h" rectangles, r,g,b
// colours) with the keys the kit's controls need added; docs/design.md lists them.
#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QMap>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

class TVsIni;

class FormData {
public:
    struct Control {
        QString name, cls, parent, concern;
        QRect rect;
        QString graphic;          // skin graphic (GraphicName) of a skinned or picture button
        QRect clip;               // ClipRect
        bool hasMask = false;     // MaskColor given
        int direction = 0;        // sliders: 0 horizontal, 1 vertical
        QString style;            // "bsSwitch" or "bsButton"
        std::optional<int> tag;
        QString hint, caption;
        std::optional<int> minValue, maxValue, position;
        bool visible = true, enabled = true, down = false;
        QStringList anchors;      // "left", "right"
        QStringList overlays;     // siblings it lies on by design
        bool backdrop = false;    // a picture other controls lie on (a strip, the button row)
        QString bitmapList;
        int bitmapIndex = -1, imageCount = 0;
        QString picture;          // a form picture (":/skin/form/<picture>")
        std::optional<QColor> color, fontColor;
        int fontSize = 0;
        QString align, alignment, orientation, popupMenu, title, stretch;
        int round = 0;            // 1: elliptic region of its rectangle, 2: one pixel larger
        bool transparent = false, inversed = false;
        QStringList items, itemTags;
        int interval = 0;
        QHash<QString, QString> raw;  // every key as written, for the rest
    };
    struct Graphic {
        QString name, kind;       // kind: button, thumb, image, background
        QSize cell;
        int cells = 1;            // 5 for buttons, 2 for thumbs
        QString look, caption, symbol, style, lit;
        bool vertical = false;
        std::optional<QColor> backing;  // drawn outside the face instead of the see-through key
        QSize size() const { return QSize(cell.width() * cells, cell.height()); }
    };
    struct Bitmap {
        int index = 0;
        QString kind;             // knob, switch, unused
        QSize cell;
        int frames = 1, state = 0;
        QString look, arc;
        QSize size() const { return QSize(cell.width() * frames, cell.height()); }
    };
    struct Decor {
        QString id, kind, text, look, align;
        QRect rect;
        int size = 0;
    };
    // One view or width mode: per control, the keys it sets ("Rect", "Top", "GraphicName",
    // "Visible", "Raise", "Lower", "Tag", "Enabled", "Down"), in file order.
    struct View {
        QString name;
        QHash<QString, QString> globals;  // Plvista, RowTop, BrowserTop, MaxWidth, Width
        QList<QPair<QString, QMap<QString, QString>>> controls;
        const QMap<QString, QString>* find(const QString& control) const;
    };

    // Reads the file (any path QFile opens). Throws SkinError when it cannot be read and
    // std::runtime_error on a value the form cannot use (the message names section and key).
    explicit FormData(const QString& fileName);

    const QString& fileName() const { return FFileName; }
    const QList<Control>& controls() const { return FControls; }
    const Control* control(const QString& name) const;
    // Children of `parent`, in file order.
    QList<const Control*> children(const QString& parent) const;
    const QMap<QString, Graphic>& graphics() const { return FGraphics; }  // by lower-case name
    const Graphic* graphic(const QString& name) const;
    const QList<Bitmap>& bitmaps() const { return FBitmaps; }
    const QList<Decor>& decor() const { return FDecor; }
    const View* view(const QString& name) const;  // "Extended", "Essential", "Minimal", "Wide", "Narrow"
    QStringList viewNames() const;

    // The control's rectangle in the coordinates of the surface (its parents' places added).
    QRect surfaceRect(const Control& c) const;
    // The form's own sections.
    QString surfaceName() const { return QStringLiteral("VsSkin1"); }

    // The whole file as read, for a reader that needs its own keys.
    const TVsIni& ini() const { return *FIni; }
    ~FormData();
    FormData(const FormData&) = delete;
    FormData& operator=(const FormData&) = delete;

private:
    void readControl(const QString& section);
    QString FFileName;
    TVsIni* FIni;
    QList<Control> FControls;
    QHash<QString, int> FIndex;  // lower-case name -> position in FControls
    QMap<QString, Graphic> FGraphics;
    QList<Bitmap> FBitmaps;
    QList<Decor> FDecor;
    QList<View> FViews;
};
