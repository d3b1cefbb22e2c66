// The update check against an HTTP server of the test's own on 127.0.0.1, the downloader's
// launch through a recording launcher, and the default samples' first-run copy.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "mainwindow/logic/defaultsamples.h"
#include "mainwindow/logic/downloaderlaunch.h"
#include "mainwindow/logic/updatecheck.h"
#include "tests/mainwindow/surface/tinyhttp.h"

namespace {

// Runs the event loop until `cond` holds or `ms` pass (the check itself never waits).
template <class F>
bool until(F cond, int ms = 8000)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

struct CheckRig {
    QTemporaryDir dir;
    UpdateCheck check;
    QStringList questions;
    QList<QUrl> opened;
    bool yes = false, modal = false, finished = false, asked = false;
    int mainLoopOn = 0, focus = 0;
    CheckRig()
    {
        check.destination = dir.filePath(QStringLiteral("verfree.txt"));
        check.productUrl = QUrl(QStringLiteral("http://127.0.0.1:9/product"));
        check.dialogPollMs = 10;
        check.dialogOpen = [this] { return modal; };
        check.ask = [this](const QString& caption, const QString& text, std::function<void(bool)> answer) {
            EXPECT_EQ(caption, QStringLiteral("New Update Available"));
            questions << text;
            answer(yes);
        };
        check.openUrl = [this](const QUrl& u) { opened << u; };
        check.mainLoopOn = [this] { ++mainLoopOn; };
        check.focusGrids = [this] { ++focus; };
        check.done = [this](bool a) {
            finished = true;
            asked = a;
        };
    }
};

}  // namespace

TEST(UpdateCheck, QuestionFromTheVersionFile)
{
    EXPECT_EQ(UpdateCheck::question("2.1.0\n2026-12-01\n"),
              QStringLiteral("Version 2.1.0       Date: 2026-12-01\n\nDo you want to download ? "));
    EXPECT_EQ(UpdateCheck::question("2.1.0\r\n2026-12-01\r\nFaster loading\r\nNew skin"),
              QStringLiteral("Version 2.1.0       Date: 2026-12-01\nFaster loading\nNew skin\n\nDo you want to download ? "));
}

TEST(UpdateCheck, VersionCompare)
{
    EXPECT_FALSE(UpdateCheck::question("2.0.1\n2026-01-01\n"));
    // any other text counts, older, newer or with a trailing blank
    for (const char* v : {"2.0.1 ", "2.0.0", "3.0", "2.0.10"})
        EXPECT_TRUE(UpdateCheck::question(QByteArray(v) + "\ndate\n")) << v;
}

TEST(UpdateCheck, MalformedFilesAskNothing)
{
    for (const QByteArray& f : {QByteArray(), QByteArray("2.1.0"), QByteArray("2.1.0\n"), QByteArray("2.1\0\n2\n", 8),
                                QByteArray("\xff\xfe\x32\x00\n\x33\n"), QByteArray("2.1\x1b[2J\nd\n")})
        EXPECT_FALSE(UpdateCheck::question(f)) << f.toHex().constData();
}

TEST(UpdateCheck, AsksOverHttpAndYesOpensTheProductPage)
{
    TinyHttp http;
    http.body = "2.2.0\n2026-11-30\nNotes line\n";
    CheckRig r;
    r.yes = true;
    r.check.address = http.url();
    r.check.descargarAct();
    EXPECT_FALSE(r.finished);  // nothing waits in the call
    ASSERT_TRUE(until([&] { return r.finished; }));
    EXPECT_EQ(r.questions, QStringList({"Version 2.2.0       Date: 2026-11-30\nNotes line\n\nDo you want to download ? "}));
    EXPECT_EQ(r.opened, QList<QUrl>({r.check.productUrl}));
    EXPECT_TRUE(http.lastRequest.startsWith("GET /updates/verkorvanta.txt "));
    QFile copy(r.check.destination);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), http.body);
    EXPECT_EQ(r.mainLoopOn, 1);
    EXPECT_EQ(r.focus, 1);
    // once per run
    r.check.descargarAct();
    QCoreApplication::processEvents();
    EXPECT_EQ(http.requests, 1);
}

