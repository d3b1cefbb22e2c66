// The program's configuration. The stored part is the single row of the library's `config`
// table; the run-time flags of the controller set-up are not stored. Created zero and empty,
// like the row-less record; the library fills it from the row.
#pragma once

#include <array>

#include "engine/shared.h"

class PSoundConfig {
public:
    PSoundConfig() = default;

    std::array<Shared<int>, 4> dsnum{}, dschan{};
    std::array<SharedText, 4> dsname{};
    std::array<Shared<int>, 4> asnum{}, aschan{};
    std::array<SharedText, 4> asname{};
    Shared<int> micin, micout;
    SharedText s1, s2, s3, s4, s5, s6;           // sample files
    SharedText controler, portconin;            // first MIDI controller ("-" none)
    SharedText controler2, portconin2;
    SharedText hid, porthid, hid2, porthid2;
    SharedText skin;
    SharedText dj;                              // reserved
    Shared<bool> initcontroler, inicializada, initcontroler2, inicializada2;  // run-time only
    Shared<bool> initHid, initHid2, inicializadaH;                            // run-time only
    Shared<int> devicework;                     // routing mode 1..6
    Shared<int> devicemode;                     // 1 DirectSound, 0 ASIO
    Shared<int> devicework2;                    // stored copy, read only
    Shared<int> dr, lr;                         // automix fade / other-deck start, seconds
    Shared<int> brake;                          // seconds: 5, 10, 15
    Shared<int> pitch;                          // range, percent
    Shared<int> cutdb;
    Shared<int> wmode1, wmode2;                 // jog modes 0..3
    Shared<int> wcue1, wcue2;                   // cue button modes 0/1
    Shared<int> wexp;                           // panel layout
    SharedText wasio;                           // reserved
    Shared<int> wzoom1, wzoom2;
    Shared<int> wfull;
    Shared<int> com;                            // performance level 0..2
    Shared<bool> usekeylock;
    Shared<bool> recinternal;
    Shared<int> micchan, micnum;
    SharedText micname;
    Shared<int> recchan, recnum;
    SharedText recname;
    Shared<int> lpitp1, lpitp2;
    Shared<int> svol1, svol2;
    SharedText rdownload, rrecord;              // "-" none

    // The sample file of slot 1..6; nullptr outside that range.
    SharedText* sample(int slot);
};
