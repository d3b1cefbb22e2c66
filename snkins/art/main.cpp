// ostrel_artgen SET OUTDIR [INPUT...]: draws every picture of SET into OUTDIR/files and writes
// OUTDIR/SET.qrc. Runs on the offscreen platform; needs no display.
#include "snkins/art/artgen.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // a private runtime folder, so that Qt has one and says nothing about it
        const char* tmp = std::getenv("TMPDIR");
        std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/ostrel-artgen-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: ostrel_artgen SET OUTDIR [INPUT...]\n");
        return 2;
    }
    return runArtSet(args.at(1), args.at(2), args.mid(3));
}
