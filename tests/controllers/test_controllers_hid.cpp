// The HID driver over the fake device layer: input report decoding (buttons, high bytes, direction
// counters and bytes, short reports), device names and check-out, light and character reports,
// texts and numbers; the HID definition rows; the HID input handler in single and fixed mode; the
// HID display fields.
#include <gtest/gtest.h>

#include <tuple>

#include "controllers/controllertables.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/hid/hidcontrollers.h"
#include "controllers/tcontroladora.h"
#include "engine/psoundconfig.h"
#include "platform/hid/fakehidbackend.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"
#include "tests/controllers/hiddevice.h"
#include "tests/controllers/qtapp.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Event = std::tuple<int, int, int>;  // midichannel, adata1, adata2


// A driver holding the fake's device "Deck" (output reports of `out` bytes).
class CtlHidDriver : public ::testing::Test {
protected:
    explicit CtlHidDriver(int out = 9) : driver(backend)
    {
        ensureApp();
        backend.plug(device("/dev/hidraw1", "Deck", 20, out));
        driver.activo();
        driver.limpialista();
        driver.Enumerate();
        driver.setproname("Deck");
        driver.HidCtlDeviceChange();
        driver.FonButton = [this](TOstrelHid*, bool, int c, int a1, int a2) { events.emplace_back(c, a1, a2); };
    }

    std::vector<Event> read(const Bytes& data)
    {
        events.clear();
        driver.ShowRead(nullptr, 0, data.data(), int(data.size()));
        return events;
    }
    // the value-byte events only
    std::vector<Event> values(const Bytes& data)
    {
        std::vector<Event> v;
        for (const Event& e : read(data))
            if (std::get<0>(e) == 176) v.push_back(e);
        return v;
    }
    Bytes lastWritten(size_t count)
    {
        EXPECT_TRUE(backend.waitWritten("/dev/hidraw1", count, 5000));
        const auto w = backend.written("/dev/hidraw1");
        return w.size() >= count ? w[count - 1] : Bytes{};
    }

    hid::FakeHidBackend backend;
    TOstrelHid driver;
    std::vector<Event> events;
};

}  // namespace

TEST_F(CtlHidDriver, ChecksOutTheConfiguredDevice)
{
    ASSERT_TRUE(driver.hercules);
    EXPECT_TRUE(driver.conectado);
    EXPECT_EQ(driver.lista[0], "Deck");
    EXPECT_EQ(backend.openCount("/dev/hidraw1"), 1);
}

// A device change while the held device is already gone lists nothing; the device plugged in
// again is checked out at the next change, by its own name.
TEST_F(CtlHidDriver, ADevicePluggedInAgainIsCheckedOutAgain)
{
    ASSERT_TRUE(driver.hercules);
    backend.unplug("/dev/hidraw1");
    EXPECT_TRUE(driver.poll());
    EXPECT_FALSE(driver.hercules);
    EXPECT_FALSE(driver.conectado);
    backend.plug(device("/dev/hidraw1", "Deck"));
    EXPECT_TRUE(driver.poll());
    ASSERT_TRUE(driver.hercules);
    EXPECT_TRUE(driver.conectado);
    EXPECT_EQ(backend.openCount("/dev/hidraw1"), 1);  // the new device's first opening
    // nothing changed since: the next checks leave the device alone
    EXPECT_FALSE(driver.poll());
    EXPECT_TRUE(driver.hercules);
}

TEST_F(CtlHidDriver, ButtonBytesPressAndReleaseOnlyWhatChanged)
{
    EXPECT_EQ(read({0x05}), (std::vector<Event>{{144, 1, 127}, {144, 3, 127}}));
    EXPECT_EQ(read({0x04}), (std::vector<Event>{{144, 1, 0}}));
    EXPECT_TRUE(read({0x04}).empty());
    // data byte 1, bit 0 is button 9
    EXPECT_EQ(read({0x04, 0x01}), (std::vector<Event>{{144, 9, 127}}));
}

