// The state record of one deck player, and the enumerations the decks share.
// Read and written by the UI thread, the loading threads, the peaks worker, the visual
// side and the audio callbacks: scalars are atomics, texts and buffers sit behind a lock
// held only for the copy (see shared.h).
#pragma once

#include <array>
#include <cstdint>

#include <QByteArray>
#include <QString>

#include "engine/peakbuffer.h"
#include "engine/shared.h"

enum TBassStatus : int { sStop, sPlay, sPause, sSeek, sLoop };
enum Tbusca : int { sMas, sMenos };  // pitch bend: faster, slower
enum TbassPlayMode : int { sStereo, sLeft, sRight, sStFront, sStCenter, sStRear };

// Columns of a library grid row, shared by the panels, the loading threads, the engine and
// the controllers. Columns 6 to 24 are hidden.
namespace gridcol {
enum : int {
    deck = 0,     // which deck holds the file
    order = 1,    // position in the playlist, four digits
    bpm = 2,
    artist = 3,
    title = 4,
    time = 5,
    path = 6,
    cue1 = 7,     // cues 1..9 in 7..15
    cue0 = 16,
    bass = 17,
    treble = 18,
    mid = 19,
    gain = 20,
    id = 21,
    veces = 22,   // play count
    cue10 = 23,
    cue11 = 24,
    count = 25
};
}

// The tag block: slot 0 BPM, 1..9 cue 1..9, 10 cue 0, 11 cue 10, 12 cue 11, 13 database id.
namespace tagslot {
enum : int { bpm = 0, cue1 = 1, cue0 = 10, cue10 = 11, cue11 = 12, id = 13, used = 14, size = 21 };
}

// Grid column of a used tag slot (0..13), -1 for the unused slots 14..20.
constexpr int tagSlotColumn(int slot)
{
    constexpr std::array<int, tagslot::used> cols = {gridcol::bpm, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                                     gridcol::cue0, gridcol::cue10, gridcol::cue11,
                                                     gridcol::id};
    return slot >= 0 && slot < tagslot::used ? cols[slot] : -1;
}

// Tag slot held by a grid column, -1 when the column holds no slot.
constexpr int columnTagSlot(int column)
{
    for (int s = 0; s < tagslot::used; ++s)
        if (tagSlotColumn(s) == column) return s;
    return -1;
}

class PRecord {
public:
    PRecord() = default;

    Shared<int> id;
    SharedText songname, title, artist;
    SharedText bpm;                             // "000.000"
    SharedText duration;
    std::array<Shared<double>, tagslot::size> tag{};
    std::array<Shared<int64_t>, 4> loo{};      // loop marks, pixels: 0/1 waveform, 2/3 overview
    std::array<Shared<int64_t>, 12> cue{};     // cue marks on the waveform, pixels; 0 unset
    std::array<Shared<int64_t>, 12> cuep{};    // cue marks on the overview, pixels
    Shared<int> position, r_led, l_led;         // reserved
    SharedText remain{QStringLiteral("0:00:00:00")};
    SharedText elapsed{QStringLiteral("0:00:00:00")};
    Shared<int> pitchn;                         // pitch offset, tenths of a percent
    Shared<int> bpmn;                           // tempo * 10, rounded
    SharedText percent;                         // reserved
    SharedText pitch;                           // "00.00"
    Shared<int64_t> length;                     // decoded bytes
    Shared<int64_t> lengthms;
    Shared<int64_t> tiempopos;                  // play position, ms
    Shared<int64_t> tiempopcm;                  // play position, decoded bytes
    Shared<int> ratio;                          // decoded bytes per waveform column
    Shared<int> surface;                        // display width, pixels
    Shared<TBassStatus> Fstatus{sStop};
    Shared<TBassStatus> oldstatus{sStop};
    Shared<TBassStatus> oldlstatus{sStop};
    Shared<int> freq, pan;                      // reserved
    Shared<int> bas, mid, tre;                  // EQ gains, dB
    Shared<int> gain;                           // 0..20, 10 = unity
    Shared<double> percgain{1.0};
    Shared<int> vol;                            // 0..100
    Shared<int> volheadphones{100};
    Shared<bool> muteheadphones;                // reserved
    Shared<int> crossfader;                     // share taken off vol, 0..100
    Shared<double> peaktopos, speakerLevel;     // reserved
    Shared<int> SPEAKERL, SPEAKERR;             // reserved
    Shared<bool> floop;                         // reserved
    Shared<bool> freloop;                       // a left loop can be re-entered
    Shared<double> fmlopsec;                    // decoded bytes per minute
    SharedText fduratotal{QStringLiteral("00:00:00")};
    Shared<int> cargacue;                       // reserved (the deck keeps its own)
    Shared<int> tbrake{140};
    Guarded<PeakBufferPtr> pnewl;               // overview, two values per pixel
    Guarded<PeakBufferPtr> pnewr;               // reserved
    Guarded<PeakBufferPtr> wavebufL, wavebufR;  // waveform peaks after a lead-in of 2*surface zeros
    Guarded<QByteArray> peaks;                  // peak pairs as in the cache file
    Shared<bool> drawfirsttime;
    Shared<int> gfx_pos, gfx_posp, zoom, ms;
    Shared<bool> loaded;
    Shared<bool> loop;
    Shared<int> amstart, amfinish;              // reserved
    Shared<bool> plauto, plcreate;              // reserved
    Shared<int> xms, blen;                      // reserved
    Shared<bool> showwave;
    SharedText min, sec, msec;                  // reserved
    Shared<int> veces;                          // play count of this run
    Shared<TbassPlayMode> playmode{sStereo};
};
