// The small pictures beside the work mode radios: where deck A (amber) and deck B (green), or
// the master and the headphones, leave the sound card(s) in each routing mode.
#pragma once

#include <QPixmap>

class RoutingPictures {
  public:
    static constexpr int kWidth = 84, kHeight = 44;
    // mode 1..6
    static QPixmap picture(int mode);
};
