// The art generator: one build-time program that draws every picture of the surface with
// QPainter. Each module draws one family of pictures into a set; the build turns a set into
// Qt resources under ":/<set>/<name>". Two runs write identical bytes.
//
// A module is a function registered with ART_MODULE(set, name, function). It writes pictures
// through ArtContext::saveBmp and other bytes (streams, packs) through ArtContext::saveFile.
// Sizes, cell layouts and key colours that the picture's users need are written next to the
// module that draws them.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

#include "snkins/vs/bmpfile.h"  // encodeBmp

class ArtContext {
public:
    ArtContext(QString set, QString outDir, QStringList inputs);

    const QString& set() const { return set_; }
    // Extra inputs named on the command line (the form data, for instance).
    const QStringList& inputs() const { return inputs_; }

    // The caption font, DejaVu Sans Condensed Bold, at a pixel size. Loaded from the file the
    // install script installs; the program fails when it cannot load it.
    QFont font(int pixelSize) const;
    // The plain face, DejaVu Sans (book weight).
    QFont plainFont(int pixelSize) const;

    // Writes `image` as a 24-bit BMP (or 32-bit when it has an alpha channel) under `name`,
    // e.g. "LI_RND" or "fondo.bmp"; the resource is ":/<set>/<name>".
    void saveBmp(const QString& name, const QImage& image);
    // Writes raw bytes under `name`.
    void saveFile(const QString& name, const QByteArray& bytes);

    // Writes the set's resource list; called once after every module ran. False on failure.
    bool finish();
    bool failed() const { return failed_; }
    void fail(const QString& why);

private:
    QString set_, outDir_;
    QStringList inputs_, files_;
    bool failed_ = false;
};

using ArtModuleFn = void (*)(ArtContext&);

struct ArtModuleRegistrar {
    ArtModuleRegistrar(const char* set, const char* name, ArtModuleFn fn);
};

#define ART_MODULE(set, name, fn) \
    static const ArtModuleRegistrar artModule_##name(set, #name, fn)

// Runs every module of `set`, in name order. Used by main().
int runArtSet(const QString& set, const QString& outDir, const QStringList& inputs);
