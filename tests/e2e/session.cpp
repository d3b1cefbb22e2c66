#include "tests/e2e/session.h"

#include "tests/e2e/groove.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/support/jackserver.h"
#include "tests/support/alsafilepcms.h"
#include "tests/support/privatefolders.h"

namespace e2e {

QString Paths::program() { return QStringLiteral(OSTREL_E2E_PROGRAM); }
QString Paths::helper(const char* name) { return QStringLiteral(OSTREL_E2E_HELPERS "/") + QLatin1String(name); }
QString Paths::form() { return source(QStringLiteral("mainwindow/form/tform1.skn")); }
QString Paths::source(const QString& relative) { return QStringLiteral(OSTREL_SOURCE_DIR "/") + relative; }
QString Paths::build(const QString& relative) { return QStringLiteral(OSTREL_TEST_BIN_DIR "/") + relative; }

bool landed(const QString& file, const QString& stub)
{
    QFile f(Paths::source(file));
    if (!f.open(QIODevice::ReadOnly)) return false;
    return !QString::fromUtf8(f.readAll()).contains(stub);
}

bool mentioned(const QString& folder, const QString& text)
{
    if (QFileInfo(Paths::source(folder)).isFile()) {
        QFile f(Paths::source(folder));
        return f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(text);
    }
    QDirIterator it(Paths::source(folder), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(text)) return true;
    }
    return false;
}

