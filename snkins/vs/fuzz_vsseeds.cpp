// Writes the first corpora of the skin fuzz targets: packs into the first folder given
// (empty, named and unnamed entries, empty bitmaps, BMPs of several pixel formats), skin
// description files into the second (one written by a surface, and hand-made variants).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>

#include "snkins/colorref.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsimage.h"
#include "snkins/vs/tvsskin.h"
#include "snkins/vs/tvsslider.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

QImage picture(int w, int h, QImage::Format format)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QPainter p(&img);
    p.fillRect(1, 1, w - 2, h - 2, Qt::darkCyan);
    p.end();
    return img.convertToFormat(format);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    const QDir packs(QString::fromLocal8Bit(argv[1])), inis(QString::fromLocal8Bit(argv[2]));

    TVsGraphics list;
    TVsGraphic g;
    list.SaveToFile(packs.filePath(QStringLiteral("empty.vsf")));
    int n = 0;
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_Indexed8, QImage::Format_Mono, QImage::Format_ARGB32}) {
        g.SetName(QStringLiteral("pic%1.bmp").arg(n++));
        g.SetBitmap(picture(7, 3, f));
        list.Add(&g);
    }
    g.SetName(QString());
    g.SetBitmap(QImage());
    list.Add(&g);
    list.SaveToFile(packs.filePath(QStringLiteral("mixed.vsf")));

    QWidget form;
    TVsComposer composer(&form);
    TVsSkin skin(&form);
    skin.setObjectName(QStringLiteral("skin"));
    skin.SetMaskColor(clFuchsia);
    skin.SetHint(QStringLiteral("the surface"));
    auto* b = new TVsButton(&skin);
    b->setObjectName(QStringLiteral("b1"));
    b->ClipRect()->SetBounds(0, 0, 50, 10);
    b->SetMaskColor(clFuchsia);
    b->SetShowHint(true);
    auto* s = new TVsSlider(&skin);
    s->setObjectName(QStringLiteral("s1"));
    s->SetDirection(sdVert);
    s->ClipRect()->SetBounds(0, 0, 20, 10);
    auto* i = new TVsImage(&skin);
    i->setObjectName(QStringLiteral("i1"));
    auto* label = new QLabel(&skin);
    label->setObjectName(QStringLiteral("lab"));
    skin.AutoSave() << QStringLiteral("lab");
    skin.WriteSkin(inis.filePath(QStringLiteral("written.ini")), 1);
    QFile::remove(inis.filePath(QStringLiteral("written.vsf")));
    writeFile(inis.filePath(QStringLiteral("folder.ini")),
              "[Defaults]\nMode=0\n[skin]\nMaskColor=255,0,255\n[b1]\nRect=1,2,3,4\nClipRect=0,0,50,10\n");
    writeFile(inis.filePath(QStringLiteral("odd.ini")),
              "; comment\n[DEFAULTS]\nmode = 1\n[S1]\nDirection=1\nClipRect=0,0,20\n[lab]\nFont=Tahoma,10\n"
              "Color=300,0,0\nFontColor=\n");
    return 0;
}
