// Build step of the surface tests: two small stored images and the Qt resource list that
// puts them under the program's raw-data resources, one by name, one by number.
// Usage: dib_resourceimages FOLDER
#include <cstdio>

#include <QDir>
#include <QFile>

#include "engine/dib/tdibultra.h"
#include "tests/engine/dib/resourceimages.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dib_resourceimages FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));
    TDIBUltra named(resourceimages::kNamedW, resourceimages::kNamedH, DUpf24);
    TDIBUltra numbered(resourceimages::kNumberedW, resourceimages::kNumberedH, DUpf24);
    for (TDIBUltra* d : {&named, &numbered})
        for (int y = 0; y < d->DIBHeight; ++y)
            for (int x = 0; x < d->DIBWidth; ++x)
                d->DirectPlot(x, y, resourceimages::Pixel(d == &numbered, x, y));
    named.SaveToFile(dir.filePath(QStringLiteral("named.dib")), DUsmDIBUltra, DUpf24);
    numbered.SaveToFile(dir.filePath(QStringLiteral("numbered.dib")), DUsmDIBUltra, DUpf24);
    QFile qrc(dir.filePath(QStringLiteral("dibtest.qrc")));
    if (!qrc.open(QIODevice::WriteOnly)) return 1;
    qrc.write(QStringLiteral("<RCC><qresource prefix=\"/RCDATA\">\n"
                             "<file alias=\"%1\">named.dib</file>\n"
                             "<file alias=\"#%2\">numbered.dib</file>\n"
                             "</qresource></RCC>\n")
                  .arg(QLatin1String(resourceimages::kName))
                  .arg(resourceimages::kNumber)
                  .toUtf8());
    return 0;
}