TEST_F(CtlHidDriver, ValueBytesRaiseOnlyWhenTheyChange)
{
    driver.tipo[3] = 1;
    EXPECT_EQ(read({0, 0, 0, 40}), (std::vector<Event>{{176, 3, 40}}));
    EXPECT_TRUE(read({0, 0, 0, 40}).empty());
    EXPECT_EQ(read({0, 0, 0, 41}), (std::vector<Event>{{176, 3, 41}}));
}

TEST_F(CtlHidDriver, HighBytes)
{
    driver.tipo[3] = 1;
    driver.multi[3] = 4;
    const struct {
        int high, expected;
    } cases[] = {{2, 10 + 2 * 255}, {255, 10 - 255}, {31, 10 - 225 * 255}, {0, 10}, {30, 10 + 30 * 255}};
    for (const auto& c : cases) {
        read({0, 0, 0, 0, 0});  // value 0 first, so that 10 is a change
        EXPECT_EQ(values({0, 0, 0, 10, uint8_t(c.high)}), (std::vector<Event>{{176, 3, c.expected}})) << c.high;
    }
}

TEST_F(CtlHidDriver, DirectionCounterWrapsAndKeepsOneDirectionPerCounter)
{
    driver.tipo[1] = 1;
    driver.signo[1] = 5;
    const auto turn = [&](int counter, int value) {
        const auto e = values({0, uint8_t(value), 0, 0, 0, uint8_t(counter)});
        return e.empty() ? -1 : std::get<2>(e[0]);
    };
    driver.valsigno[5] = 5;
    EXPECT_EQ(turn(6, 3), 66 + 3);
    EXPECT_EQ(turn(4, 3), 62 - 3);
    EXPECT_EQ(turn(4, 9), 64);  // the counter stood still: at rest
    driver.valsigno[5] = 255;
    EXPECT_EQ(turn(0, 2), 68);  // 255 -> 0 is upward
    driver.valsigno[5] = 0;
    EXPECT_EQ(turn(255, 2), 60);  // 0 -> 255 is downward

    // a second wheel with its own counter does not take the first one's direction
    driver.tipo[2] = 1;
    driver.signo[2] = 6;
    driver.valsigno[5] = 10;
    driver.valsigno[6] = 10;
    EXPECT_EQ(values({0, 1, 1, 0, 0, 11, 9}), (std::vector<Event>{{176, 1, 67}, {176, 2, 61}}));
}

TEST_F(CtlHidDriver, DirectionByte)
{
    driver.tipo[1] = 1;
    driver.dire[1] = 2;
    driver.direlow = 10;
    driver.direzero = 128;
    driver.direhig = 250;
    driver.rangezero = 64;
    const struct {
        int dir, v, expected;
    } cases[] = {{5, 35, 64}, {200, 35, 67}, {100, 35, 61}, {250, 35, 64}};
    for (const auto& c : cases) {
        read({0, 0, 0});
        EXPECT_EQ(values({0, uint8_t(c.v), uint8_t(c.dir)}), (std::vector<Event>{{176, 1, c.expected}})) << c.dir;
    }
}

TEST_F(CtlHidDriver, AShortReportReadsMissingBytesAsZero)
{
    driver.tipo[3] = 1;
    driver.multi[3] = 40;  // a high byte far past the report
    driver.tipo[18] = 1;
    read(Bytes(19, 0));
    // a 5-byte report: bytes 5..18 and 40 read 0, nothing past the buffer is touched
    const Bytes shortReport = {0x01, 0, 0, 9, 0};
    const std::unique_ptr<uint8_t[]> exact(new uint8_t[5]);
    std::copy(shortReport.begin(), shortReport.end(), exact.get());
    events.clear();
    driver.ShowRead(nullptr, 0, exact.get(), 5);
    EXPECT_EQ(events, (std::vector<Event>{{144, 1, 127}, {176, 3, 9}}));
}

