// One named bitmap of the skin graphics collection. The name is the look-up key, by
// convention the bitmap's file name ("fondo.bmp"), kept exactly as written.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "snkins/vs/tvspersistent.h"

class TVsGraphic : public TVsPersistent {
    Q_OBJECT
public:
    explicit TVsGraphic(QObject* parent = nullptr) : TVsPersistent(parent) {}

    const QString& Name() const { return FName; }
    void SetName(const QString& name);

    // A null image is the empty bitmap (0 x 0).
    const QImage& Bitmap() const { return FBitmap; }
    void SetBitmap(const QImage& bitmap);

    // Loads the bitmap from a whole BMP file image and keeps those bytes, so that saving
    // writes them back unchanged. Throws SkinError on a file image that is not a valid BMP.
    void LoadBitmapFromBmp(const QByteArray& fileImage);
    // The BMP file image of the bitmap: the bytes it was loaded from, else a fresh encoding.
    QByteArray BmpFileImage() const;

    // Copies name and bitmap from another graphic (one notice); no source is ignored.
    void Assign(const TVsGraphic* source);

private:
    QString FName;
    QImage FBitmap;
    QByteArray FBmpData;  // the file image FBitmap came from; empty once the bitmap is set
};

// The bitmap's width and height (0 for none).
inline int Gw(const TVsGraphic* g) { return g ? g->Bitmap().width() : 0; }
inline int Gh(const TVsGraphic* g) { return g ? g->Bitmap().height() : 0; }
