// A deck player: one audio file played through its stream chain into its deck's output.
// Four exist: deck A (ncarga 1), deck B (2) and the samplers (3, 4).
//
//   decoder (origstream) -> reverse (Channel) -> [tempo (ChannelTempo)] -> deck mixer (Mixer)
//     -> output mixer (CMaster)
//
// The deck mixer carries the bus taps and the deck volume; the effects sit on Channel.
// A sampler: decoder (Channel) -> its own mixer with a recording tap -> CMaster.
//
// Threads: Load runs on a loading thread, the transport and the 25 ms tick on the UI
// thread, the loop syncs and bus taps on the mixing thread. Every field another thread
// reads is an atomic. Load and Unload hold loadLock_ so that two loads never interleave.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

#include <QString>

#include "engine/peaksworker.h"
#include "engine/precord.h"
#include "engine/psoundconfig.h"
#include "engine/shared.h"
#include "platform/sound/sound.h"

class QTimer;
class DeckMessageBox;
class DeckTempoScan;
class DeckLibrary;
class ProgressView;
class SpeedSlider;

class carga {
public:
    carga(PSoundConfig* config, int nc);
    virtual ~carga();
    carga(const carga&) = delete;
    carga& operator=(const carga&) = delete;

    // ---- load chain
    virtual bool Load(const QString& path) = 0;
    virtual void cplay() = 0;
    virtual void cstop() = 0;
    virtual void cpause() = 0;
    void Load2(const QString& path);
    void Unload();
    void reloadcancion();
    void setkeylock(bool on);
    void readpeaks(const QString& cacheFile);

    // ---- transport, positions and cues
    void Play();
    void Pause();
    void Stop();
    void PlayCue(int state = 0);
    void SetPosition(int64_t x);
    int64_t Getposition();
    void SetPositionm(int64_t x, int64_t width);
    void SetPositions(int delta, int value);
    void actcues();
    // Members nothing in the program calls yet.
    // posmas / posmenos: move the playing search window 2,500 bytes forward / back, or open
    // a 40,000-byte window at a paused deck's position and play it.
    void posmas();
    void posmenos();
    void Stopinicio();       // a stop that returns to position 0
    void SetLoopPosition();  // the active stream to the loop start
    void actheads();         // the deck mixer re-attached to the output mixer, without ramp
    int64_t GetSeconds();    // position in milliseconds
    void Code() {}
    void SetStream() {}
    void Inicializa() {}
    void OstrelScratch() {}

    // ---- loops
    void loopmenos();
    void loopmas();
    void loop4(double beats);
    void loopexit();
    void Setloops(int deck);  // the sync calls back this deck, whatever `deck` says

    // ---- speed, pitch, keylock, scratch, reverse, brake and bend
    void SetSpeed(float rate);
    void SetDmcSlider(int a);
    void SetSlider(int val);
    void SetSliders(bool b);
    int SetPitchv(int x);
    void Reverse2(int mode);
    void SetScratch(double v);
    void SetScratchOff();
    void removeparada();
    // Brake button: on starts a slow stop over the configured brake time, off restores the
    // slider's speed.
    void setparada(bool on);
    void pitchbending_on(Tbusca direction);
    void pitchbending_off();
    void Reverse();              // toggles the direction; a playing deck's output re-attached
    void Reverse3(int mode);     // 1: backward from the end, else forward from the start
    int SetPitchSlider(float rate) const;  // the speed slider position of a rate

    // ---- volume, EQ and effects
    void SetVolume(int v);
    void SetVolHead(int v);
    void CreateFx();
    void UpdateEQ(int band, float g);
    void Setfbas(int v);
    void Setfmid(int v);
    void Setftre(int v);
    void SetfGain(int v);
    void UpdateFlange(float level, float speed, bool on);
    void UpdateEcho(float mix, float level, float delay, bool on);
    void UpdateWah(float mix, float input, bool on);
    // reverb of level - 0.35 with a decay of `delay` ms; nothing in the program calls it yet
    void UpdateReverb(float level, int delay, bool on);
    void updatekills() {}

    // ---- tempo of the whole file on a scan of its own (nothing in the program calls it yet):
    // the result is handed over like the peaks worker's (hand-over cell 0), the progress goes
    // to deck A's progress cell through GetBPM_Process. Never blocks; stopped and joined by
    // Unload and the destructor.
    void CalculaBPM();
    static void GetBPM_Process(sound::Handle chan, float percent);

    // ---- deck tick (25 ms, UI thread)
    void fchangetimerTimer();
    void dame_tiempo();

