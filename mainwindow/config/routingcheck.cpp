#include "mainwindow/config/routingcheck.h"

#include <algorithm>

namespace {

RoutingResult refuse(const char* text, std::vector<int> rerun, int focus) {
    RoutingResult r;
    r.ok = false;
    r.text = QString::fromLatin1(text);
    r.rerun = std::move(rerun);
    r.focus = focus;
    return r;
}

// a pair position k needs 2k + 2 channels
bool fits(int channels, int pair) {
    return channels >= 2 * std::max(pair, 0) + 2;
}

} // namespace

RoutingResult RoutingCheck::check(const RoutingInput& in) {
    const bool asio = in.asio;
    const int p1 = in.p1, p2 = in.p2;
    const int top = std::max({p1, p2, 0});
    switch (in.mode) {
    case 1:
        // both decks may share "Stereo (Left + Right) " (position 2)
        if (p1 == p2 && p1 < 2) return refuse(kSameDeckChannel, {1}, 2);
        break;
    case 2:
        if (!fits(in.n1, top)) return refuse(kNotEnough, {1}, 1);
        break;
    case 3:
        if (p1 == p2) return refuse(kSameMasterChannel, asio ? std::vector<int>{} : std::vector<int>{1}, 2);
        if (!fits(in.n1, top)) return refuse(kNotEnough, {1}, 1);
        break;
    case 4:
        if (p1 == p2) return refuse(asio ? kNotEnough : kSameMasterChannel, {1}, 2);
        if (in.n1 < 2) return refuse(kNotEnough, asio ? std::vector<int>{} : std::vector<int>{1}, 1);
        break;
    case 5:
    case 6:
        if (in.mode == 6 && in.d1 == in.d2 && p1 == p2)
            return refuse(asio ? kSameMasterDevice : kSameMasterChannel, {1, 2}, 2);
        if (!fits(in.n1, p1)) return refuse(kNotEnough, {1}, 1);
        if (!fits(in.n2, p2)) return refuse(kNotEnough, {2}, 2);
        break;
    default:
        break;
    }
    return {};
}
