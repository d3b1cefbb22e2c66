// The sound layer: decoders, reverse and tempo streams, mixers, syncs, processors (DSP taps
// and effects), push streams, levels and FFT, devices, outputs and recording.
//
// Everything is reached through handles. A handle is an opaque integer that carries a slot and
// a generation; 0, a freed handle or a handle of the wrong kind makes the call fail, return
// false (or 0 / -1) and set lastError(). Nothing crashes on a bad handle.
//
// Units. A position or a length is in bytes of 16-bit interleaved stereo PCM at the stream's
// own rate (one frame = 4 bytes), whatever the file holds: mono is duplicated, more channels
// are mixed down. A decoder's length is exact and the same on every open; a seek lands on the
// exact frame. Inside the graph samples are float stereo in -1..1.
//
// Threads. Every call is thread-safe and may be made from inside a sync or DSP callback.
// The whole graph sits behind one recursive lock. The rule that keeps the audio threads
// real-time: nothing holds that lock for long. Files are opened and decoded outside it (a
// decoder holds its whole decoded file in memory, so reads and seeks are copies), and the
// mixing path neither allocates nor waits on anything but that lock.
//
// Callbacks (syncs, DSP taps, processors) run on the thread that pulls the stream: an output
// device's callback, the no-sound clock thread, or whoever calls getData()/renderFloat().
//
// Sections: common; decoders; reverse and tempo; mixers; channel control; syncs and DSP;
// processors (how effects plug in); push streams; levels and FFT; offline render and sinks;
// devices and outputs; effects; recording and WAV files. The last three are built in
// devices/outputs, fx and recording files of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sound {

// ---------------------------------------------------------------------------------------------
// Common

using Handle = std::uint32_t;

enum class Error : int {
    Ok = 0,
    Handle,        // 0, stale, freed or unknown handle
    WrongKind,     // the handle is of another kind (a sync where a stream is needed, ...)
    FileOpen,      // the file cannot be read
    Format,        // not audio, unsupported, damaged, or no audio data in it
    TooLarge,      // the decoded file would exceed the length limit
    Memory,
    Position,      // position outside the stream
    Param,         // a value out of range, or a call that makes no sense for this stream
    NotDecode,     // a mixer source must be a decoding stream
    AlreadyInMixer,
    NotInMixer,
    Ended,
    Busy,
    Init,          // the layer or the device is not initialised
    Device,        // the device vanished, refused to open or does not exist
    Driver,        // the host API (ALSA, JACK) is not available
    NoServer,      // no JACK server runs
    Write,         // a file cannot be written (full disk, unwritable folder)
    Unsupported,
};

// Error of the last call made on this thread; Ok after a call that succeeded.
Error lastError();
const char* errorText(Error e);

// Flags of the stream-creating calls; each call says which it understands.
enum Flags : unsigned {
    Decode = 1u << 0,      // the stream is pulled by a mixer or by getData, not played
    Prescan = 1u << 1,     // accepted for clarity: lengths are always exact
    FreeSource = 1u << 2,  // freeing a reverse/tempo stream frees its source
    NonStop = 1u << 3,     // a mixer that produces silence when it has nothing to mix
    FloatOut = 1u << 4,    // getData delivers 32-bit float instead of 16-bit
    Loop = 1u << 5,        // a decoder or reverse stream at its end starts again at 0
    NoRampIn = 1u << 8,    // mixer source: no fade-in when added
    Buffered = 1u << 9,    // mixer source: keep what was mixed for getFft/getLevel (always kept)
    Paused = 1u << 10,     // mixer source: added paused
    TakePlace = 1u << 11,  // createTempo: the new stream takes its source's place in its mixer
};

enum class Kind { None, Decoder, Reverse, Tempo, Mixer, Push, Sync, Dsp, Fx, Output, Record, Encoder };

// Kind of a live handle, Kind::None for anything else.
Kind kindOf(Handle h);

// Frees any stream (decoder, reverse, tempo, mixer, push): its syncs, DSPs and effects go with
// it, it leaves its mixer, a mixer's sources are detached (not freed), and a reverse or tempo
// stream created with FreeSource frees its source too.
bool freeStream(Handle stream);

