// The output devices the configuration names, found again in the present device lists before
// output starts. Cards come and go and JACK clients are renamed: a stored index is trusted only
// when the device at it still has the stored name.
#pragma once

#include <vector>

#include <QString>

class PSoundConfig;

class StoredDevices {
public:
    struct Outcome {
        bool alsaGone = false;  // a named ALSA device of rows 0..2 is not listed any more
        bool jackGone = false;  // the same for JACK
    };
    // For rows 0..2 of each driver mode: a row whose index is -1 or whose name is "-" or empty
    // is not looked up. A named device found in the list gets its present index; one that is gone
    // gets index 0. Then, as before, an index past the end of its list becomes 0.
    //   listads: ALSA output names by device number (entry 0 unused), dsdevices the last number;
    //   dsnum is a list position (device number - 1).
    //   listaasio: JACK device names by index 0..asiodevices.
    static Outcome resolve(PSoundConfig& c, const std::vector<QString>& listads, int dsdevices,
                           const std::vector<QString>& listaasio, int asiodevices);
};
