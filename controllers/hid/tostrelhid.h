// The HID controller driver: TOstrelHid for the first HID controller, TOstrelHid2 for the second
// (one class; the second differs in three points, marked `second`). It turns one device's input
// reports into button and value events (FonButton) and the window's light and text tables into
// output reports. Which byte means what comes from the controller's definition file (the loader
// fills tipo, multi, signo, ...). UI thread only; the device's own thread only reads and writes.
//
// Byte positions count from the first byte after the report ID. Every position a file or a device
// names is checked: a report shorter than a position reads 0 there, light and text positions past
// the tables are not written, output reports are cut to 65 bytes.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <QString>

#include "controllers/hid/hiddevicecontroller.h"

class TOstrelHid : public HidDeviceController {
public:
    // sender, status, midichannel (144 button, 176 value byte), adata1, adata2
    using Ttboton = std::function<void(TOstrelHid* sender, bool status, int midichannel, int adata1, int adata2)>;
    using Ttdatos = std::function<void(TOstrelHid* sender, bool status, const std::vector<QString>& c1)>;

    static constexpr int kDataPositions = 19;  // data bytes decoded per report
    static constexpr int kBytes = 66;          // per-byte tables 0..65
    static constexpr int kLights = 513;        // light positions 0..512
    static constexpr int kMaxReport = 65;      // report ID and 64 data bytes
    static constexpr int kMaxDevices = 51;     // device names 0..50

    TOstrelHid(hid::Backend& backend, bool second = false);

    // ---- events and device
    void activo();
    void desactivo();
    void setfenabled(bool v);
    bool eventsOn() const { return changeBound_; }
    void limpialista();
    int Enumerate();
    void setproname(const QString& name);
    void HidCtlDeviceChange();
    void HidCtlRemoval(HidDevice& device);
    void desconecta(HidDevice& device);
    bool FindIOWarrior(HidDevice& device) const;
    void initduplicate();
    QString finduplicate(const QString& name);

    // ---- reports
    // One input report: its ID and `size` data bytes (positions beyond them read 0).
    void ShowRead(HidDevice* device, int reportId, const uint8_t* data, int size);
    void updatelights();
    void updateleds();
    void ejecutacadena(const QString& s);
    void displaytexto(const QString& t, int first, int last);
    void displaydoble(int v, int first, int second);

    // A unit value nothing sets: always 0.
    static int damevalor() { return 0; }
    static QString HexToStr(const QString& t);
    static int BinToInt(const QString& t);
    // The text as a number, 0 when it is not one (an empty entry included).
    static int textNumber(const QString& t);

    // Writes a light position's text; positions outside 0..512 are not written.
    void setLight(int position, const QString& text);

    Ttboton FonButton;
    Ttdatos Fondatos;
    std::shared_ptr<HidDevice> hercules;
    bool conectado = false;
    bool fenabled = true;
    QString proname;
    std::array<int, kLights> boton{}, botpres{}, potpres{};
    std::array<QString, kLights> lights;
    std::array<QString, kBytes> leds;
    std::array<int, kBytes> tipo{}, tipol{}, multi{}, valor{}, signo{}, sumar{}, dire{}, envio{}, btoi{};
    int direzero = 0, direlow = 0, direhig = 0, rangezero = 0;
    std::array<QString, kBytes> luces, lista;
    int xn = 0;
    QString cadenatexto, cadenaled;
    int modotexto = 0;
    bool uplight = false;

    // the unit's state (one set per driver)
    std::array<QString, kBytes> lista2;
    std::array<QString, kMaxDevices> oldpn2;
    int indexoldpn2 = 0;
    QString hproducname;
    QString rid = QStringLiteral("00");
    // last value of each direction counter, by the counter's byte position
    std::array<int, 100> valsigno{};

    const bool second;

private:
    bool HidCtldevEnumerate(HidDevice& device, int index);
    void bindDevice();
    void unbindDevice();
    void writeReport(std::vector<uint8_t>& report);
    int outputLength() const;

    bool changeBound_ = false;   // the device-change and removal events: the driver's events-on state
    bool enumerateBound_ = false;
};

// The second HID controller's driver.
class TOstrelHid2 : public TOstrelHid {
public:
    explicit TOstrelHid2(hid::Backend& backend) : TOstrelHid(backend, true) {}
};
