// The one-time update check at start-up (descargarAct): fetches the update version file without
// blocking the UI thread (an asynchronous request, 5 s at most, 64 KiB at most), keeps a copy in
// the profile folder ("verfree.txt"), and when its first line names another version asks
// whether to download it; Yes opens the product's page. Line 1 of the file is the version, line
// 2 its date, further lines the release notes.
//
// The question waits until no modal dialog is open; at the end the browser grids get the focus
// and the main loop is switched on, unless a dialog holds it paused. An empty address makes no
// request; no answer, an error status, an over-long or malformed file end the check with no
// question. The request is an HTTP/1.0 GET on a socket of the UI thread (no thread of its own):
// http:// addresses only, a redirect or any status but 200 counts as no answer. UI thread only.
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QTcpSocket;
class QTimer;

class UpdateCheck : public QObject {
public:
    static constexpr int kTimeoutMs = 5000;
    static constexpr qint64 kMaxBytes = 64 * 1024;     // of the file
    static constexpr qint64 kMaxHeader = 16 * 1024;    // of the status line and headers
    static QString caption() { return QStringLiteral("New Update Available"); }
    static QString version() { return QStringLiteral("2.0.1"); }

    explicit UpdateCheck(QObject* parent = nullptr);
    ~UpdateCheck() override;

    QUrl address;        // the update version file; empty: no request
    QUrl productUrl;     // what Yes opens; empty: nothing
    QString destination; // the local copy (profile + "verfree.txt")
    int dialogPollMs = 250;

    // a modal dialog is open (the question waits; the main loop stays as it is)
    std::function<bool()> dialogOpen;
    // asks the question (caption, text); the answer comes later
    std::function<void(const QString& caption, const QString& text, std::function<void(bool yes)>)> ask;
    std::function<void(const QUrl&)> openUrl;
    // the end: the shown browser grids take the focus; the main loop on
    std::function<void()> focusGrids;
    std::function<void()> mainLoopOn;
    // told when the check is over (tests)
    std::function<void(bool asked)> done;

    // The question for a version file's bytes; none when it has fewer than two lines, is not
    // text, or names this version.
    static std::optional<QString> question(const QByteArray& file, const QString& current = version());

    // Starts the check once per run (checkeada); later calls do nothing.
    void descargarAct();
    bool checkeada() const { return checkeada_; }

private:
    void received();
    void finished();
    void fail();
    void answer(const std::optional<QString>& q);
    void end(bool asked);

    bool checkeada_ = false;
    QTcpSocket* socket_ = nullptr;
    QTimer* limit_ = nullptr;
    QByteArray reply_;  // status line, headers and body as received
    bool over_ = false; // the check has its outcome
    QTimer* poll_ = nullptr;
};
