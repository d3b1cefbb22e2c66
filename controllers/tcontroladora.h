// The controller definition loader and the control vocabulary. A loader object exists to load one
// file: a MIDI controller's definition (tcontroladoramidi.cpp) or the keyboard map
// (tcontroladorateclado.cpp). Every input control a definition can drive has a control code
// (0 to 267), every output it can light an output code (1 to 242); files name them, the two
// look-ups turn names into codes. UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include <QByteArray>
#include <QString>

#include "engine/ostrelli.h"

class ControllerSurface;
class ControllerTables;
class DefinitionRow;
class TMidDisplay;
class THidDisplay;
class TOstrelHid;

// The first two characters of `text`, upper or lower case, as one hexadecimal byte. Nothing when
// there are fewer than two characters or they are not both hexadecimal digits.
std::optional<int> HexToByte(const QString& text);

class TControladora {
public:
    static constexpr int kInputCodes = 268;   // control codes 0..267
    static constexpr int kOutputCodes = 254;  // output codes 0..253 (1..242 named)

    // `form` holds the tables and options the loads write; `surface` shows the load's message and
    // reaches the decks; definition files are looked up under `profile`'s devices folder.
    TControladora(ControllerTables& form, ControllerSurface& surface, const QString& profile = GetUserProfile());
    virtual ~TControladora() = default;

    // input names by control code, output names by output code ("" for 0 and 243..253)
    std::array<QString, kInputCodes> midiconst;
    std::array<QString, kOutputCodes> midiconstl;
    // controller-number filters of MIDI controller 1 and 2, by data byte 1: 1 = dropped
    std::array<uint8_t, 128> ignore{}, ignore2{};
    ControllerTables& mmform;

    // The code of a name, compared as a whole with a to z upper-cased; 0 when none matches. The
    // empty name matches every unnamed output slot, so damecontrolou("") is 253.
    int damecontrol(const QString& name) const;
    int damecontrolou(const QString& name) const;

    // MIDI definition files of controller 1 and 2: the bare file name in the profile's devices
    // folder. A missing file changes nothing; an unreadable one shows "XML Error...Not Loaded"
    // and keeps the rows read before the error.
    void loadcontroller(const QString& fileName);
    void loadcontroller2(const QString& fileName);
    // HID definition files of HID controller 1 and 2: the bare file name in the profile's
    // devices/HID folder (either in any case). Nothing happens without that controller's driver or
    // without the file; an unreadable one shows "XML Error...Not Loaded".
    void loadhidcontroller(const QString& fileName);
    void loadhidcontroller2(const QString& fileName);
    void loadhidcontrollerData(int controller, const QByteArray& xml);
    // The keyboard map at the full path `path` into keyinbut.
    void loadteclado(const QString& path);

    // The same loads from a document in memory (controller 1 or 2).
    void loadcontrollerData(int controller, const QByteArray& xml);
    void loadtecladoData(const QByteArray& xml);

    // The pause after each load that reached the file, in milliseconds.
    int pauseMs = 10;

private:
    void loadMidi(int controller, const QString* path, const QByteArray* data);
    void midiRow(int controller, const DefinitionRow& row);
    void inputRow(int controller, const DefinitionRow& row);
    void outputRow(int controller, const DefinitionRow& row);
    void displayText(TMidDisplay& hd, const DefinitionRow& row, int count);
    void loadHid(int controller, const QString* path, const QByteArray* data);
    void hidRow(int controller, TOstrelHid& driver, THidDisplay& hd, const DefinitionRow& row);
    void hidLayout(int controller, TOstrelHid& driver, const DefinitionRow& row);
    void loadKeys(const QString* path, const QByteArray* data);
    void keyRow(const DefinitionRow& row);
    // Parses the document and hands each row, from the root's first ROW on, to `each`; shows the
    // message on any error.
    void readRows(const QString* path, const QByteArray* data, const std::function<void(const DefinitionRow&)>& each);
    void pause() const;

public:
    // a to z upper-cased, every other character as it is
    static QString upperAscii(const QString& s);

private:
    ControllerSurface& surface_;
    QString profile_;
    std::array<QString, kInputCodes> inputUpper_;
    std::array<QString, kOutputCodes> outputUpper_;
};
