// The main loop and its pause (mmain), the waveform timer timer4, the blink timer Tscratch and
// the popup menus' pause.
#include <QMenu>
#include <QTimer>

#include "mainwindow/tform1.h"

void Tform1::wireMainLoop()
{
    loop.doPlaying = [this] { doPlaying(); };
    onTimer(QStringLiteral("timer4"), &Tform1::timer4Timer);
    onTimer(QStringLiteral("Tscratch"), &Tform1::TscratchTimer);
    // the popup menus pause the loop while they are open
    const std::pair<const char*, void (Tform1::*)()> menus[] = {{"JvPopupMenu1", &Tform1::JvPopupMenu1Popup},
                                                                {"JvPopupMenu2", &Tform1::JvPopupMenu2Popup},
                                                                {"JvPopupMenu3", &Tform1::JvPopupMenu3Popup},
                                                                {"JvPopupMenu4", &Tform1::JvPopupMenu4Popup}};
    for (const auto& [name, popup] : menus) {
        auto* menu = get<QMenu>(QLatin1String(name));
        if (!menu) continue;
        // the menus' own Popup pauses the loop, then their before-popup event runs
        connect(menu, &QMenu::aboutToShow, this, [this, popup] {
            mmain(false);
            (this->*popup)();
        });
        connect(menu, &QMenu::aboutToHide, this, &Tform1::mjvpopupmenuhide);
    }
}

void Tform1::timer4Timer() { loop.timer4Timer(); }

void Tform1::TscratchTimer() { loop.TscratchTimer(); }

void Tform1::mjvpopupmenuhide() { mmain(true); }

void Tform1::JvPopupMenu1Popup() { mmain(false); }
void Tform1::JvPopupMenu2Popup() { mmain(false); }
void Tform1::JvPopupMenu3Popup() { mmain(false); }
void Tform1::JvPopupMenu4Popup() {}