// Frees every handle and stops the no-sound clock. For tests and shut-down.
void freeAll();

// ---------------------------------------------------------------------------------------------
// Decoders (FFmpeg): mp3, mp2, mp1, wav, ogg, wma, flac, aiff, aac, mp4/m4a, and whatever
// else FFmpeg reads, held as 16-bit stereo at the file's rate. A file opens with its exact
// length read without decoding (MPEG frame headers; the container's own statements for the
// others) and is decoded by a background thread: MPEG audio and PCM the part ahead of the
// reader first, other codecs in order from the start. Real-time readers (device callbacks,
// the no-sound clock) get silence for frames not decoded yet and never touch the file;
// getData and other readers wait for them. A packet that fails to decode plays as silence of
// its length; the length never changes after open. Files whose length cannot be read that
// way (chained Ogg streams, WMA with the bit reservoir, ...) are decoded whole at open.
// Encoder delay and padding are trimmed where the container states them; otherwise the
// decoded length is taken as it is. Open fails (0, lastError) on a missing, empty, truncated,
// non-audio or lying file; it never hangs.

struct OpenOptions {
    unsigned flags = Decode | Prescan;
    std::uint64_t maxBytes = 0xFFFFFFFCull;  // decoded bytes; larger files fail with TooLarge
    // For one pass from start to end (a peaks scan): MPEG audio and PCM are decoded on the
    // reading thread as they are read, and no whole-file buffer is kept. Seeks work but decode
    // again from a little before the target. Other formats open as usual.
    bool sequential = false;
};

Handle openFile(const std::string& utf8Path, unsigned flags = Decode | Prescan);
Handle openFile(const std::string& utf8Path, const OpenOptions& options);
// The same over a file image in memory (copied); for tests and fuzzing.
Handle openMemory(const void* data, std::size_t size, const OpenOptions& options = {});

