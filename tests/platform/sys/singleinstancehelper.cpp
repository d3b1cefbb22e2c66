// singleinstance_helper PROFILE [stay]: claims the one running copy of "ostrel_probe" for
// PROFILE and prints "first" or "signalled". The first copy then waits (20 s at most) for a
// later start and prints "raised" when one asks it to come forward; it ends there, or with
// "stay" it goes on waiting.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "platform/sys/singleinstance.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    SingleInstance instance(QStringLiteral("ostrel_probe"), QString::fromLocal8Bit(argv[1]));
    if (instance.claim() == SingleInstance::Claim::Signalled) {
        std::printf("signalled\n");
        return 0;
    }
    std::printf("first\n");
    std::fflush(stdout);
    const bool stay = argc > 2 && QByteArray(argv[2]) == "stay";
    QObject::connect(&instance, &SingleInstance::raiseRequested, [stay] {
        std::printf("raised\n");
        std::fflush(stdout);
        if (!stay) QCoreApplication::exit(0);
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });
    return app.exec();
}