TEST_F(CtlHidDriver, RawReportTextsWhenBound)
{
    std::vector<QString> texts;
    driver.Fondatos = [&](TOstrelHid*, bool, const std::vector<QString>& t) { texts = t; };
    driver.ShowRead(nullptr, 0x2A, Bytes{0xAB, 1}.data(), 2);
    ASSERT_EQ(texts.size(), 23u);
    EXPECT_EQ(texts[0], "AB");
    EXPECT_EQ(texts[1], "01");
    EXPECT_EQ(texts[2], "00");
    EXPECT_EQ(texts[19], "2A");
    EXPECT_EQ(driver.rid, "2A");
}

namespace {
// output reports of 3 bytes: report ID and two data bytes
class CtlHidDriver3 : public CtlHidDriver {
protected:
    CtlHidDriver3() : CtlHidDriver(3) {}
};
}  // namespace

TEST_F(CtlHidDriver3, LightReportPacksBitsFirstLightHighest)
{
    ASSERT_TRUE(driver.hercules);
    const char* bits[] = {"1", "0", "0", "0", "0", "0", "0", "1"};
    for (int i = 0; i < 8; ++i) driver.lights[size_t(i + 1)] = bits[i];
    driver.tipol[2] = 1;
    driver.lights[9] = "200";
    driver.updatelights();
    EXPECT_EQ(lastWritten(1), (Bytes{0, 0x81, 200}));
    // the report ID of the last input report goes first; entries that are no number count 0
    driver.ShowRead(nullptr, 5, Bytes{0}.data(), 1);
    driver.lights[9] = "x";
    driver.updatelights();
    EXPECT_EQ(lastWritten(2), (Bytes{5, 0x81, 0}));
    EXPECT_FALSE(driver.uplight);
}

TEST_F(CtlHidDriver, TextsNumbersAndCommandStrings)
{
    driver.displaytexto("HELLO", 1, 4);
    EXPECT_EQ(driver.leds[1], "72");
    EXPECT_EQ(driver.leds[2], "69");
    EXPECT_EQ(driver.leds[3], "76");
    EXPECT_EQ(driver.leds[4], "32");
    EXPECT_EQ(lastWritten(1), (Bytes{0, 72, 69, 76, 32, 0, 0, 0, 0}));

    driver.ejecutacadena("B001FF");
    EXPECT_EQ(driver.leds[1], "176");
    EXPECT_EQ(driver.leds[2], "1");
    EXPECT_EQ(driver.leds[3], "255");
    for (int j = 4; j <= 64; ++j) EXPECT_EQ(driver.leds[size_t(j)], "0");
    // more than 65 pairs are cut; a pair that is not hexadecimal ends the string
    driver.ejecutacadena(QString(200, QLatin1Char('1')));
    EXPECT_EQ(driver.leds[65], "17");
    driver.ejecutacadena("0102ZZ04");
    EXPECT_EQ(driver.leds[2], "2");
    EXPECT_EQ(driver.leds[3], "0");

    driver.displaydoble(1280, 2, 3);
    EXPECT_EQ(driver.lights[17], "5");
    EXPECT_EQ(driver.lights[25], "0");
    driver.displaydoble(7, 2, 0);
    EXPECT_EQ(driver.lights[17], "7");
    // positions past the light table are not written
    driver.displaydoble(7, 70, 0);
    driver.displaytexto("ABCDEFGH", 60, 90);
    driver.modotexto = 1;
    driver.displaytexto("ABCDEFGH", 60, 90);
    SUCCEED();
}

TEST_F(CtlHidDriver, TextInLightMode)
{
    driver.modotexto = 1;
    driver.displaytexto("AB", 2, 4);
    // the area's output bytes 3..5 are marked; the text starts one byte before them
    EXPECT_EQ(driver.lights[9], "65");
    EXPECT_EQ(driver.lights[17], "66");
    EXPECT_EQ(driver.lights[25], "1");
    EXPECT_EQ(driver.lights[33], "1");
}

