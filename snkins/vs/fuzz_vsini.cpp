// libFuzzer target: any text given to a surface as its skin description file applies or
// throws SkinError; never a crash or a hang. A surface that read a file writes a file that
// reads back, and writing that again gives the same text.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "snkins/colorref.h"
#include "snkins/vs/bmpfile.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsimage.h"
#include "snkins/vs/tvsini.h"
#include "snkins/vs/tvsskin.h"
#include "snkins/vs/tvsslider.h"

namespace {

QApplication* app;
QTemporaryDir* dir;

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

// A form with a surface, one control of each kind and an auto-save label, as the seeds name them.
struct Surface {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    TVsComposer* composer = new TVsComposer(form.get());
    TVsSkin* skin = new TVsSkin(form.get());

    Surface()
    {
        composer->Graphics()->LoadFromFile(dir->filePath(QStringLiteral("base.vsf")));
        skin->setObjectName(QStringLiteral("skin"));
        skin->BeginUpdate();
        skin->SetComposer(composer);
        skin->SetGraphicName(QStringLiteral("fondo.bmp"));
        auto* b = new TVsButton(skin);
        b->setObjectName(QStringLiteral("b1"));
        b->SetGraphicName(QStringLiteral("boton.bmp"));
        auto* s = new TVsSlider(skin);
        s->setObjectName(QStringLiteral("s1"));
        s->SetGraphicName(QStringLiteral("thumb.bmp"));
        auto* i = new TVsImage(skin);
        i->setObjectName(QStringLiteral("i1"));
        i->SetGraphicName(QStringLiteral("fondo.bmp"));
        auto* label = new QLabel(skin);
        label->setObjectName(QStringLiteral("lab"));
        skin->AutoSave() << QStringLiteral("lab") << QStringLiteral("nobody");
        skin->EndUpdate();
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // files are saved whole and synced: in memory that costs nothing
    const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
    dir = shm ? new QTemporaryDir(QStringLiteral("/dev/shm/fuzz_vsini-XXXXXX")) : new QTemporaryDir();
    qputenv("XDG_RUNTIME_DIR", dir->path().toUtf8());
    QFile::setPermissions(dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    app = new QApplication(*argc, *argv);
    QImage back(64, 48, QImage::Format_RGB32);
    back.fill(Qt::darkGray);
    QImage cells(50, 10, QImage::Format_RGB32);
    cells.fill(Qt::magenta);
    TVsGraphics graphics;
    TVsGraphic g;
    for (const auto& [name, image] : {std::pair{"fondo.bmp", back}, {"boton.bmp", cells}, {"thumb.bmp", cells}}) {
        g.SetName(QString::fromLatin1(name));
        g.SetBitmap(image);
        graphics.Add(&g);
        writeFile(dir->filePath(QString::fromLatin1(name)), encodeBmp(image));
    }
    graphics.SaveToFile(dir->filePath(QStringLiteral("base.vsf")));
    graphics.SaveToFile(dir->filePath(QStringLiteral("skin.vsf")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = dir->filePath(QStringLiteral("skin.ini"));
    writeFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    Surface surface;
    try {
        surface.skin->ReadSkin(path);
    } catch (const SkinError&) {
        return 0;
    }
    // paint what is small enough to paint: the surface and its controls, over any clip
    for (QWidget* w : surface.skin->findChildren<QWidget*>())
        if (w->width() <= 256 && w->height() <= 256) w->grab();
    if (surface.skin->width() <= 256 && surface.skin->height() <= 256) surface.skin->grab();
    const QString out = dir->filePath(QStringLiteral("out.ini"));
    surface.skin->WriteSkin(out, 1);
    const QByteArray first = fileBytes(out);
    Surface again;
    again.skin->ReadSkin(out);  // what was written always reads back
    again.skin->WriteSkin(out, 1);
    const QByteArray second = fileBytes(out);
    if (second != first) {
        std::fprintf(stderr, "first write:\n%s\nsecond write:\n%s\n", first.constData(), second.constData());
        std::abort();
    }
    return 0;
}
