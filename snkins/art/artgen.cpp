#include "snkins/art/artgen.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QMap>
#include <cstdio>

namespace {

struct Entry {
    QString set;
    ArtModuleFn fn;
};

QMap<QString, Entry>& registry()
{
    static QMap<QString, Entry> modules;  // keyed by module name: name order
    return modules;
}

const char* const kFontDir = "/usr/share/fonts/truetype/dejavu/";

QString loadFamily(const char* file)
{
    static QMap<QString, QString> loaded;
    const QString path = QString::fromLatin1(kFontDir) + QString::fromLatin1(file);
    if (loaded.contains(path)) return loaded.value(path);
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    const QString family = families.isEmpty() ? QString() : families.first();
    loaded.insert(path, family);
    return family;
}

QString fileNameFor(const QString& name)
{
    QString f = name;
    f.replace(QLatin1Char('/'), QLatin1Char('_'));
    return f;
}

}  // namespace

ArtModuleRegistrar::ArtModuleRegistrar(const char* set, const char* name, ArtModuleFn fn)
{
    registry().insert(QString::fromLatin1(name), Entry{QString::fromLatin1(set), fn});
}

ArtContext::ArtContext(QString set, QString outDir, QStringList inputs)
    : set_(std::move(set)), outDir_(std::move(outDir)), inputs_(std::move(inputs))
{
}

void ArtContext::fail(const QString& why)
{
    std::fprintf(stderr, "ostrel_artgen (%s): %s\n", qPrintable(set_), qPrintable(why));
    failed_ = true;
}

static QFont makeFont(ArtContext& ctx, const char* file, int pixelSize, bool bold)
{
    const QString family = loadFamily(file);
    if (family.isEmpty()) {
        ctx.fail(QStringLiteral("cannot load the font %1%2 (package fonts-dejavu-core/-extra)")
                     .arg(QString::fromLatin1(kFontDir), QString::fromLatin1(file)));
        return QFont();
    }
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont ArtContext::font(int pixelSize) const
{
    return makeFont(const_cast<ArtContext&>(*this), "DejaVuSansCondensed-Bold.ttf", pixelSize, true);
}

QFont ArtContext::plainFont(int pixelSize) const
{
    return makeFont(const_cast<ArtContext&>(*this), "DejaVuSans.ttf", pixelSize, false);
}

void ArtContext::saveBmp(const QString& name, const QImage& image)
{
    if (image.isNull()) {
        fail(QStringLiteral("empty picture %1").arg(name));
        return;
    }
    saveFile(name, encodeBmp(image));
}

void ArtContext::saveFile(const QString& name, const QByteArray& bytes)
{
    if (files_.contains(name)) {
        fail(QStringLiteral("%1 written twice").arg(name));
        return;
    }
    QDir().mkpath(outDir_ + QStringLiteral("/files"));
    QFile f(outDir_ + QStringLiteral("/files/") + fileNameFor(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        fail(QStringLiteral("cannot write %1").arg(f.fileName()));
        return;
    }
    files_ << name;
}

bool ArtContext::finish()
{
    if (failed_) return false;
    QStringList sorted = files_;
    sorted.sort();
    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/" + set_.toUtf8() + "\">\n";
    for (const QString& name : sorted)
        qrc += "  <file alias=\"" + name.toHtmlEscaped().toUtf8() + "\">files/" +
               fileNameFor(name).toHtmlEscaped().toUtf8() + "</file>\n";
    qrc += "</qresource>\n</RCC>\n";
    QFile f(outDir_ + QLatin1Char('/') + set_ + QStringLiteral(".qrc"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(qrc) != qrc.size()) {
        fail(QStringLiteral("cannot write %1").arg(f.fileName()));
        return false;
    }
    return true;
}

int runArtSet(const QString& set, const QString& outDir, const QStringList& inputs)
{
    ArtContext ctx(set, outDir, inputs);
    for (auto it = registry().cbegin(); it != registry().cend(); ++it) {
        if (it->set != set) continue;
        it->fn(ctx);
        if (ctx.failed()) {
            std::fprintf(stderr, "ostrel_artgen: module %s failed\n", qPrintable(it.key()));
            return 1;
        }
    }
    return ctx.finish() ? 0 : 1;
}