TEST(CtlHidNames, DuplicatesAreNumberedAndShortDevicesHaveNoName)
{
    ensureApp();
    hid::FakeHidBackend backend;
    backend.plug(device("/dev/hidraw0", "Keyboard", 9));
    backend.plug(device("/dev/hidraw1", "P"));
    backend.plug(device("/dev/hidraw2", "P"));
    backend.plug(device("/dev/hidraw3", "P"));
    hid::DeviceInfo broken = device("/dev/hidraw4", "Broken");
    broken.capsOk = false;
    broken.inputLength = 10;
    backend.plug(broken);

    TOstrelHid first(backend);
    first.activo();
    first.limpialista();
    first.Enumerate();
    EXPECT_EQ(first.xn, 5);
    EXPECT_EQ(first.lista[0], "");
    EXPECT_EQ(first.lista[1], "P");
    EXPECT_EQ(first.lista[2], "P 1");
    EXPECT_EQ(first.lista[3], "P 2");
    EXPECT_EQ(first.lista[4], "");

    first.setproname("P 1");
    first.HidCtlDeviceChange();
    ASSERT_TRUE(first.hercules);
    EXPECT_EQ(first.hercules->info().path, "/dev/hidraw2");

    TOstrelHid2 second(backend);
    second.activo();
    second.limpialista();
    second.Enumerate();
    EXPECT_EQ(second.lista[0], "Keyboard");
    EXPECT_EQ(second.lista[4], "Broken");
}

TEST(CtlHidNames, MoreThan51DevicesAreListedNowhere)
{
    ensureApp();
    hid::FakeHidBackend backend;
    for (int i = 0; i < 60; ++i) backend.plug(device("/dev/hidraw" + std::to_string(i), "P"));
    TOstrelHid2 driver(backend);
    driver.activo();
    driver.limpialista();
    driver.Enumerate();
    EXPECT_EQ(driver.xn, 51);
    EXPECT_EQ(driver.lista[50], "P 50");
    EXPECT_EQ(driver.devices()[55]->Tag, -1);
}

TEST(CtlHidNames, OutputReportsAreCutTo65Bytes)
{
    ensureApp();
    hid::FakeHidBackend backend;
    backend.plug(device("/dev/hidraw1", "Big", 20, 300));
    TOstrelHid driver(backend);
    driver.activo();
    driver.limpialista();
    driver.Enumerate();
    driver.setproname("Big");
    driver.HidCtlDeviceChange();
    ASSERT_TRUE(driver.hercules);
    driver.lights.fill("1");
    driver.updatelights();
    driver.updateleds();
    ASSERT_TRUE(backend.waitWritten("/dev/hidraw1", 2, 5000));
    for (const Bytes& r : backend.written("/dev/hidraw1")) EXPECT_EQ(r.size(), 65u);
}

// ---- definition rows

namespace {

class CtlHidDefinition : public ::testing::Test {
protected:
    CtlHidDefinition() : driver(backend), loader(tables, surface, QString())
    {
        ensureApp();
        tables.hidcontrol1 = &driver;
        loader.pauseMs = 0;
    }
    void load(std::initializer_list<Row> rows) { loader.loadhidcontrollerData(1, definition(rows)); }

    hid::FakeHidBackend backend;
    TOstrelHid driver;
    ControllerTables tables;
    FakeSurface surface;
    TControladora loader;
};

}  // namespace

TEST_F(CtlHidDefinition, ButtonAndValueRows)
{
    load({{"INPUT", "9", "144", "BTNPLAYA", "127"},
          {"INPUT", "309", "144", "BTNPLAYB", "63"},
          {"INPUT", "3", "176", "POTVOLUMENA", "127", "0", "0", "0", "CtrlI"},
          {"INPUT", "4", "176", "POTVOLUMENB", "127", "0", "0", "0", "Ctrl"},
          {"INPUT", "5", "176", "POTCROSSFADER", "127"},
          {"INPUT", "6", "177", "POTCROSSFADER", "127"}});
    EXPECT_EQ(tables.hidinbut[9], (MappingEntry{1, 144, 127, 0, 0, 0, 0}));
    EXPECT_EQ(tables.hidinbut[309], (MappingEntry{35, 144, 63, 0, 0, 0, 0}));
    EXPECT_EQ(tables.hidinpot[3][6], 0);
    EXPECT_EQ(tables.hidinpot[4][6], 1);
    EXPECT_EQ(tables.hidinpot[5][6], 1);
    EXPECT_EQ(tables.hidinpot[6][0], 0);
    EXPECT_TRUE(surface.messages.empty());
}

