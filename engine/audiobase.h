// The engine: the one object through which the program reaches the audio side. It lists
// the devices, builds the outputs of the six routing modes on ALSA ("DirectSound") or JACK
// ("ASIO") devices, carries the headphone and recording buses, the crossfader, the cue,
// beat match, recording, and the 5 ms engine tick with automix.
//
// Routing modes (row 0 = deck A or master, row 1 = deck B or headphones, row 2 = third device):
//   1 single channel external mixer   2 multi channel external mixer   5 multi audio external mixer
//   3 multi channel master+headphones 4 single channel master+headphones 6 multi audio master+headphones
//
// Threads: everything here runs on the UI thread except the bus taps, which run on whatever
// thread pulls the deck mixers, and the recorder's start, which waits on a thread of its own
// for the buses to fill. Handles the audio threads read are atomics.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <QString>

#include "platform/bpm/bpmentrypoints.h"
#include "engine/deferredstart.h"
#include "engine/psoundconfig.h"
#include "engine/shared.h"
#include "engine/visualstep.h"
#include "platform/sound/sound.h"

class BpmLibrary;
class DeckLibrary;
class DeckMessageBox;
class MainServices;
class PeaksWorker;
class QTimer;
class SongGridLink;
class TDamepicos;
class carga;

class audiobase {
public:
    explicit audiobase(MainServices* owner);
    ~audiobase();
    audiobase(const audiobase&) = delete;
    audiobase& operator=(const audiobase&) = delete;

    // ---- device lists
    void dameasio();
    // reread false: the lists from the reading dameasio has just made (a reading opens every device)
    void dameds(bool reread = true);
    void panicasio();
    void panicds();
    void Ponsgs();
    void desinit();
    // The peaks workers' progress event: one repaint step of the visual step (handed to the
    // display's thread when raised on another).
    void conteo();
    // The visual step (TVisuales), set by the main window; desinit stops its regular steps.
    VisualStep* visual = nullptr;

    // ---- outputs
    bool initds();
    bool initasio();
    void desinitds();
    void desinitasio();
    bool stopcargas();
    bool playcargas();

    // ---- mixer controls
    void setcrossfader(int tcross);
    void setheadphones(bool setenable, int canal);
    void match1();
    void match2();
    // headvol1 := vol2 when vol1 is 1.0, else headvol2 := vol2; mutemic and UpdateEcho do
    // nothing. Nothing in the program calls them yet.
    void volheadphones(int vol2, double vol1);
    void mutemic() {}
    void UpdateEcho() {}

    // ---- recording
    void graba(const QString& filerec, int grabar);
    void volgrabacion(int grvol);
    // The line-in path: the default input (ALSA's capture device) into filerec while grabar
    // is set. A start that fails shows why and changes nothing, the mix recording included.
    void grabads(const QString& filerec, bool grabar);
    // Members nothing in the program calls yet.
    void grabaas();  // stops the mix recording: taps off, encoder stopped, both flags clear
    void recordingstopped();  // the file stopped taking sound: grabaas, and the user is told
    // The default input into "output.wav" in the profile folder (rdschan), and its stop.
    void StartRecording();
    void StopRecording();
    // The kind of the default input from its device's name: "digital", "line-in",
    // "microphone", "midi synth", "analog cd", "telephone", "pc speaker", "wave/pcm", "aux",
    // "analog", or "undefined" when the name tells none or there is no input.
    QString UpdateInputInfo();
    static QString inputKind(const QString& deviceName);
    // The inputs' callback, on the input's thread: goes on while the encoder on `handle` is
    // active. A line-in take whose encoder stopped (a full disk) clears grabando.
    bool RecordingCallback(sound::Handle handle, const float* buffer, int length, void* user);

    // ---- the 5 ms tick
    void OnChangeTimer();

    // Tests and benchmarks: every output is a decoding mixer pulled by render() instead of a
    // device; the recording mixer is pulled in step with them.
    bool offlinerender = false;
    // Pulls `frames` frames through every output (and the recording while it runs). The
    // first output's sound (the master, or deck A's output) is appended to `first` when given.
    void render(int frames, std::vector<float>* first = nullptr);
    // The output streams of the current routing, in the order render() pulls them.
    std::vector<sound::Handle> outputs() const;

    // ---- configuration
    std::unique_ptr<PSoundConfig> soundcfg, oldsoundcfg;
    MainServices* winhandle;
    DeckMessageBox* adjmessage = nullptr;
    // The plain message box ("Couldn't start encoding"); logs when unset.
    std::function<void(const QString&)> ShowMessage;
    QString softversion;

