// The two HID controllers as the main window connects them: the drivers (made at the first
// activation), their set-up from the configuration (inicializahidfile, inicializahidfile2), the
// button handlers that turn driver events into input events for the dispatcher
// (hIDCONTROL1Button, Hidcontrol2Button), the display update (updatehiddisplay,
// updatehiddisplay2), the light-timer step and the lights that mirror the surface. One
// implementation serves both controllers. UI thread only.
#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "controllers/hid/tostrelhid.h"
#include "engine/ostrelli.h"

class ControllerSurface;
class ControllerTables;
class DispatcherState;
class PSoundConfig;
class TControladora;
class TInfo;
class THidDisplay;

class HidControllers {
public:
    HidControllers(ControllerTables& tables, DispatcherState& state, ControllerSurface& surface,
                   PSoundConfig& config, TInfo& bp, std::function<void(TInfo&)> updatecontroler,
                   hid::Backend& backend, const QString& profile = GetUserProfile());
    ~HidControllers();
    HidControllers(const HidControllers&) = delete;
    HidControllers& operator=(const HidControllers&) = delete;

    // The first activation: both drivers are made and their device events bound.
    void createDrivers();
    // At every activation and after the configuration dialog: each controller whose device name
    // (porthid, porthid2) is neither "-" nor empty is set up and switched on; the others off.
    void setUp();
    // The window's close: both switched off and freed.
    void close();

    void inicializahidfile(const QString& name);
    void inicializahidfile2(const QString& name);
    void hIDCONTROL1Button(TOstrelHid* sender, bool status, int midichannel, int adata1, int adata2);
    void Hidcontrol2Button(TOstrelHid* sender, bool status, int midichannel, int adata1, int adata2);
    void updatehiddisplay(int deck);
    void updatehiddisplay2(int deck);

    // Steps 3 and 4 of the light timer: each driver holding a device sends its lights, or, with a
    // character display, both scroll positions advance and its display is updated.
    void Timer3Step();
    // The lights that mirror the surface: each enabled driver holding a device takes the state of
    // every light position's output code from `text` (242 characters "0"/"1"); sent by the
    // driver's next light update.
    void mirrorLights(const QString& text);

    // The driver of controller 1 or 2 when it exists and holds a device.
    TOstrelHid* live(int controller) const;

    std::unique_ptr<TOstrelHid> hidcontrol1;
    std::unique_ptr<TOstrelHid2> Hidcontrol2;
    std::unique_ptr<TControladora> controla;
    int loaderPauseMs = 10;

private:
    void inicializa(int n, const QString& name);
    void button(int n, int midichannel, int adata1, int adata2);
    void display(int n, int deck);
    void deckFields(TOstrelHid& d, const THidDisplay& hd, int deck);
    void mirror(int n, const QString& text);

    ControllerTables& tables_;
    DispatcherState& state_;
    ControllerSurface& surface_;
    PSoundConfig& config_;
    TInfo& bp_;
    std::function<void(TInfo&)> updatecontroler_;
    hid::Backend& backend_;
    QString profile_;
};
