// kit_gallery OUT.png: draws every registered row of controls into one PNG.
#include "tests/snkins/gallery/kitgallery.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QMap>
#include <QPainter>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QMap<QPair<int, QString>, GalleryFn>& rows()
{
    static QMap<QPair<int, QString>, GalleryFn> r;
    return r;
}

constexpr int kMargin = 16, kGap = 14, kTitle = 22, kCaption = 18;
const QColor kBack(0x18, 0x18, 0x18), kWindow(0x21, 0x21, 0x21), kText(0xDD, 0xDD, 0xDD), kDim(0xA0, 0xA0, 0xA0);

}  // namespace

GalleryRegistrar::GalleryRegistrar(int order, const char* name, GalleryFn fn)
{
    rows().insert({order, QString::fromLatin1(name)}, fn);
}

QWidget* onPanel(QWidget* control, bool pattern)
{
    auto* panel = new QWidget;
    panel->resize(control->size());
    QPalette pal = panel->palette();
    if (pattern) {
        QImage stripes(16, 16, QImage::Format_RGB32);
        stripes.fill(kWindow);
        QPainter p(&stripes);
        p.fillRect(0, 0, 8, 16, QColor(0x2E, 0x2E, 0x2E));
        pal.setBrush(QPalette::Window, QBrush(stripes));
    } else {
        pal.setColor(QPalette::Window, kWindow);
    }
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
    control->setParent(panel);
    control->move(0, 0);
    return panel;
}

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toUtf8() + "/ostrel-kit-gallery-" + QByteArray::number(getuid());
        mkdir(dir.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kit_gallery OUT.png\n");
        return 2;
    }
    const int id = QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    if (id >= 0) {
        QFont f(QFontDatabase::applicationFontFamilies(id).value(0));
        f.setPixelSize(12);
        QApplication::setFont(f);
    }

    struct Row {
        QString title;
        GalleryRow row;
        QList<QImage> shots;
        int height = 0;
    };
    std::vector<Row> built;
    int width = 0, height = kMargin;
    for (auto it = rows().cbegin(); it != rows().cend(); ++it) {
        Row r;
        r.title = it.key().second;
        it.value()(r.row);
        int w = kMargin;
        for (auto& item : r.row.items) {
            QImage shot = item.widget->grab().toImage();
            if (item.zoom > 1) shot = shot.scaled(shot.size() * item.zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            r.shots << shot;
            w += std::max(shot.width(), 90) + kGap;
            r.height = std::max(r.height, shot.height());
        }
        width = std::max(width, w + kMargin);
        height += kTitle + r.height + kCaption + kGap;
        built.push_back(std::move(r));
    }

    QImage out(width, height + kMargin, QImage::Format_RGB32);
    out.fill(kBack);
    QPainter p(&out);
    int y = kMargin;
    for (const Row& r : built) {
        p.setPen(kText);
        QFont bold = QApplication::font();
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(kMargin, y + 14, r.title);
        p.setFont(QApplication::font());
        y += kTitle;
        int x = kMargin;
        for (int i = 0; i < r.shots.size(); ++i) {
            const QImage& shot = r.shots[i];
            const int cell = std::max(shot.width(), 90);
            p.drawImage(x + (cell - shot.width()) / 2, y, shot);
            p.setPen(kDim);
            p.drawText(QRect(x - kGap / 2, y + r.height + 2, cell + kGap, kCaption), Qt::AlignHCenter | Qt::AlignTop,
                       r.row.items[size_t(i)].caption);
            x += cell + kGap;
        }
        y += r.height + kCaption + kGap;
    }
    p.end();
    QDir().mkpath(QFileInfo(QString::fromLocal8Bit(argv[1])).absolutePath());
    if (!out.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "kit_gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