    // ---- device lists: names by device number (ALSA from 1, entry 0 empty; JACK from 0)
    std::vector<QString> listaasio;
    std::vector<int> listaasioincha, listaasiooutcha;
    int asiodevices = -1;
    std::vector<QString> listads, listards;
    std::vector<int> listadsincha, listadsoutcha;
    int dsdevices = 0, dsrdevices = -1, recds = 0;

    // ---- decks, workers, library and grids (set by the main window)
    carga* carga1 = nullptr;
    carga* carga2 = nullptr;
    carga* carga3 = nullptr;
    carga* carga4 = nullptr;
    // the peaks and tempo workers of deck A and B, made with the decks' tempo libraries
    PeaksWorker* creo_onda = nullptr;
    PeaksWorker* creo_onda2 = nullptr;
    DeckLibrary* mquorsql = nullptr;
    SongGridLink* sgfiles = nullptr;
    SongGridLink* sgplay = nullptr;
    SongGridLink* sgexplo = nullptr;

    // ---- tempo libraries of deck A ("ostrellibrary") and deck B ("ostrellibrary2")
    std::function<int(int, int)> LlamarDLL, LlamarDLL1;                // Init
    std::function<int(const int16_t*, int)> LlamarDLL2, LlamarDLL12;   // Decode
    std::function<float()> LlamarDLL3, LlamarDLL13;                    // DameBpm
    std::shared_ptr<BpmLibrary> DLL, DLL2, DLL3, DLL1, DLL12, DLL13;
    BpmEntryPoints bpmdeck(int deck) const;

    // ---- tick, play counting and automix
    QTimer* fchangetimer = nullptr;
    Shared<int> puesta1, puesta2;
    Shared<int> veces1, veces2;
    Shared<bool> posada1, posada2;
    Shared<bool> autoenable, mixnow;
    Shared<int> mix1to2, newdr, newdl;
    Shared<int> dr{30}, lr{15};

    // ---- beat match
    Shared<bool> enlace1, enlace2;
    Shared<int> asliderdmc1, asliderdmc2;

    // ---- graph
    Shared<sound::Handle> Master, headphones, Grabacion, recchan, rdschan;
    Shared<sound::Handle> encoder;
    Shared<bool> grabando;
    Shared<int> volgraba{100}, grabapeak;
    Shared<bool> isplay1, isplay2;
    Shared<int> tcrossfader;
    Shared<bool> stoppedcarga;
    Shared<int> mode1, mode2, mode3, mode4;
    // The stream each output pair of the first / second JACK device plays.
    std::array<Shared<sound::Handle>, 9> nchan{}, nchan2{};

    carga* deck(int n) const;

private:
    void releaseoutputs(const PSoundConfig& old);
    void createbuses();
    void buildrouting(bool asio, const std::array<int, 2>& rates);
    sound::Handle outputmixer(bool asio, int rate, int channels);
    void route(bool asio, sound::Handle mixer, sound::DeviceRef device, const sound::OutputRoute& where, float pan,
               std::array<Shared<sound::Handle>, 9>* feed, int feedslot);
    bool startoutputs();  // false when a device refuses to run
    void buildrecorder(sound::DeviceRef device = {sound::DeviceApi::NoSound, 0});
    void snapshot();
    void createtimer();
    void headphonetaps(bool on);
    void keepplaying();
    void restorecue();
    bool asiocheck(int mode, std::array<int, 2>& rates);
    void follow(carga* x, carga* y, Shared<bool>& enlace, Shared<int>& reference);
    void match(carga* x, carga* y, Shared<bool>& enlace, Shared<int>& reference);
    void countplay(carga* x, Shared<int>& puesta, Shared<bool>& posada, Shared<int>& veces);
    void loopcatchup(carga* x);
    void automix(carga* x, carga* y, int m);
    void endofmix(carga* x, int m);
    void recordtaps(bool on);
    void drainrecorder();
    static std::array<sound::Handle, 4> recordbuses();  // the decks' recording buses
    // the default input recording into file; 0 (message shown) on failure
    sound::Handle startinput(const QString& file);
    static int defaultinput();  // index of the default input; -1 when there is none
    void message(const QString& text);
    sound::DeviceRef dsdevice(int row) const;
    sound::DeviceRef asiodevice(int row) const;

    // outputs of the current routing: the streams on devices and their output handles
    struct Output {
        sound::Handle stream = 0;
        sound::Handle output = 0;  // JACK: the output once started; ALSA: the stream is played on its device
        sound::DeviceRef device;
        sound::OutputRoute where;
        bool asio = false;
    };
    std::vector<Output> outs_;
    std::unique_ptr<TDamepicos> onda1_, onda2_;
    std::vector<sound::DeviceRef> used_;  // devices the routing initialised
    int pacedframes_ = 0;                 // offline recording: frames since the encoder was flushed
    DeferredStart recorderstart_;         // the recorder's start, once the buses hold its cushion
};