Session::Session(const QString& name, bool jack) : name_(name), jack_(jack)
{
#ifdef OSTREL_E2E_TSAN
    // our helpers (the grab, the drag source, the clients) are instrumented too, but what they
    // race on is Qt's and JACK's business, not the program's: they keep quiet, the program not
    setenv("TSAN_OPTIONS", "report_bugs=0", 1);
#endif
    artifacts_ = Paths::build(QStringLiteral("artifacts/") + name);
    QDir(artifacts_).removeRecursively();
    QDir().mkpath(artifacts_);
    // short paths: the one-copy socket lives in XDG_RUNTIME_DIR
    std::string pattern = "/tmp/ostrel-e2e-XXXXXX";
    if (char* made = mkdtemp(pattern.data())) root_ = QString::fromLocal8Bit(made);
    QFile::setPermissions(root_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    testsupport::makePrivateFolders(root_);
    home_ = root_ + QStringLiteral("/home");
    QDir().mkpath(profile() + QStringLiteral("/devices"));
    // only "default": the first device the program lists, whatever order the names take; it
    // takes its sound at a card's pace, or a deck would run through its track at once
    if (!jack_)
        alsa_ = std::make_unique<AlsaFilePcms>(QStringList{}, 2, AlsaFilePcms::Capture::Null,
                                               AlsaFilePcms::Pacing::WallClock, kRate);
    places_ = std::make_unique<Places>(Paths::form());
}

Session::~Session()
{
    finish();
    if (!root_.isEmpty()) QDir(root_).removeRecursively();
}

bool Session::startJackClients()
{
    server_ = std::make_unique<JackServer>();
    if (!server_->start()) {
        error_ = QStringLiteral("the JACK dummy server did not start");
        return false;
    }
    capture_ = std::make_unique<Child>();
    bare_ = std::make_unique<Child>();
    midi_ = std::make_unique<Child>();
    const QString cap = artifacts_ + QStringLiteral("/capture.f32");
    if (!capture_->start(Paths::helper("e2e_jackcapture"),
                         {"--name", "e2e_capture", "--from", "ostrelkorvanta", "--out", cap, "--ports", "4"}, {},
                         artifacts_ + QStringLiteral("/capture.stderr")) ||
        capture_->waitLine("ready", 10000).empty()) {
        error_ = QStringLiteral("step 'capture client': it did not report ready within 10 s");
        return false;
    }
    if (!bare_->start(Paths::helper("e2e_jackcapture"), {"--name", "e2e_bare", "--bare"}) ||
        bare_->waitLine("ready", 10000).empty()) {
        error_ = QStringLiteral("step 'bare peer': it did not report ready within 10 s");
        return false;
    }
    if (!midi_->start(Paths::helper("e2e_midisend"), {"--name", "e2e_midi"}) || midi_->waitLine("ready", 10000).empty()) {
        error_ = QStringLiteral("step 'MIDI sender': it did not report ready within 10 s");
        return false;
    }
    return true;
}

bool Session::startProgram(int timeoutMs)
{
    QProcessEnvironment env = testsupport::privateEnvironment(root_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1"));
    env.insert(QStringLiteral("OSTREL_STATS"), QStringLiteral("1"));
#ifdef OSTREL_E2E_TSAN
    // the program reports what it races on; Qt's and JACK's own hand-overs are not its. Qt's
    // libraries carry no symbols here, so a race wholly inside them cannot be suppressed by
    // name: the standard-error check tells those apart, and the exit code stays the program's
    env.insert(QStringLiteral("TSAN_OPTIONS"), QStringLiteral("second_deadlock_stack=1 exitcode=0 suppressions=") +
                                                   Paths::source(QStringLiteral("tests/e2e/tsan-program.supp")));
#endif
    std::vector<std::string> e;
    for (const QString& kv : env.toStringList()) e.push_back(kv.toStdString());
    if (!program_.start(Paths::program(), {}, e, artifacts_ + QStringLiteral("/program.stderr"))) {
        error_ = QStringLiteral("step 'start': ") + Paths::program() + QStringLiteral(" did not start");
        return false;
    }
    window_ = waitWindow(program_.pid(), QStringLiteral("^OSTRELKORVANTA v2.0$"), timeoutMs, 1000);
    if (window_.isEmpty()) {
        error_ = QStringLiteral("step 'start': no main window within %1 s").arg(timeoutMs / 1000);
        return false;
    }
    refreshGeometry();
    return true;
}

QRect Session::refreshGeometry()
{
    const QRect g = settledGeometry(window_);
    places_->setWindow(g);
    return g;
}

QImage Session::shot(const QString& name)
{
    const QString path = artifacts_ + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!grab(Paths::helper("e2e_grab"), path)) return {};
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

bool Session::waitChanged(const QImage& before, const QString& control, double share, int timeoutMs, QImage* after)
{
    return waitChanged(before, places_->rect(control), share, timeoutMs, after);
}

bool Session::waitChanged(const QImage& before, const QRect& area, double share, int timeoutMs, QImage* after)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int n = 0;
    while (std::chrono::steady_clock::now() < end) {
        const QString path = artifacts_ + QStringLiteral("/.wait.png");
        if (grab(Paths::helper("e2e_grab"), path)) {
            const QImage now = QImage(path).convertToFormat(QImage::Format_RGB32);
            // the last photograph is handed back either way: a failed wait shows what was there
            if (after) *after = now;
            if (Places::changed(before, now, area) >= share) {
                QFile::remove(path);
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ++n;
    }
    QFile::remove(artifacts_ + QStringLiteral("/.wait.png"));
    return false;
}

bool Session::dropFile(const QString& file, QPoint at, QString* why)
{
    Child source;
    if (!source.start(Paths::helper("e2e_dragsource"), {file}, {}, artifacts_ + QStringLiteral("/dragsource.stderr")) ||
        source.waitLine("shown", 10000).empty()) {
        *why = QStringLiteral("step 'drop': the drag source did not show within 10 s");
        return false;
    }
    const QString w = waitWindow(source.pid(), QStringLiteral("^e2e drag source$"), 10000);
    if (w.isEmpty()) {
        *why = QStringLiteral("step 'drop': the drag source's window was not found within 10 s");
        return false;
    }
    const QRect g = windowGeometry(w);
    drag(g.center(), at);
    const std::string line = source.waitLine("ed", 10000);  // "dropped N" or "cancelled"
    source.wait(6000);
    if (line.rfind("dropped", 0) != 0) {
        *why = QStringLiteral("step 'drop': the drag ended with '%1'").arg(QString::fromStdString(line));
        return false;
    }
    return true;
}

int64_t Session::framesHeard() const
{
    return QFileInfo(artifacts_ + QStringLiteral("/capture.f32")).size() / int64_t(4 * sizeof(float));
}

std::vector<float> Session::captured(int64_t fromFrame) const
{
    QFile f(artifacts_ + QStringLiteral("/capture.f32"));
    std::vector<float> v;
    if (!f.open(QIODevice::ReadOnly) || !f.seek(fromFrame * 4 * qint64(sizeof(float)))) return v;
    const QByteArray b = f.readAll();
    v.resize(size_t(b.size()) / sizeof(float) / 4 * 4);
    std::memcpy(v.data(), b.constData(), v.size() * sizeof(float));
    return v;
}

Spans Session::xrunSpans() const
{
    Spans s;
    QFile f(artifacts_ + QStringLiteral("/capture.f32.xruns"));
    if (!f.open(QIODevice::ReadOnly)) return s;
    for (const QByteArray& line : f.readAll().split('\n')) {
        bool ok = false;
        const qint64 at = line.trimmed().split(' ').value(0).toLongLong(&ok);
        if (ok) s.push_back({at - 2048, at + 2048});
    }
    return s;
}

Spans Session::stallSpans(double minMs) const
{
    Spans s;
    QFile f(artifacts_ + QStringLiteral("/capture.f32.late"));
    if (!f.open(QIODevice::ReadOnly)) return s;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> v = line.simplified().split(' ');  // frame, ms, gap ms
        bool ok = false;
        const qint64 at = v.value(0).toLongLong(&ok);
        const double gap = v.value(2).toDouble();
        if (!ok || gap < minMs) continue;
        const qint64 reach = qint64(gap * 44.1) + 2048;
        s.push_back({at - reach, at + reach});
    }
    return s;
}

void Session::finish()
{
    if (finished_) return;
    finished_ = true;
    if (program_.running()) program_.stop(5000);
    for (Child* c : {capture_.get(), bare_.get(), midi_.get()}) {
        if (!c) continue;
        c->closeInput();
        c->stop(3000);
    }
    const QString db = profile() + QStringLiteral("/korvanta.db");
    QFile::remove(databaseCopy());
    if (QFileInfo::exists(db)) QFile::copy(db, databaseCopy());
    // the write-ahead log holds what the file may not yet
    for (const char* ext : {"-wal", "-shm"})
        if (QFileInfo::exists(db + QLatin1String(ext))) {
            QFile::remove(databaseCopy() + QLatin1String(ext));
            QFile::copy(db + QLatin1String(ext), databaseCopy() + QLatin1String(ext));
        }
    if (server_) server_->stop();
}

QString Session::stderrText() const
{
    QFile f(artifacts_ + QStringLiteral("/program.stderr"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace e2e
