// The "Audio Setup" page of the configuration dialog, as a model without widgets: the driver
// switches (JACK, ALSA), the routing mode, the device and channel selectors of the three rows,
// their handlers, the refresh of the device lists, the routing check and the store at OK.
// The view shows this state and passes the user's choices to the handlers; a choice made by
// the code (fills, the driver switch) runs no handler.
//
// Switching the driver takes effect at once: it stops the decks and writes `devicemode`;
// everything else reaches the configuration at OK.
#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "mainwindow/config/selector.h"

class ConfigEngine;
class ConfigPrompts;
class PSoundConfig;

class AudioSetupPage {
  public:
    struct Hooks {
        std::function<void()> hidePlaceholders;    // the sample boxes holding "xxx" shown empty
        std::function<void()> activate;            // the dialog's activation steps (after a refresh)
        std::function<void(bool)> busy;            // wait cursor on / off
        std::function<void()> front;               // this page to the front
        std::function<void(const QString&)> focus; // a selector by name ("dev1", "cha2", ...) gets the focus
        std::function<void()> changed;             // state changed after a question was answered
    };

    AudioSetupPage(ConfigEngine& engine, ConfigPrompts& prompts, Hooks hooks);

    // ---- state the view shows
    bool rdm1 = false, rdm2 = true;                         // driver switches: JACK (Tag 1), ALSA (Tag 2)
    int oldrm1 = 2;                                         // the Tag of the driver confirmed in this dialog
    QString workmode = QStringLiteral("  ALSA WORK MODE "); // the work mode group's caption
    int mode = 1;                                           // the selected work mode radio, rw1..rw6
    Caption titledc, lab1, lab2, lab3, lab4, lab5;
    Selector dev[3], cha[3]; // dev1..dev3, cha1..cha3

    static QString modeCaption(int mode); // "Single Channel External Mixer", ...

    // ---- fills
    // cambio: the device lists of the stored driver, the stored devices and channels, the
    // placeholder sample boxes emptied, the stored work mode's radio and its handler
    void cambio();
    // the stored driver's switch pressed (activation)
    void pressStoredDriver();
    // the stored devices and channels of the driver and the stored work mode, without handlers
    void selectStored();

    // ---- handlers
    void rw1Click(int radio); // the mode handler, for all six radios
    void dev1Change();
    void dev2Change();
    void dev3Change();
    void cha1Change();
    void cha2Change();
    void rdm1Click();        // JACK switch clicked
    void rdm2Click();        // ALSA switch clicked
    void Label67Click();     // "     JACK"
    void Label68Click();     // "     ALSA"
    void JvHTButton4Click(); // "Refresh Audio Device List"

    // The user's choice in a selector: the position, then the row's handler.
    void chooseDevice(int row, int position);
    void chooseChannel(int row, int position);

    // ---- OK
    // compruebosalidas: true when the routing may be stored; otherwise the warning was shown,
    // this page brought to the front, the named device handlers run again (keeping the channel
    // choices) and the offending selector focused.
    bool compruebosalidas();
    // Every shown selector holds a choice; otherwise says which and focuses it.
    bool selectionsComplete();
    // Store at OK: driver mode, devices, names and channels of the chosen driver, devicework.
    void store();

    // the driver the page works with: JACK ("ASIO") unless devicemode is 1
    bool asio() const;
    // output channels of the device chosen in row 0..2 (0 for none)
    int channels(int row) const;

  private:
    PSoundConfig& cfg() const;
    void rdmClick(int tag);
    void pressSwitch(int tag);
    void switchDriver(int tag);
    void deviceChange(int row);
    QString rowName(int row, bool device) const;

    ConfigEngine& engine_;
    ConfigPrompts& prompts_;
    Hooks hooks_;
    std::shared_ptr<int> alive_ =
        std::make_shared<int>(0); // answers that come after this page is gone go nowhere
};
