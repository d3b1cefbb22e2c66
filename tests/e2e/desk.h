// The test's hands and eyes on the X server: xdotool for the pointer, keys and windows, our
// grab for photographs, and the places of the main window's controls, read from the form
// data (mainwindow/form/tform1.skn) and offset by the window's position, so the test holds no
// coordinates of its own. Every wait names its step and has a time limit.
#pragma once

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class FormData;

namespace e2e {

// xdotool with a time limit: its exit code (-1 when it ran past the limit), its output in *out.
int xdo(const QStringList& args, QString* out = nullptr, int timeoutMs = 15000);

// The first visible window of process `pid` whose name matches `nameRegex` and that is at least
// `minWidth` wide, waited for up to `timeoutMs` (xdotool search --sync, then its size: the
// splash and the main window share the title); empty when none came.
QString waitWindow(qint64 pid, const QString& nameRegex, int timeoutMs, int minWidth = 0);
// True when no visible window of `pid` matches any more, within `timeoutMs`.
bool waitWindowGone(qint64 pid, const QString& nameRegex, int timeoutMs);
QRect windowGeometry(const QString& window);
// The window's geometry once two reads 300 ms apart agree (a window is mapped, then placed).
QRect settledGeometry(const QString& window, int timeoutMs = 5000);

// Moves the pointer to `at` (screen) and waits until it is there.
void moveTo(QPoint at);
void click(QPoint at, int button = 1);
// Presses at `from`, moves in `steps` steps of `stepMs` to `to`, lets go.
void drag(QPoint from, QPoint to, int steps = 20, int stepMs = 40);
// Gives `window` the focus (--sync), then sends the key ("space", "a", "F4", "Return").
bool key(const QString& window, const QString& keyName);
bool typeText(const QString& window, const QString& text);

// The X screen (or a part of it) photographed by our grab into `path`.
bool grab(const QString& grabProgram, const QString& path, const QRect& part = QRect());

// Places of the main window's controls on the screen.
class Places {
public:
    explicit Places(const QString& formFile);
    ~Places();
    // The window's place on the screen; right-anchored controls follow its right edge.
    void setWindow(const QRect& geometry) { window_ = geometry; }
    const QRect& window() const { return window_; }
    bool has(const QString& control) const;
    // A centre section (effects, pautomix, sampler) shown: moved onto the marker's top-left
    // corner (pancentral), as its selector does; `marker` empty parks it again.
    void movePanel(const QString& panel, const QString& marker);
    // The control's rectangle on the screen (empty when the form has no such control). A
    // control that reaches the window's bottom in the form does so here; the library panels
    // (playlist, grupos, explorer) lie where the window's panel arrangement puts the ones shown.
    QRect rect(const QString& control) const;
    // Which library panels are shown, as their side buttons tell: a shown panel's button is
    // latched down (its lit cell). The pointer must not be over a side button.
    void readPanels(const QImage& shot);
    bool panelShown(const QString& host) const;
    QPoint centre(const QString& control) const { return rect(control).center(); }
    // A spot of the skin that no control covers: the middle of the top bar's free stretch
    // left of the clock.
    QPoint inertSpot() const;
    // The share of `control`'s area in `shot` (a photograph of the whole screen) that is not
    // the colour most of it has: 0 for a uniform area.
    double nonUniform(const QImage& shot, const QString& control) const;
    // The share of `control`'s area whose pixels differ between two photographs of the screen.
    double changed(const QImage& before, const QImage& after, const QString& control) const;
    // the same over a rectangle of the screen
    static double changed(const QImage& before, const QImage& after, const QRect& area);
    // The share of the skinned button's opaque pixels in `shot` that match the given cell of
    // its graphic in the skin pack (0 normal, 1 down, 2 disabled, 3 disabled and down, 4
    // hot): a lit button shows cell 1 once the pointer has left it. -1 when the control has
    // no graphic in the pack.
    double cellMatch(const QImage& shot, const QString& control, int cell) const;

private:
    QRect surfaceRect(const QString& control) const;
    QRect panelRect(const QString& host) const;
    std::unique_ptr<FormData> form_;
    bool playlists_ = false, groups_ = false, explorer_ = true;  // the form's start state
    QRect window_;
    QHash<QString, QPoint> moved_;  // panel (lower case) -> its place on the surface
};

}  // namespace e2e
