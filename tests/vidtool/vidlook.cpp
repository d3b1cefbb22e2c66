// vid_look OSTRELVID OUT.png: starts ostrelvid by itself on the X server, with a private HOME,
// TMPDIR and XDG_RUNTIME_DIR (mode 0700), photographs the whole screen into OUT.png and checks
// what it shows: the window centred on the screen in its own colour, the logo's accent, nothing
// on the program's standard error; then a second start ends at once and leaves the first
// running. Exit 0 when all hold. Run under xvfb-run -a with QT_QPA_PLATFORM=xcb.
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "tests/support/privatefolders.h"

namespace {

int fails = 0;

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "vid_look: %s\n", what);
        ++fails;
    }
}

// The box of the pixels that have the window's colours, or an empty rectangle.
QRect windowBox(const QImage& shot)
{
    QRect box;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2) {
            const QRgb c = shot.pixel(x, y) & 0xFFFFFF;
            if (c == 0x202020 || c == 0x212121) box |= QRect(x, y, 1, 1);
        }
    return box;
}

bool hasColourNear(const QImage& shot, const QRect& area, QRgb target, int tolerance)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!shot.rect().contains(x, y)) continue;
            const QRgb c = shot.pixel(x, y);
            if (qAbs(qRed(c) - qRed(target)) <= tolerance && qAbs(qGreen(c) - qGreen(target)) <= tolerance &&
                qAbs(qBlue(c) - qBlue(target)) <= tolerance)
                return true;
        }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: vid_look OSTRELVID OUT.png\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);

    QTemporaryDir root;
    testsupport::makePrivateFolders(root.path());
    QProcessEnvironment env = testsupport::privateEnvironment(root.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // the first start with no Downloads folder opens the folder dialog; the window alone is
    // what is photographed
    QDir().mkpath(root.path() + QStringLiteral("/home/Documents/OSTREL_KORVANTA/Downloads"));

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {QStringLiteral("OSTREL_KORVANTA")});
    check(first.waitForStarted(5000), "ostrelvid did not start");

    QScreen* screen = QGuiApplication::primaryScreen();
    QImage shot;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15000) {
        QTest::qWait(200);
        shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        const QRect box = windowBox(shot);
        if (box.width() > 900 && box.height() > 380) break;
    }
    QTest::qWait(500);  // the first paint of every control
    shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    QDir().mkpath(QFileInfo(out).path());
    check(shot.save(out), "cannot write the picture");

    const QRect box = windowBox(shot);
    check(box.width() >= 990 && box.width() <= 1004 && box.height() >= 410 && box.height() <= 426,
          "the window is not 1000 x 422");
    const QPoint centre = shot.rect().center() - box.center();
    check(qAbs(centre.x()) <= 4 && qAbs(centre.y()) <= 40, "the window is not centred");
    // the logo's accent and the banner's deck colours, at their places
    check(hasColourNear(shot, QRect(box.topLeft() + QPoint(24, 6), QSize(143, 48)), qRgb(0xEE, 0xAB, 0x12), 12),
          "no logo");
    check(hasColourNear(shot, QRect(box.topLeft() + QPoint(24, 350), QSize(433, 66)), qRgb(0x8A, 0xCE, 0x1B), 16),
          "no banner");

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {QStringLiteral("OSTREL_KORVANTA")});
    check(second.waitForFinished(8000), "a second start did not end");
    check(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0, "a second start failed");
    check(first.state() == QProcess::Running, "the first copy ended");

    first.terminate();
    first.waitForFinished(5000);
    const QByteArray errors = first.readAllStandardError() + second.readAllStandardError();
    if (!errors.isEmpty()) std::fprintf(stderr, "vid_look: standard error:\n%s\n", errors.constData());
    check(errors.isEmpty(), "ostrelvid wrote to its standard error");
    std::printf("vid_look: %s\n", qPrintable(out));
    return fails == 0 ? 0 : 1;
}