TEST(UpdateCheck, NoOpensNothingAndTheSameVersionAsksNothing)
{
    TinyHttp http;
    http.body = "2.3\nd\n";
    CheckRig r;
    r.check.address = http.url();
    r.check.descargarAct();
    ASSERT_TRUE(until([&] { return r.finished; }));
    EXPECT_EQ(r.questions.size(), 1);
    EXPECT_TRUE(r.opened.isEmpty());

    TinyHttp same;
    same.body = "2.0.1\nd\n";
    CheckRig s;
    s.check.address = same.url();
    s.check.descargarAct();
    ASSERT_TRUE(until([&] { return s.finished; }));
    EXPECT_TRUE(s.questions.isEmpty());
    EXPECT_EQ(s.mainLoopOn, 1);
}

TEST(UpdateCheck, FailurePathsAskNothing)
{
    struct Case {
        const char* what;
        QByteArray status, body;
        bool silent;
    } cases[] = {
        {"not found", "404 Not Found", "2.2\nd\n", false},
        {"moved", "301 Moved Permanently", "2.2\nd\n", false},
        {"one line", "200 OK", "2.2\n", false},
        {"too long", "200 OK", "2.2\nd\n" + QByteArray(UpdateCheck::kMaxBytes, 'x'), false},
        {"no answer", "200 OK", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TinyHttp http;
        http.status = c.status;
        http.body = c.body;
        http.silent = c.silent;
        CheckRig r;
        r.check.address = http.url();
        r.check.descargarAct();
        ASSERT_TRUE(until([&] { return r.finished; }, UpdateCheck::kTimeoutMs + 5000));
        EXPECT_TRUE(r.questions.isEmpty());
        EXPECT_EQ(r.mainLoopOn, 1);
    }
    // nobody listening
    quint16 port = 0;
    {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        port = s.serverPort();
    }
    CheckRig r;
    r.check.address = QUrl(QStringLiteral("http://127.0.0.1:%1/updates/verkorvanta.txt").arg(port));
    r.check.descargarAct();
    ASSERT_TRUE(until([&] { return r.finished; }));
    EXPECT_TRUE(r.questions.isEmpty());
}

TEST(UpdateCheck, NoRequestForAnEmptyAddress)
{
    TinyHttp http;
    CheckRig r;
    r.check.descargarAct();
    EXPECT_TRUE(r.finished);
    EXPECT_TRUE(r.questions.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(http.requests, 0);
    // nor does an empty product address open anything
    WebLinks links;
    QStringList opened;
    links.opener = [&](const QString& u) {
        opened << u;
        return true;
    };
    links.LFX1Click();
    EXPECT_FALSE(links.open(QString()));
    EXPECT_TRUE(opened.isEmpty());
    links.company = QStringLiteral("http://127.0.0.1:9/company");
    links.LFX1Click();
    EXPECT_EQ(opened, QStringList({"http://127.0.0.1:9/company"}));
}

TEST(UpdateCheck, WaitsForTheOpenDialogAndLeavesThePausedLoopAlone)
{
    // failure path while a dialog is open: no question, no main loop switched on
    {
        TinyHttp http;
        http.status = "500 Internal Server Error";
        CheckRig r;
        r.modal = true;
        r.check.address = http.url();
        r.check.descargarAct();
        ASSERT_TRUE(until([&] { return r.finished; }));
        EXPECT_EQ(r.mainLoopOn, 0);
        EXPECT_TRUE(r.questions.isEmpty());
    }
    // a question waits until the dialog closes
    TinyHttp http;
    http.body = "2.4\nd\n";
    CheckRig r;
    r.modal = true;
    r.check.address = http.url();
    r.check.descargarAct();
    ASSERT_TRUE(until([&] { return http.requests == 1; }));
    until([&] { return r.finished; }, 500);
    EXPECT_FALSE(r.finished);
    EXPECT_TRUE(r.questions.isEmpty());
    EXPECT_EQ(r.mainLoopOn, 0);
    r.modal = false;
    ASSERT_TRUE(until([&] { return r.finished; }));
    EXPECT_EQ(r.questions.size(), 1);
    EXPECT_EQ(r.mainLoopOn, 1);
}

TEST(DownloaderLaunch, StartsOstrelvidWithItsOneArgument)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ostrelvid"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    QStringList started;
    DownloaderLaunch d;
    d.folder = dir.path();
    d.launcher = [&](const QString& program, const QStringList& args) {
        started << program << args;
        return true;
    };
    // not executable yet
    EXPECT_TRUE(d.launch().contains(QStringLiteral("not executable")));
    EXPECT_TRUE(started.isEmpty());
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    EXPECT_EQ(d.launch(), QString());
    EXPECT_EQ(started, QStringList({file, "OSTREL_KORVANTA"}));
    // a launcher that fails says so
    d.launcher = [](const QString&, const QStringList&) { return false; };
    EXPECT_FALSE(d.launch().isEmpty());
}

TEST(DownloaderLaunch, MissingFileGivesItsMessage)
{
    QTemporaryDir dir;
    DownloaderLaunch d;
    d.folder = dir.path();
    bool called = false;
    d.launcher = [&](const QString&, const QStringList&) { return called = true; };
    const QString m = d.launch();
    EXPECT_EQ(m, QStringLiteral("The downloader %1 is missing.  ").arg(dir.filePath(QStringLiteral("ostrelvid"))));
    EXPECT_FALSE(called);
}

TEST(DownloaderLaunch, TheRealLauncherStartsADetachedProgram)
{
    QTemporaryDir dir;
    const QString mark = dir.filePath(QStringLiteral("started"));
    const QString file = dir.filePath(QStringLiteral("ostrelvid"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\necho \"$#:$1\" > '%1'\n").arg(mark).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    DownloaderLaunch d;
    d.folder = dir.path();
    ASSERT_EQ(d.launch(), QString());
    ASSERT_TRUE(until([&] { return QFile::exists(mark) && QFileInfo(mark).size() > 0; }));
    QFile m(mark);
    ASSERT_TRUE(m.open(QIODevice::ReadOnly));
    EXPECT_EQ(m.readAll(), "1:OSTREL_KORVANTA\n");
}

TEST(SamplerDefaultSamples, CopiedAtTheFirstRunAndAnExistingFileKept)
{
    QTemporaryDir dir;
    const QString samples = dir.filePath(QStringLiteral("Samples"));
    QDir().mkpath(samples);
    {
        QFile mine(QDir(samples).filePath(QStringLiteral("POLICE.mp3")));
        ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
    }
    EXPECT_EQ(DefaultSamples::copyInto(samples), 5);
    for (const QString& n : DefaultSamples::names()) {
        const QString f = QDir(samples).filePath(n);
        ASSERT_TRUE(QFile::exists(f)) << n.toStdString();
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray b = file.readAll();
        if (n == QLatin1String("POLICE.mp3")) {
            EXPECT_EQ(b, "mine");
        } else {
            // an MPEG audio file of our own making, writable by the user
            EXPECT_GT(b.size(), 10000);
            EXPECT_TRUE(b.startsWith("ID3") || (uchar(b[0]) == 0xFF && (uchar(b[1]) & 0xE0) == 0xE0)) << n.toStdString();
            EXPECT_TRUE(file.permissions() & QFileDevice::WriteOwner);
        }
    }
    // a second run copies nothing
    EXPECT_EQ(DefaultSamples::copyInto(samples), 0);
}
