// The form's preview, until the main window exists: the whole form with every control in its
// start state, one deck view and one width, shown as the program shows its window (frameless,
// shaped, at the top of the work area, centred).
//
//   ostrel_formpreview [--view Extended|Essential|Minimal] [--width 1024|1280]
//                      [--shot file.png [--check]] [--meters-off]
// With --shot it photographs the screen where the window is, writes the PNG and ends; with
// --check it also fails when the photograph shows fuchsia or the window's rounded corner
// uncut.
#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "mainwindow/form/formbuilder.h"
#include "snkins/vs/skinerror.h"

int main(int argc, char** argv)
{
    // the shaped window and its placement need X11 (XWayland under Wayland)
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QCommandLineParser args;
    args.addOption({QStringLiteral("view"), QStringLiteral("deck view"), QStringLiteral("name"), QStringLiteral("Extended")});
    args.addOption({QStringLiteral("width"), QStringLiteral("window width"), QStringLiteral("pixels"), QStringLiteral("1024")});
    args.addOption({QStringLiteral("shot"), QStringLiteral("write a screenshot and end"), QStringLiteral("file")});
    args.addOption({QStringLiteral("meters-off"), QStringLiteral("the needle meters disabled")});
    args.addOption({QStringLiteral("check"), QStringLiteral("check the screenshot")});
    args.process(app);

    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int width = std::min(args.value(QStringLiteral("width")).toInt(), screen.width() < 1024 ? 1024 : screen.width());

    QWidget window;
    try {
        FormBuilder form(&window);
        form.build(width, work.height());
        form.applyView(args.value(QStringLiteral("view")), !args.isSet(QStringLiteral("meters-off")));
        // the browser: the Explorer alone, as at start (the window's panel layout does this)
        if (QWidget* todo = form.control(QStringLiteral("todo")))
            if (QWidget* explorer = form.control(QStringLiteral("explorer")))
                explorer->setGeometry(0, 0, todo->width() - 5, todo->height() - 5);
        const int left = form.wide() ? std::max(0, (screen.width() - 1280) / 2) : (screen.width() - 1024) / 2;
        window.move(left, work.top());
        window.show();
        const QString shot = args.value(QStringLiteral("shot"));
        if (!shot.isEmpty()) {
            // the window is mapped and painted within a few hundred milliseconds; the shot is
            // what the screen shows there, the window's shape included
            const bool check = args.isSet(QStringLiteral("check"));
            QTimer::singleShot(1500, &window, [&window, shot, check] {
                const QRect g = window.frameGeometry();
                const QPixmap px = QGuiApplication::primaryScreen()->grabWindow(0, g.x(), g.y(), g.width(), g.height());
                bool ok = px.save(shot, "PNG");
                std::fprintf(stderr, "%s %s (%dx%d)\n", ok ? "wrote" : "could not write", qPrintable(shot), px.width(),
                             px.height());
                if (check) {
                    const QImage img = px.toImage().convertToFormat(QImage::Format_RGB32);
                    int fuchsia = 0;
                    for (int y = 0; y < img.height(); ++y)
                        for (int x = 0; x < img.width(); ++x) fuchsia += (img.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
                    const bool corner = img.pixelColor(0, 0) != img.pixelColor(8, 0);
                    std::fprintf(stderr, "fuchsia pixels on the screen: %d; rounded corner cut: %s\n", fuchsia,
                                 corner ? "yes" : "no");
                    ok = ok && fuchsia == 0 && corner;
                }
                QCoreApplication::exit(ok ? 0 : 1);
            });
        }
        return app.exec();
    } catch (const SkinError& e) {
        std::fprintf(stderr, "ostrel_formpreview: %s\n", qPrintable(e.message()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ostrel_formpreview: %s\n", e.what());
    }
    return 1;
}
