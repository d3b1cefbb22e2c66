// One run of the whole program for the end-to-end test: the private folders, the JACK dummy
// server, our JACK clients (the capture, the bare peer, the MIDI sender), the program started
// on the X server the test runs on, and the folder in the build tree where a run leaves what it
// saw (screenshots, captures, standard error, the database).
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/child.h"
#include "tests/e2e/desk.h"
#include "tests/e2e/soundchecks.h"

class JackServer;
class AlsaFilePcms;

namespace e2e {

// Where the built programs and the sources are (set by CMake).
struct Paths {
    static QString program();
    static QString helper(const char* name);  // e2e_jackcapture, e2e_midisend, e2e_dragsource, e2e_grab
    static QString form();
    static QString source(const QString& relative);
    static QString build(const QString& relative);
};

// Whether a part of the program stands in the sources this test was built from: `file` (from
// the source root) exists and does not hold `stub` (the empty body it has until the part
// lands). A step whose part is missing is skipped with the part's name.
bool landed(const QString& file, const QString& stub);
// `text` appears in some source file under `folder` (or in `folder`, a file).
bool mentioned(const QString& folder, const QString& text);

class Session {
public:
    // `name` names the artifact folder (build/tests/e2e/artifacts/<name>); with `jack` a dummy
    // server and our clients, else ALSA file PCMs (`alsaNames`).
    Session(const QString& name, bool jack);
    ~Session();

    QString artifacts() const { return artifacts_; }
    QString profile() const { return home_ + QStringLiteral("/Documents/OSTREL_KORVANTA"); }
    QString home() const { return home_; }
    QString error() const { return error_; }

    // the clients; false with error() set
    bool startJackClients();
    // The program, on the X server, with the private folders; waits for its main window.
    bool startProgram(int timeoutMs = 90000);
    Child& program() { return program_; }
    Child* capture() { return capture_.get(); }
    Child* bare() { return bare_.get(); }
    Child* midi() { return midi_.get(); }
    AlsaFilePcms* alsa() { return alsa_.get(); }
    const QString& window() const { return window_; }
    Places& places() { return *places_; }
    QRect refreshGeometry();

    // a photograph of the screen, saved as artifacts/<name>.png
    QImage shot(const QString& name);
    // photographs until `control` differs from `before` in at least `share` of its area; the
    // last photograph goes to *after whether it did or not
    bool waitChanged(const QImage& before, const QString& control, double share, int timeoutMs, QImage* after);
    bool waitChanged(const QImage& before, const QRect& area, double share, int timeoutMs, QImage* after);

    // A file dropped on the screen point by our drag source; false when the source did not
    // show or report the drop.
    bool dropFile(const QString& file, QPoint at, QString* why);

    // the capture's frames heard so far and its channels, its xrun spans (±1 period)
    int64_t framesHeard() const;
    std::vector<float> captured(int64_t fromFrame = 0) const;
    Spans xrunSpans() const;
    // the stalls of the server the capture saw: callbacks that began `minMs` or more after the one
    // before, each as the frames that the stall's time holds on either side of where it fell
    Spans stallSpans(double minMs) const;

    // Ends the program if it still runs (by its pid), then the clients; keeps the database and
    // the program's standard error in the artifacts.
    void finish();
    QString stderrText() const;
    QString databaseCopy() const { return artifacts_ + QStringLiteral("/korvanta.db"); }

private:
    QString name_, artifacts_, root_, home_, error_, window_;
    bool jack_;
    std::unique_ptr<JackServer> server_;
    std::unique_ptr<AlsaFilePcms> alsa_;
    std::unique_ptr<Child> capture_, bare_, midi_;
    Child program_;
    std::unique_ptr<Places> places_;
    bool finished_ = false;
};

}  // namespace e2e
