// The routing check run at OK (compruebosalidas): whether the chosen channels fit the chosen
// devices in the selected routing mode. The first check of the active driver that fails names
// its warning, the device handlers to run again and the channel selector to focus.
//
// A device selector with no selection counts as a device with no channels: nothing is read
// outside the device lists, and the check refuses it.
#pragma once

#include <vector>

#include <QString>

struct RoutingInput {
    bool asio = false;    // JACK driver; false: ALSA
    int mode = 1;         // devicework 1..6
    int p1 = -1, p2 = -1; // positions of cha1, cha2
    int d1 = -1, d2 = -1; // positions of dev1, dev2
    int n1 = 0, n2 = 0;   // output channels of the devices at d1, d2 (0 for none)
};

struct RoutingResult {
    bool ok = true;
    QString text;           // the warning
    std::vector<int> rerun; // device handlers to run again: 1, 2
    int focus = 0;          // channel selector to focus: 1 cha1, 2 cha2
};

class RoutingCheck {
  public:
    static RoutingResult check(const RoutingInput& in);

    static constexpr char kSameDeckChannel[] = "Cannot assign Deck A/ Deck B at the same Channel.....";
    static constexpr char kNotEnough[] = "Not enought Channels to be Assigned........";
    static constexpr char kSameMasterChannel[] = "Cannot assign Master / HeadPhones at the same Channel...";
    static constexpr char kSameMasterDevice[] =
        "Cannot assign Master / HeadPhones at the same Channel in the same Device..";
};
