// Entry point of ostrelvid, the downloader that ostrelkorvanta starts (with the argument
// "OSTREL_KORVANTA", which is not read). One copy runs per user and profile folder: a second
// start brings the first one's window forward and ends.
#include <QApplication>

#include "engine/ostrelli.h"
#include "platform/sys/singleinstance.h"
#include "snkins/quor/korvantastyle.h"
#include "vidtool/tdownload.h"
#include "vidtool/videoengine.h"

#ifndef OSTREL_PRODUCT_URL
#define OSTREL_PRODUCT_URL ""
#endif

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ostrelvid"));
    QApplication::setApplicationDisplayName(QStringLiteral("OSTREL Clipwell"));
    const QString profile = GetUserProfile();

    SingleInstance instance(QStringLiteral("ostrelvid"), profile);
    if (instance.claim() == SingleInstance::Claim::Signalled) return 0;

    ApplyKorvantaStyle(app);
    tdownload window(profile, VideoEngine::find(profile), QStringLiteral(OSTREL_PRODUCT_URL));
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    return app.exec();
}
