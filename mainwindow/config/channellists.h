// The channel choices of the audio setup page, built from a device's output channel count n.
// Every entry ends with one blank, as the engine's routing captions do.
#pragma once

#include <QStringList>

class ChannelLists {
  public:
    // "Channel 1 + 2 " when n > 1, "Channel 3 + 4 " when n > 3, "Channel 5 + 6 " when n > 5;
    // pair position k is channels 2k + 1 and 2k + 2
    static QStringList pairs(int n);
    // "Channel 1 (Mono Left) ", "Channel 2 (Mono Right) " and, with `stereo`, "Stereo (Left + Right) "
    static QStringList mono(bool stereo);
    // the sampler row's choices: the pairs, "Both Deck A & Deck b " and "Not Assigned"
    static QStringList sampler(int n);
};