TEST_F(CtlHidDefinition, LayoutKeys)
{
    load({{"CONFIG", nullptr, nullptr, "B0011"}, {"CONFIG", nullptr, nullptr, "L01"}, {"CONFIG", nullptr, nullptr, "M0405"}});
    EXPECT_EQ(driver.tipo[1], 0);
    EXPECT_EQ(driver.tipo[2], 0);
    EXPECT_EQ(driver.tipo[3], 1);
    EXPECT_EQ(driver.tipo[4], 1);
    EXPECT_EQ(driver.tipo[5], 0);
    EXPECT_EQ(driver.tipol[1], 0);
    EXPECT_EQ(driver.tipol[2], 1);
    EXPECT_EQ(driver.multi[1], 4);
    EXPECT_EQ(driver.multi[2], 0);
    load({{"CONFIG", nullptr, nullptr, "M04051"}, {"CONFIG", "0", nullptr, "X0203", "128", "64", "10", "250"},
          {"CONFIG", nullptr, nullptr, "+0506"}, {"CONFIG", nullptr, nullptr, "CHARDISPLAY"}});
    EXPECT_EQ(driver.multi[1], 4);
    EXPECT_EQ(driver.multi[2], 5);
    EXPECT_EQ(driver.dire[1], 2);
    EXPECT_EQ(driver.direzero, 128);
    EXPECT_EQ(driver.rangezero, 64);
    EXPECT_EQ(driver.direlow, 10);
    EXPECT_EQ(driver.direhig, 250);
    EXPECT_EQ(driver.signo[1], 5);
    EXPECT_EQ(tables.CHARDISPLAY1, 1);
    // the next load starts the counters afresh
    driver.valsigno[5] = 9;
    load({{"CONFIG", nullptr, nullptr, "B1"}});
    EXPECT_EQ(driver.signo[1], 0);
    EXPECT_EQ(driver.valsigno[5], 0);
    EXPECT_EQ(tables.CHARDISPLAY1, 0);
}

TEST_F(CtlHidDefinition, ModeRows)
{
    const struct {
        const char* key;
        int modo;
        const char* deck;
    } cases[] = {{"SINGLE", 0, ""}, {"CARGAA", 1, "A"}, {"CARGAB", 1, "B"}, {"OTHER", 1, ""}};
    for (const auto& c : cases) {
        tables.midmodo1 = 0;
        load({{"MODO", nullptr, nullptr, c.key}});
        EXPECT_EQ(tables.hd.modo, c.modo) << c.key;
        EXPECT_EQ(tables.hd.cargasingle, c.deck) << c.key;
        // "SINGLE" sets the controller mode to 1, the others leave it
        EXPECT_EQ(tables.midmodo1, QString(c.key) == "SINGLE" ? 1 : 0) << c.key;
    }
    tables.hd.cargasingle = "B";
    load({{"CONFIG", nullptr, nullptr, "B1"}});
    EXPECT_EQ(tables.hd.modo, 1);
    EXPECT_EQ(tables.hd.cargasingle, "B");
}

