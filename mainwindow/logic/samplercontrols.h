// The two samplers: six sample pads, a stop pad and a volume dial each ("A SAMPLER " left on
// deck player 3: vl1 .. vl6, vl7, samplevolume; "B SAMPLER " right on deck player 4: vr1 .. vr6,
// vr7, samplevolume2). A pad starts its sample from the beginning; the pad of the sample that
// plays stops it; another pad switches to its sample. UI thread only.
#pragma once

#include <array>
#include <functional>

#include <QString>

class ButtonView;
class PositionView;

// A sampler's deck player as the pads see it.
class SamplerPlayer {
public:
    virtual ~SamplerPlayer() = default;
    virtual bool playing() const = 0;
    virtual void stop() = 0;
    virtual QString fileName() const = 0;
    // sets the file name and loads it (a missing or empty name is the player's load failure)
    virtual void load(const QString& file) = 0;
    virtual void setVolume(int volume) = 0;
    virtual void play() = 0;
};

class SamplerControls {
public:
    // sp1 .. sp9: the sample files (1..6 from the configuration)
    std::array<QString, 9> sp;
    // samplename: the short path of the sample last chosen
    QString samplename;

    struct Side {
        SamplerPlayer* player = nullptr;
        std::array<ButtonView*, 6> pads{};  // vl1 .. vl6 / vr1 .. vr6
        ButtonView* stop = nullptr;         // vl7 / vr7
        PositionView* volume = nullptr;     // samplevolume / samplevolume2
        int* volumeCopy = nullptr;          // quorsam1 / quorsam2
        int selected = 0;                   // samplersela / samplerselb
        bool playing = false;               // playing3 / playing4
    };
    std::array<Side, 2> side;  // 0 the left sampler (player 3), 1 the right (player 4)
    // ShortFileName; the tests give their own
    std::function<QString(const QString&)> shortName;

    // vl1MouseDown / vr1MouseDown: the pad's Tag is the sample number
    void padMouseDown(int sampler, ButtonView* pad);
    // vl7MouseDown / vr7MouseDown
    void stopMouseDown(int sampler);
    // playsample(player 3 or 4, n): n 1..9; other values keep the sample name
    void playsample(int sampler, int n);
    // samplevolumeChange / samplevolume2Change
    void volumeChange(int sampler);
};
