// The main loop and its pause. The loop is a 14 ms timer of the UI thread whose tick runs one
// jog wheel step (doPlaying) while MainRunning is set; mmain(false) pauses it around anything
// that takes the user's attention (a dialog, a menu, a message box) and mmain(true) lets it run
// again. Nothing here pumps events: between ticks the event loop handles everything else.
// The blink phase (blinka, blinkb) toggles on the 200 ms blink timer Tscratch. UI thread only.
#pragma once

#include <atomic>
#include <functional>

#include <QObject>
#include <QTimer>

class MainLoop : public QObject {
public:
    explicit MainLoop(QObject* parent = nullptr);

    // MainRunning := ena; always true. Starts or stops nothing by itself.
    bool mmain(bool ena);
    bool MainRunning() const { return running_.load(); }

    // One jog wheel step (the main window's doPlaying); empty: nothing.
    std::function<void()> doPlaying;

    // The loop's timer (14 ms); runs from start() to stop().
    void start();
    void stop();
    bool started() const { return timer_.isActive(); }
    static constexpr int kPass = 14;

    // timer4 (15 ms, enabled at every activation, disabled at shut-down): while the loop is
    // paused the waveforms keep moving on the visual step's own timer, so a tick does nothing.
    void timer4Timer() {}

    // Tscratch (200 ms): blinka := not blinka; blinkb := blinka.
    void TscratchTimer();
    bool blinka = false, blinkb = false;

    // one tick of the loop: doPlaying when MainRunning
    void pass();

private:
    std::atomic<bool> running_{true};
    QTimer timer_;
};
