// Entry point of ostrelkorvanta: one running copy per user and profile folder, the Korvanta
// style, the splash, then the main window (which shows itself when its start-up ends).
#include <cstdio>

#include "engine/ostrelli.h"
#include "mainwindow/ostrelapplication.h"
#include "mainwindow/tform1.h"
#include "mainwindow/views/splashlink.h"
#include "platform/sys/singleinstance.h"
#include "snkins/dialogs/tsplashform.h"
#include "snkins/quor/korvantastyle.h"
#include "snkins/vs/skinerror.h"

int main(int argc, char** argv)
{
    // the shaped frameless window, its placement and raising the first copy need X11 (XWayland
    // under a Wayland session)
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    OstrelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ostrelkorvanta"));

    SingleInstance instance(QStringLiteral("ostrelkorvanta"), GetUserProfile());
    if (instance.claim() == SingleInstance::Claim::Signalled) return 0;

    ApplyKorvantaStyle(app);
    splashform = new Tsplashform();
    splashform->show();
    splashform->repaint();
    SplashLink splash(splashform);

    try {
        Tform1::Options options;
        options.splash = &splash;
        options.listAfterShow = true;
        Tform1 form1(options);
        QObject::connect(&instance, &SingleInstance::raiseRequested, &form1, &Tform1::restoreAndRaise);
        const int code = app.exec();
        // With OSTREL_STATS set, one line on stderr at exit:
        //   ostrelkorvanta stats: ui stall ms (max): S, jack late callbacks: L (xruns: X, late starts: T)
        // S: the longest the UI thread kept its 10 ms timer waiting beyond its interval, from the
        // first activation to the close question, in ms with one decimal ("-" when not measured).
        // L = X + T: the xruns JACK reported to our clients and the callbacks that began more
        // than one and a half periods after the one before, over the whole run.
        if (const QString stats = form1.statsLine(); !stats.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(stats));
        delete splashform;
        splashform = nullptr;
        return code;
    } catch (const SkinError& e) {
        std::fprintf(stderr, "ostrelkorvanta: %s\n", qPrintable(e.message()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ostrelkorvanta: %s\n", e.what());
    }
    return 1;
}
