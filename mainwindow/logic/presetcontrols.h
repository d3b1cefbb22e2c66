// The performance presets (higp, medp, lowp: the configuration's level com 0, 1, 2): which
// meters run, whether the decks scroll waveforms or show progress bars, and the update period
// and buffer length the next ALSA output opens with. UI thread only.
#pragma once

#include <array>
#include <functional>

#include <QString>

class ControlView;

class PresetControls {
public:
    // Label1, Label2, lelapsed1, lremain1, Label10, Label8, lelapsed2, lremain2
    std::array<ControlView*, 8> timeLabels{};
    std::array<ControlView*, 2> jogPanels{};     // panelwheel1, panelwheel2
    std::array<ControlView*, 2> needles{};       // vu1, vu2
    std::array<ControlView*, 2> compasses{};     // comdis1, comdis2
    std::array<ControlView*, 2> centreMeters{};  // panvumetercentro1, panvumetercentro2
    std::array<ControlView*, 2> leds{};          // led1, led2
    // deck A's player: configup and configbu (null before the decks exist)
    int* configup = nullptr;
    int* configbu = nullptr;

    // the view combo reads "Extended"
    std::function<bool()> extendedView;
    // the visual step's display mode: 0 scrolling waveforms, 1 progress bars
    std::function<void(int)> setdisplayspec;
    // the meter face of deck 1 / 2 from the named picture holder
    std::function<void(int deck, const QString& holder)> setFace;

    void higp();
    void medp();
    void lowp();
    // by level: 0 higp, 1 medp, 2 lowp; other levels do nothing
    void apply(int level);
    // whether the needle meters run (the high preset was the last applied)
    bool metersEnabled() const { return meters_; }

private:
    void set(int level);
    bool meters_ = true;
};