    // ---- the deck's record and the seams it reaches out through
    // A data-set query the deck makes when it is built and no operation uses; the engine holds
    // no database connection of its own, so it carries only its statement text.
    struct DataSetQuery {
        QString SQL;
    };
    std::unique_ptr<DataSetQuery> testado = std::make_unique<DataSetQuery>();
    PRecord* basseqfx;
    PSoundConfig* scfg;
    DeckMessageBox* message1 = nullptr;
    DeckLibrary* mquorsql = nullptr;
    SpeedSlider* vdmcslider = nullptr;
    ProgressView* progress = nullptr;
    PeaksWorker* creo_onda = nullptr;   // deck A's scan
    PeaksWorker* creo_onda2 = nullptr;  // deck B's scan
    QTimer* fchangetimer = nullptr;

    // Tests and benchmarks pull CMaster themselves instead of playing it on `device`.
    bool offlinerender = false;

    SharedText filename;
    const int ncarga;
    Shared<bool> loaded, loading, dioerror, firstload;
    Shared<bool> reversing, changedir;
    Shared<bool> sliders{true};
    Shared<int> slider, sliderpos, sliderdmc, dmcslider;
    Shared<int> dmcslidermax, dmcslidermin, dmcsliderdif;
    Shared<double> minp, maxp;
    Shared<double> fbpm, fabpm, mfxsec;
    Shared<int> mfxmsec;
    Shared<int> tpitch{10};
    Shared<float> vpitch;
    Shared<bool> scpaused, kb, kt, km;
    Shared<int> fpitchbended;
    Shared<bool> bending, searching;
    Shared<bool> syncnow;
    Shared<bool> ssearch, search;
    Shared<int64_t> fsearini, fsearfin;
    Shared<sound::Handle> lsync;
    Shared<sound::Handle> FXFLANGER, fxchorus, fxecho2, FXWAH, fxEQ, fxvol1;
    Shared<sound::Handle> rotdsp, rotdsp2, recdsp, recdsp2, recsam, recsam2;
    Shared<bool> flanger, echo2, reverb, autowah3;
    Shared<int> cargacue;
    Shared<bool> parada, scratching;
    Shared<int64_t> fcue1;
    Shared<int> cambia;
    Shared<Tbusca> modopitch{sMas};
    Shared<sound::Handle> Channel, ChannelTempo, Mixer, CMaster;
    Shared<int> device;
    Shared<TbassPlayMode> fbassplaymode{sStereo};
    std::array<Shared<int64_t>, 2> syncloop{Shared<int64_t>(100), Shared<int64_t>(100)};
    Shared<float> freq, freqchan, vol, pan;
    Shared<int> mpos, pmpos;
    Shared<bool> conteo, dibujo;
    HandOverCells wdpics{};
    Shared<int> offset;
    Shared<int> rem{-1};
    Shared<bool> oldkeylock, keylock;
    Shared<bool> tempoallowed;  // the chain was built with keylock available
    Shared<sound::Handle> srcchan, origstream;
    int killcut = -60;
    Shared<bool> headphones;
    Shared<float> brakefreq, brakeperc;
    Shared<bool> setkeyl;
    Shared<int> howkeyon, howkeyoff;
    int configup = 8, configbu = 100;
    Shared<int> valorbend;
    // last parameters of the switchable effects, re-applied when a load rebuilds the chain
    Shared<float> flangerspeed{0.01f}, echomix, echodelay{0.25f}, wahmix, wahinput;
    Shared<float> reverblevel;
    Shared<int> reverbdelay{1200};

    // Rate of the deck's mixers: the buses' rate, or kBusRate when no bus exists yet.
    static int mixerRate();
    // The stream in the deck mixer: the tempo stream with keylock, else the reverse stream.
    sound::Handle activeStream() const;
    // The deck's loop sync handler (deck 1..4), run on the mixing thread.
    void loopSync(sound::Handle stream);

protected:
    // Shows the deck's message box on the UI thread, unawaited.
    void postmessage(const QString& caption, const QString& text, int timeoutMs, int defaultButton, int buttons);

    void removeLoopSyncs();
    void applySpeedTexts(double rate);
    void applyRate(double rate);
    void setDirection(int dir);
    void brakeStep();
    void bendStep();
    void bpmHandOver();
    void addTap(sound::Handle mixer, Shared<sound::Handle>& tap, sound::Handle bus);
    void removeTap(sound::Handle mixer, Shared<sound::Handle>& tap);
    void addSwitchedFx();
    bool switchFx(Shared<bool>& sw, Shared<sound::Handle>& fx, sound::FxType type, int priority, bool on);
    PeaksWorker* worker() const { return ncarga == 1 ? creo_onda : ncarga == 2 ? creo_onda2 : nullptr; }
    void stopWorker();
    // Builds decoder, reverse and tempo streams, deck mixer and output mixer for `path`
    // (load steps 2 to 8). False when the file cannot be opened; the message is shown.
    virtual bool openChain(const QString& path, bool reload) = 0;

    void searchWindow(int64_t step);

    std::recursive_mutex loadLock_;
    std::unique_ptr<PRecord> record_;
    // last member: its scan is joined before any field it writes goes away
    const std::unique_ptr<DeckTempoScan> bpmscan_;
};