// A decoder a worker owns (the peaks and tempo scan): it has no handle, is no part of the
// graph and is read without the graph lock, so a scan never holds up a render. Reads deliver
// what getData delivers from a decoding stream of the same file: 16-bit stereo frames.
class FileReader {
public:
    // nullptr (lastError() says why) when the file does not open
    static std::unique_ptr<FileReader> open(const std::string& utf8Path, const OpenOptions& options = {});
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    std::int64_t lengthBytes() const;
    int rate() const;
    int fileChannels() const;
    // Bytes read into buffer (whole frames), 0 at the end.
    int read(void* buffer, int bytes);

private:
    struct Impl;
    explicit FileReader(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

struct StreamInfo {
    Kind kind = Kind::None;
    int rate = 0;           // the stream's own rate (a decoder: the file's)
    int channels = 2;       // what the stream delivers (mixers may be mono)
    int fileChannels = 0;   // decoders: channels in the file
    unsigned flags = 0;
    std::string codec;      // decoders: FFmpeg's codec name ("mp3float", "flac", ...)
};
bool getInfo(Handle stream, StreamInfo& out);

// Length in bytes; -1 on failure. Reverse and tempo streams report their source's length.
std::int64_t getLength(Handle stream);
double bytesToSeconds(Handle stream, std::int64_t bytes);    // -1 on failure
std::int64_t secondsToBytes(Handle stream, double seconds);  // whole frames; -1 on failure

// Prescan alone: demuxes without decoding and reports an estimate of the decoded length
// (frames) and the packet count. For the benchmark and for quick file checks.
struct ScanResult {
    int rate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    std::int64_t packets = 0;
};
bool prescanFile(const std::string& utf8Path, ScanResult& out);

// ---------------------------------------------------------------------------------------------
// Reverse and tempo streams

// Plays `source` forward or backward (Attribute::Direction +1 / -1) from its current position.
// Its position is the source's. Backward at 0, or forward at the end, the stream has ended.
// blockSeconds is accepted for compatibility of callers; frames are read exactly.
Handle createReverse(Handle source, double blockSeconds = 0.1, unsigned flags = Decode | FreeSource);

// Tempo change at constant pitch (SoundTouch) over `source`: Attribute::Tempo in percent
// (+6 = 6 % faster). Its position is reported in source bytes (the source frame being heard).
// A seek flushes its buffers. Paused inside a mixer it reads nothing from its source.
// With TakePlace the source may sit in a mixer: the tempo stream replaces it there in one step
// under the graph lock. SoundTouch is built before the lock is taken.
Handle createTempo(Handle source, unsigned flags = Decode | FreeSource);
Handle tempoSource(Handle tempo);  // 0 on failure

// ---------------------------------------------------------------------------------------------
// Attributes

enum class Attribute {
    Freq,       // Hz, 1..100000: the rate at which a mixer takes this stream (speed and pitch)
    Volume,     // 0..1 (mixer sources, played streams); applied by whoever mixes the stream
    Pan,        // -1..+1
    Tempo,      // tempo streams: percent change, -95..+5000
    Direction,  // reverse streams: +1 forward, -1 backward
};

bool setAttribute(Handle stream, Attribute a, float value);
bool getAttribute(Handle stream, Attribute a, float& value);
// Moves the attribute to `value` over `ms` milliseconds of the stream's mixing time
// (Freq, Volume, Pan). A new slide or set replaces a running one. ms <= 0 sets at once.
bool slideAttribute(Handle stream, Attribute a, float value, int ms);
bool isSliding(Handle stream, Attribute a);

// ---------------------------------------------------------------------------------------------
// Mixers

// A mixer of `channels` (1 or 2) at `rate`. Each source is resampled from its own current
// Freq to the mixer's rate; its Volume and Pan are applied at mix time. Without NonStop a
// mixer whose sources all have nothing to give delivers nothing (it has "ended" for now;
// it revives as soon as a source has data again, e.g. after a seek); with NonStop it
// delivers silence. A mixer can be a source of another mixer (create it with Decode).
Handle createMixer(int rate, int channels = 2, unsigned flags = Decode);

// Adds a decoding stream to a mixer. Flags: NoRampIn, Buffered, Paused. Without NoRampIn the
// source fades in over the first few milliseconds.
bool mixerAdd(Handle mixer, Handle source, unsigned flags = 0);
bool mixerRemove(Handle source);
// `with` takes the place of `old` in old's mixer, without allocating: the swap an audio
// callback may wait for is short. `with` must be in no mixer; when it is old's source, old
// lets go of it (old then has no source and is to be freed).
bool mixerReplace(Handle old, Handle with);
Handle mixerOf(Handle source);  // 0 when not in a mixer
std::vector<Handle> mixerSources(Handle mixer);

// ---------------------------------------------------------------------------------------------
// Channel control

enum class State { Stopped, Playing, Paused };

// A decoding stream inside a mixer: play lets the mixer take it, pause/stop keep it in the
// mixer silent at its position (a new decoding stream is playing). A non-decoding stream:
// play starts feeding its device (the no-sound clock, or an output through DeviceHooks);
// restart also drops what it had buffered.
bool play(Handle stream, bool restart = false);
bool pause(Handle stream);
bool stop(Handle stream);
State state(Handle stream);

// Position in bytes (see Units); -1 on failure. Mixers count the bytes they delivered.
std::int64_t getPosition(Handle stream);
// Seeks to the frame holding `bytes`. A position outside 0..length is refused (false,
// Error::Position) and the stream stays where it was. Seeking a mixer drops its buffered
// audio (resampler state, ramps) and resets its byte count to the given value.
bool setPosition(Handle stream, std::int64_t bytes);

// Holds the graph lock on this thread until lock(stream, false), so that a sequence of calls
// is atomic with respect to mixing. Keep it short.
bool lock(Handle stream, bool on);

// ---------------------------------------------------------------------------------------------
// Syncs and DSP taps

enum class SyncType {
    Position,  // when playing reaches `position` (bytes), in the stream's current direction
    End,       // when the stream has nothing more to give
};

// Runs on the mixing thread before the frame at the sync's position is mixed. A seek made
// inside the callback makes the next mixed frame come from the new position with no gap.
// `data`: the position (Position) or 0 (End).
using SyncCallback = std::function<void(Handle sync, Handle stream, std::int64_t data)>;

Handle setSync(Handle stream, SyncType type, std::int64_t position, SyncCallback callback,
               bool oneTime = false);
bool removeSync(Handle stream, Handle sync);

// A DSP tap sees each block the stream produces, float interleaved stereo, after the
// stream's effects of higher priority and before any volume or pan is applied. It may edit
// the block. Higher priority runs first; equal priorities run in the order added.
using DspCallback = std::function<void(Handle dsp, Handle stream, float* frames, int frameCount)>;

Handle setDsp(Handle stream, DspCallback callback, int priority = 0);
bool removeDsp(Handle stream, Handle dsp);

// ---------------------------------------------------------------------------------------------
// Processors: how effects plug into a stream
//
// Each stream has one chain of processors ordered by priority (higher first, ties in the
// order added). DSP taps and effects are both processors in that chain. An effect module
// derives from Processor and registers an instance:
//
//     auto eq = std::make_shared<PeakEqProcessor>(...);
//     Handle fx = sound::addProcessor(stream, eq, 5, sound::Kind::Fx);
//     sound::withProcessor(fx, [&](sound::Processor& p) { static_cast<PeakEqProcessor&>(p).setBand(...); });
//     sound::removeProcessor(stream, fx);
//
// process() runs on the mixing thread with the graph lock held, so withProcessor() never
// runs at the same time as process(): parameters can be plain fields. process() must not
// allocate, block or do I/O.

class Processor {
public:
    virtual ~Processor() = default;
    // frames: interleaved stereo float, frameCount frames at `rate` Hz (the stream's rate).
    virtual void process(float* frames, int frameCount, int rate) = 0;
    // Forget delay lines and filter state (a seek, a reset of the effect).
    virtual void reset() {}
};

Handle addProcessor(Handle stream, std::shared_ptr<Processor> processor, int priority,
                    Kind kind = Kind::Fx);
bool removeProcessor(Handle stream, Handle processor);
// Runs fn with the processor behind `processor` while no mixing runs. False on a bad handle.
bool withProcessor(Handle processor, const std::function<void(Processor&)>& fn);
// Calls reset() on every processor of the stream.
bool resetProcessors(Handle stream);
Handle streamOfProcessor(Handle processor);

// ---------------------------------------------------------------------------------------------
// Push streams (headphone and recording buses)
//
// A bounded ring of stereo frames at `rate`. The producer pushes, the consumer (a mixer)
// pulls. The consumer starts once the ring holds a quarter of its capacity, and again after
// it ran dry, giving silence until then. When the two run on different clocks the consumer
// drops or repeats whole frames to keep the fill near where it started; a full ring drops
// its oldest frames. It never grows.

Handle createPushStream(int rate, int channels = 2, unsigned flags = Decode, int capacityFrames = 0);
// int16 interleaved (channels of the stream); returns frames queued after the call, -1 on error.
int pushData(Handle push, const void* data, int bytes);
int pushFloat(Handle push, const float* frames, int frameCount);  // stereo float
int pushQueued(Handle push);  // frames waiting
bool pushReady(Handle push);  // holds enough for the consumer to start (or it has started)
// setPosition(push, 0) empties the ring.

// ---------------------------------------------------------------------------------------------
// Levels and FFT. Every stream keeps what it produced last (after its processors, before
// volume); for a mixer source that is what the mixer took from it.

struct Level {
    int left = 0;   // 0..32768, peak of the last 20 ms
    int right = 0;
};
bool getLevel(Handle stream, Level& out);

// Magnitudes of a Hann-windowed FFT (KissFFT) over the last `size` frames (channels averaged):
// size / 2 + 1 values, a full-scale sine at a bin centre giving about 1.0. size: 256 .. 8192,
// a power of two.
bool getFft(Handle stream, float* out, int size = 1024);

// ---------------------------------------------------------------------------------------------
// Offline render and sinks

// Pulls data from any stream: 16-bit interleaved (or float with FloatOut), in the stream's
// channel count. Returns the bytes delivered (0 at the end), -1 on error. Syncs and DSPs run
// on the calling thread. This is the offline render of tests and benchmarks.
int getData(Handle stream, void* buffer, int bytes);

// The pull of an output sink (PortAudio/JACK callback): fills `frames` frames of float
// interleaved audio in the stream's channel count; returns frames delivered, the rest of the
// buffer is zeroed. Applies the stream's own Volume and Pan (a played stream is heard at its
// volume). Real-time safe: no allocation, no I/O, only the short graph lock.
int renderFloat(Handle stream, float* out, int frames);

// ---------------------------------------------------------------------------------------------
// Devices and outputs (devices/outputs files)
//
// Device numbering: {NoSound, 0} is the no-sound device, always there, driven by our own clock
// thread pulling each playing stream on it in real time. {Alsa, 1..n}: the ALSA PCMs as
// listed ("default" first); {Jack, 0..n-1}: the JACK clients with playback ports.

enum class DeviceApi { NoSound, Alsa, Jack };

struct DeviceRef {
    DeviceApi api = DeviceApi::NoSound;
    int index = 0;
    bool operator==(const DeviceRef&) const = default;
};

struct DeviceInfo {
    std::string name;
    int outputChannels = 0;
    int inputChannels = 0;
    double rate = 0;
    bool initialised = false;
    bool isDefault = false;
};

// Reads the device lists again; false when the host API cannot be read.
bool refreshDevices();
int deviceCount(DeviceApi api);
bool getDeviceInfo(DeviceRef device, DeviceInfo& out);
// Initialising an initialised device succeeds. Latency: bufferMs of buffer with periodMs
// periods (ALSA); JACK uses the server's period and rate.
bool initDevice(DeviceRef device, int rate = 44100, int periodMs = 8, int bufferMs = 100);
bool freeDevice(DeviceRef device);
bool startDevice(DeviceRef device);
bool stopDevice(DeviceRef device);
int deviceRate(DeviceRef device);  // the rate the device actually runs at; 0 on failure

// Where a logical output lands on a device: a stereo pair (channels 2p, 2p+1), or one side.
enum class Side { Pair, Left, Right, Both };  // Left/Right/Both: a mono signal on a single channel
struct OutputRoute {
    int pair = 0;            // Side::Pair: channels 2*pair and 2*pair+1; single sides: channel pair*2 (+1 right)
    Side side = Side::Pair;
    int channel = -1;        // >= 0: a single explicit channel (JACK single-channel modes)
};

// A logical output: the device pulls `stream` (renderFloat) and sums it into the route.
Handle openOutput(DeviceRef device, Handle stream, const OutputRoute& route);
bool closeOutput(Handle output);
bool pauseOutput(Handle output, bool paused);

// Placing a non-decoding stream on a device: play() on it then starts an output there
// through the hooks the output code installs. Streams on {NoSound, 0} are pulled by the clock.
bool setStreamDevice(Handle stream, DeviceRef device, const OutputRoute& route = {});
bool getStreamDevice(Handle stream, DeviceRef& device, OutputRoute& route);

struct DeviceHooks {
    // play(stream) on a stream placed on a real device; stop/pause take it off again.
    std::function<bool(Handle stream, DeviceRef device, const OutputRoute& route)> start;
    std::function<bool(Handle stream)> stop;
};
void setDeviceHooks(DeviceHooks hooks);

// What an initialised device's callback did since it was initialised: callbacks whose own
// work ran past their period, our callback time, and whether the device went away under us
// (a JACK server that stopped, a PCM that failed). false for a device not initialised.
struct DeviceStats {
    std::uint64_t callbacks = 0;
    std::uint64_t lateCallbacks = 0;     // by wall time, waits and preemption included
    std::uint64_t lateCpuCallbacks = 0;  // by the callback thread's CPU time alone
    std::uint64_t frames = 0;
    double cpuSeconds = 0;   // thread CPU time spent in our callback
    double busySeconds = 0;  // wall time spent in our callback
    double latency = 0;      // seconds of output buffered ahead (ALSA) or one server period (JACK)
    int period = 0;          // frames per callback as the host set it; 0 when it varies
    int rate = 0;
    int channels = 0;
    bool lost = false;
};
bool getDeviceStats(DeviceRef device, DeviceStats& out);

// The late periods of every JACK client this process opened, since it started: the xruns
// their servers reported to them, and the callbacks that began more than one and a half
// periods after the one before (the server was late, or our previous callback ran long).
struct JackLateness {
    std::uint64_t xruns = 0;
    std::uint64_t lateStarts = 0;
};
JackLateness jackLateness();

// ---------------------------------------------------------------------------------------------
// Effects (fx files). Each is a Processor on the stream's chain; priority orders them.
// channel -1 means all channels.

enum class FxType { PeakEq, Volume, Flanger, Echo, AutoWah, Reverb };

struct PeakEqParams {
    int band = 0;              // which band of the effect these values are for
    float bandwidth = 2.5f;    // octaves
    float q = 0;               // used instead of bandwidth when > 0
    float centerHz = 1000;
    float gainDb = 0;
    int channel = -1;
};
struct VolumeParams {
    float volume = 1;          // 0..2
    int channel = -1;
};
struct FlangerParams {
    float wetDry = 0.35f;
    float speed = 0.01f;
    int channel = -1;
};
struct EchoParams {
    float dryMix = 1;
    float wetMix = 0.5f;
    float delay = 0.25f;       // seconds
    int channel = -1;
};
struct AutoWahParams {
    float dryMix = 0.5f;
    float wetMix = 1.5f;
    float feedback = 0.5f;
    float rate = 2;
    float range = 4.3f;
    float freqHz = 50;
    int channel = -1;
};
struct ReverbParams {
    float level = 0;
    int delayMs = 1200;
    int channel = -1;
};

Handle addFx(Handle stream, FxType type, int priority);
bool removeFx(Handle stream, Handle fx);
bool resetFx(Handle fx);
bool getFxParams(Handle fx, PeakEqParams& p);  // reads band p.band
bool setFxParams(Handle fx, const PeakEqParams& p);
bool getFxParams(Handle fx, VolumeParams& p);
bool setFxParams(Handle fx, const VolumeParams& p);
bool getFxParams(Handle fx, FlangerParams& p);
bool setFxParams(Handle fx, const FlangerParams& p);
bool getFxParams(Handle fx, EchoParams& p);
bool setFxParams(Handle fx, const EchoParams& p);
bool getFxParams(Handle fx, AutoWahParams& p);
bool setFxParams(Handle fx, const AutoWahParams& p);
bool getFxParams(Handle fx, ReverbParams& p);
bool setFxParams(Handle fx, const ReverbParams& p);

// ---------------------------------------------------------------------------------------------
// Recording input and WAV files (recording files)

int recordDeviceCount();
bool getRecordDeviceInfo(int index, DeviceInfo& out);
bool initRecordDevice(int index);
// Receives each captured block; returning false stops the recording. A recording started
// paused captures nothing until its first pauseRecord(false), which fails (Error::Device)
// when the device will not start.
using RecordCallback = std::function<bool(Handle record, const float* frames, int frameCount)>;
Handle startRecord(int device, int rate, int channels, RecordCallback callback, bool paused = false);
bool stopRecord(Handle record);
bool pauseRecord(Handle record, bool paused);

// Writes every block `stream` produces (as a DSP tap of lowest priority) to a WAV file:
// PCM 16-bit, the stream's rate and channels; the header is brought up to date at least once
// a second. Errors of the file (full disk, unwritable folder) come back as Error::Write.
// `stream` may also be a recording (startRecord): the file then takes what the input captures
// while it is not paused, in stereo at the recording's rate, and stopRecord completes it.
Handle encodeToWav(Handle stream, const std::string& utf8Path);
// Also takes a recording's handle: then it answers for the encoder on that recording.
bool encoderActive(Handle encoder);
bool stopEncoder(Handle encoder);
// Writes what the encoder has taken so far, from the calling thread (never an audio thread).
// Its writer empties the ring only a few times a second: an offline renderer that runs faster
// than that calls this between blocks instead of slowing down. false with Error::Handle or
// Error::Write.
bool flushEncoder(Handle encoder);

}  // namespace sound
