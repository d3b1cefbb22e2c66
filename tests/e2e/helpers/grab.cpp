// e2e_grab OUT.png [X Y W H]: photographs the X screen (or the rectangle) into OUT.png, as the
// X server shows it.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: e2e_grab OUT.png [X Y W H]\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap px = argc == 6 ? screen->grabWindow(0, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                                                      std::atoi(argv[5]))
                                 : screen->grabWindow(0);
    return px.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