TEST_F(CtlHidDefinition, OptionsAndDisplayRows)
{
    load({{"SPACES", nullptr, nullptr, nullptr, "1"}, {"NOSCROLL", nullptr, nullptr, nullptr, "0"}});
    EXPECT_TRUE(tables.hd.spaces.isEmpty());
    EXPECT_FALSE(tables.hd.scrollamos);
    load({{"SPACES", nullptr, nullptr, nullptr, "5"}, {"NOSCROLL", nullptr, nullptr, nullptr, "1"},
          {"OUTPUT", "305", "0", "SHEADPHONESB"}, {"OUTPUT", "12", "0", "SHEADPHONESA"},
          {"DTEXTOA", "1", "16", nullptr, "1"}, {"DBPMA", "4", "5"}, {"SUMAR", "3", nullptr, nullptr, nullptr, nullptr,
                                                                          nullptr, nullptr, "7"},
          {"FIXED", "40", "0"}, {"FIXED", "41", "9"}, {"FIXEDB", "42"}, {"CADENAINI", nullptr, nullptr, "B0"},
          {"FIXTEXTO", nullptr, nullptr, "KORVANTA"}});
    EXPECT_EQ(tables.hd.spaces, "     ");
    EXPECT_TRUE(tables.hd.scrollamos);
    EXPECT_EQ(tables.hd.sheadb, 5);
    EXPECT_EQ(tables.hd.sheada, 12);
    EXPECT_EQ(tables.hidourec2[305][0], 84);
    EXPECT_EQ(tables.hidourec[84][0], 305);
    EXPECT_EQ(tables.hd.dtextoAstart, 1);
    EXPECT_EQ(tables.hd.dtextoAlength, 16);
    EXPECT_EQ(driver.modotexto, 1);
    EXPECT_EQ(tables.hd.dbpmAstart, 4);
    EXPECT_EQ(tables.hd.dbpmAlength, 5);
    EXPECT_EQ(driver.valor[3], 7);
    EXPECT_EQ(tables.hd.fixed[40], "1");
    EXPECT_EQ(tables.hd.fixed[41], "9");
    EXPECT_EQ(tables.hd.fixedB[42], "1");
    EXPECT_EQ(tables.hd.cadenaini, "B0");
    EXPECT_EQ(tables.hd.fixtext, "KORVANTA");
}

TEST_F(CtlHidDefinition, RowsWithPositionsPastTheTablesAreRefused)
{
    load({{"INPUT", "521", "144", "BTNPLAYA", "127"},
          {"INPUT", "520", "144", "BTNPLAYA", "127"},
          {"OUTPUT", "9999", "0", "SPLAYA"},
          {"SUMAR", "66", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "7"},
          {"FIXED", "600", "0"},
          {"SPACES", nullptr, nullptr, nullptr, "2000000000"},
          {"INPUT", "1", "144", "BTNCUEA", "127"}});
    EXPECT_EQ(tables.hidinbut[520][0], 1);
    EXPECT_EQ(tables.hidourec[3][0], 0);
    EXPECT_EQ(tables.hd.spaces.size(), 64);
    EXPECT_EQ(tables.hidinbut[1][0], 2);  // the rows after are read
    EXPECT_TRUE(surface.messages.empty());
    // a layout key longer than the byte tables fills what fits
    loader.loadhidcontrollerData(1, definition({{"CONFIG", nullptr, nullptr, nullptr}}).replace(
                                        "<control_group>CONFIG</control_group>",
                                        QByteArray("<control_group>CONFIG</control_group><control_key>B") +
                                            QByteArray(99, '1') + "</control_key>"));
    EXPECT_EQ(driver.tipo[65], 1);
}

TEST_F(CtlHidDefinition, AReadingErrorKeepsTheRowsBefore)
{
    load({{"INPUT", "9", "144", "BTNPLAYA", "127"}, {"INPUT", "x", "144", "BTNCUEA", "127"},
          {"INPUT", "10", "144", "BTNCUEA", "127"}});
    EXPECT_EQ(tables.hidinbut[9][0], 1);
    EXPECT_EQ(tables.hidinbut[10][0], 0);
    EXPECT_EQ(surface.messages, std::vector<QString>{"XML Error...Not Loaded"});
    surface.messages.clear();
    load({{"CONFIG", nullptr, nullptr, "B0x1"}});
    EXPECT_EQ(surface.messages, std::vector<QString>{"XML Error...Not Loaded"});
}

TEST_F(CtlHidDefinition, NothingWithoutTheDriverOrTheFile)
{
    tables.hidcontrol1 = nullptr;
    tables.hd.modo = 0;
    load({{"INPUT", "9", "144", "BTNPLAYA", "127"}});
    EXPECT_EQ(tables.hidinbut[9][0], 0);
    EXPECT_EQ(tables.hd.modo, 0);
    tables.hidcontrol1 = &driver;
    loader.loadhidcontroller("missing.xml");
    EXPECT_EQ(tables.hd.modo, 0);
}
