// The kit gallery: every control of the kit in a few states, in one picture, so that a person
// can look at them at once (scripts/kit-gallery.sh, or the KitGallery test, writes it).
//
// A family of controls registers one row with KIT_GALLERY(order, name, fn): fn adds the row's
// controls, each with a caption, to the row; rows are drawn in `order` (then name) order. A new
// family is a new file with its rows, added to kit_gallery's sources in CMakeLists.txt.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class GalleryRow {
public:
    // Adds a control (the row owns it) under a caption; returns it for further setting. A zoom
    // above 1 shows it magnified, pixel for pixel, for controls too small to judge at 1:1.
    template <typename W>
    W* add(const QString& caption, W* widget, int zoom = 1)
    {
        items.push_back({caption, std::unique_ptr<QWidget>(widget), zoom});
        return widget;
    }

    struct Item {
        QString caption;
        std::unique_ptr<QWidget> widget;
        int zoom = 1;
    };
    std::vector<Item> items;
};

using GalleryFn = void (*)(GalleryRow&);

struct GalleryRegistrar {
    GalleryRegistrar(int order, const char* name, GalleryFn fn);
};

#define KIT_GALLERY(order, name, fn) static const GalleryRegistrar galleryRow_##name(order, #name, fn)

// A dark panel of the window's colour under a control, so transparent controls show what they
// leave out; the panel owns the control.
QWidget* onPanel(QWidget* control, bool pattern = false);
