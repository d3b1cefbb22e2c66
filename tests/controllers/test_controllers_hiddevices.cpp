// The HID device layer: the report descriptor parser on the boot keyboard and mouse of HID 1.11
// appendix B and on a composed descriptor with report IDs, Push, Pop and a long item; the
// descriptor read from a sysfs-like file; the device thread over the fake (reports in order, the
// unplug notice on a read error, writes in order); hot-plug raising the device change only when
// the set of device nodes changed.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QDir>
#include <QTemporaryDir>

#include "controllers/hid/hiddevicecontroller.h"
#include "platform/hid/devicethread.h"
#include "platform/hid/fakehidbackend.h"
#include "platform/hid/hidapibackend.h"
#include "platform/hid/reportdescriptor.h"
#include "tests/controllers/hiddevice.h"
#include "tests/controllers/qtapp.h"

namespace {

using Bytes = std::vector<uint8_t>;

// HID 1.11 appendix B.1: the boot keyboard (8 bytes in, 1 byte of LEDs out, no report IDs)
const Bytes kBootKeyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00,
                             0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
                             0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01,
                             0x75, 0x03, 0x91, 0x01, 0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07,
                             0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};
// HID 1.11 appendix B.2: the boot mouse (3 bytes in, nothing out)
const Bytes kBootMouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01,
                          0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01,
                          0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7F,
                          0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0, 0xC0};
// A controller: report 1 in (8 bytes, pushed, then 8 more after report 2), report 2 in (20 bytes),
// report 3 out (32 bytes), and a long item to skip
const Bytes kComposed = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // vendor page, collection
                         0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02,  // ID 1: 8 bytes in
                         0xA4,                                            // push
                         0x85, 0x02, 0x95, 0x14, 0x81, 0x02,              // ID 2: 20 bytes in
                         0xB4,                                            // pop: ID 1, 8 x 8 bits
                         0x81, 0x02,                                      // ID 1: 8 more
                         0x85, 0x03, 0x95, 0x20, 0x91, 0x02,              // ID 3: 32 bytes out
                         0xFE, 0x02, 0x00, 0xAA, 0xBB,                    // long item
                         0xC0};


}  // namespace

TEST(CtlHidDescriptor, LengthsOfTheBootDevicesAndAComposedController)
{
    const struct {
        const char* name;
        const Bytes& bytes;
        int input, output;
        bool numbered;
    } cases[] = {
        {"boot keyboard", kBootKeyboard, 9, 2, false},
        {"boot mouse", kBootMouse, 4, 0, false},
        {"composed", kComposed, 21, 33, true},
    };
    for (const auto& c : cases) {
        const auto l = hid::parseReportDescriptor(c.bytes.data(), c.bytes.size());
        ASSERT_TRUE(l) << c.name;
        EXPECT_EQ(l->input, c.input) << c.name;
        EXPECT_EQ(l->output, c.output) << c.name;
        EXPECT_EQ(l->numbered, c.numbered) << c.name;
    }
}

TEST(CtlHidDescriptor, UnreadableDescriptorsAreRefused)
{
    const Bytes cases[] = {
        {0x75},                    // an item cut short
        {0x96, 0x01},              // a two-byte item with one byte
        {0xB4},                    // pop with nothing pushed
        {0x85, 0x00},              // report ID 0
        {0xFE, 0x05, 0x00, 0x01},  // a long item past the end
        {0x75, 0x20, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02},  // a report of 2^32 * 32 bits
    };
    for (const Bytes& b : cases) EXPECT_FALSE(hid::parseReportDescriptor(b.data(), b.size())) << int(b[0]);
    Bytes deep(33, 0xA4);  // 33 pushes
    EXPECT_FALSE(hid::parseReportDescriptor(deep.data(), deep.size()));
    EXPECT_TRUE(hid::parseReportDescriptor(deep.data(), 32));
    // empty: no reports of either kind
    const auto none = hid::parseReportDescriptor(nullptr, 0);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->input, 0);
    EXPECT_EQ(none->output, 0);
}

TEST(CtlHidDescriptor, ReadFromTheSysfsFileOfTheDeviceNode)
{
    EXPECT_EQ(hid::HidapiBackend::descriptorPath("/dev/hidraw3"), "/sys/class/hidraw/hidraw3/device/report_descriptor");
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string file = hid::HidapiBackend::descriptorPath("/dev/hidraw7", root);
    QDir().mkpath(QString::fromStdString(file.substr(0, file.find_last_of('/'))));
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(kComposed.data()), std::streamsize(kComposed.size()));

    hid::DeviceInfo info;
    hid::HidapiBackend::readLengths(file, info);
    EXPECT_TRUE(info.capsOk);
    EXPECT_EQ(info.inputLength, 21);
    EXPECT_EQ(info.outputLength, 33);
    EXPECT_TRUE(info.numbered);

    // a device whose descriptor cannot be read is listed with 9 data bytes
    std::ofstream(file, std::ios::binary | std::ios::trunc) << char(0xB4);
    hid::HidapiBackend::readLengths(file, info);
    EXPECT_FALSE(info.capsOk);
    EXPECT_EQ(info.inputLength, 10);
    hid::HidapiBackend::readLengths(root + "/missing", info);
    EXPECT_FALSE(info.capsOk);
    EXPECT_EQ(info.inputLength, 10);
}

TEST(CtlHidDeviceThread, ReportsInOrderWritesInOrderAndTheUnplugOnAReadError)
{
    hid::FakeHidBackend backend;
    backend.plug(device("/dev/hidraw1", "Deck"));
    std::string error;
    auto opened = backend.open(device("/dev/hidraw1", "Deck"), &error);
    ASSERT_TRUE(opened);

    std::mutex m;
    std::vector<Bytes> got;
    std::atomic<int> gone{0};
    {
        hid::DeviceThread thread(
            std::move(opened),
            [&](Bytes r) {
                std::lock_guard<std::mutex> l(m);
                got.push_back(std::move(r));
            },
            [&] { ++gone; });
        for (int i = 0; i < 200; ++i) backend.inject("/dev/hidraw1", {0, uint8_t(i), uint8_t(i * 3)});
        for (int i = 0; i < 50; ++i) thread.write({0, uint8_t(i)});
        ASSERT_TRUE(backend.waitWritten("/dev/hidraw1", 50, 5000));
        ASSERT_TRUE(backend.waitDrained("/dev/hidraw1", 5000));
        backend.failRead("/dev/hidraw1");
        for (int i = 0; i < 500 && thread.running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_FALSE(thread.running());
        thread.write({0, 99});  // after the end: dropped
    }
    std::lock_guard<std::mutex> l(m);
    ASSERT_EQ(got.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(got[size_t(i)], (Bytes{0, uint8_t(i), uint8_t(i * 3)}));
    const auto written = backend.written("/dev/hidraw1");
    ASSERT_EQ(written.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(written[size_t(i)], (Bytes{0, uint8_t(i)}));
    EXPECT_EQ(gone.load(), 1);
}

TEST(CtlHidDeviceThread, DeviceReportsReachTheUiThreadOnceInOrderAndTheUnplugNotice)
{
    ensureApp();
    hid::FakeHidBackend backend;
    backend.plug(device("/dev/hidraw1", "Deck"));
    HidDeviceController controller(backend);
    controller.Enumerate();
    std::shared_ptr<HidDevice> held;
    ASSERT_TRUE(controller.CheckOutByCallback(held, [](HidDevice&) { return true; }));
    std::vector<std::pair<int, Bytes>> got;
    int unplugged = 0;
    const auto ui = std::this_thread::get_id();
    bool onUi = true;
    held->setOnData([&](HidDevice&, int id, const uint8_t* data, int size) {
        onUi = onUi && std::this_thread::get_id() == ui;
        got.emplace_back(id, Bytes(data, data + size));
    });
    held->setOnUnplug([&](HidDevice&) {
        ++unplugged;
        controller.CheckIn(held);  // the handler may give the device up
    });
    for (int i = 0; i < 100; ++i) backend.inject("/dev/hidraw1", {uint8_t(i % 3), uint8_t(i), 7});
    ASSERT_TRUE(runUntil([&] { return got.size() == 100; }));
    backend.unplug("/dev/hidraw1");
    ASSERT_TRUE(runUntil([&] { return unplugged == 1; }));
    EXPECT_TRUE(onUi);
    EXPECT_FALSE(held);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(got[size_t(i)].first, i % 3);
        EXPECT_EQ(got[size_t(i)].second, (Bytes{uint8_t(i), 7}));
    }
    runUntil([] { return false; }, 50);
    EXPECT_EQ(unplugged, 1);
}

TEST(CtlHidHotPlug, DeviceChangeOnlyWhenTheSetOfNodesChanged)
{
    hid::FakeHidBackend backend;
    backend.plug(device("/dev/hidraw1", "Deck"));
    HidDeviceController controller(backend);
    int changes = 0;
    std::vector<std::string> removed;
    controller.OnDeviceChange = [&] { ++changes; };
    controller.OnRemoval = [&](HidDevice& d) { removed.push_back(d.info().path); };
    controller.Enumerate();
    ASSERT_EQ(controller.devices().size(), 1u);
    controller.devices()[0]->Tag = 5;

    EXPECT_FALSE(controller.poll());
    EXPECT_FALSE(controller.poll());
    EXPECT_EQ(changes, 0);

    backend.plug(device("/dev/hidraw2", "Pad"));
    EXPECT_TRUE(controller.poll());
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(controller.devices().size(), 2u);
    EXPECT_EQ(controller.devices()[0]->Tag, 5);  // the device still there keeps its object
    EXPECT_EQ(controller.devices()[1]->Tag, 0);  // an arrival starts at 0
    EXPECT_FALSE(controller.poll());

    backend.unplug("/dev/hidraw1");
    EXPECT_TRUE(controller.poll());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(removed, std::vector<std::string>{"/dev/hidraw1"});
    EXPECT_FALSE(controller.poll());
    EXPECT_EQ(changes, 2);
}

// The udev rule that opens HID controllers to the seat user, checked as text (no HID device and
// no uhid here): one rule, uaccess only, never a mode for everyone, applied before the seat ACLs.
TEST(CtlHidAccess, UdevRuleGivesTheSeatUserTheControllersOnly)
{
    const std::string name = "70-ostrelkorvanta-hid.rules";
    std::ifstream in(std::string(OSTREL_SOURCE_DIR) + "/scripts/" + name);
    ASSERT_TRUE(in);
    std::vector<std::string> rules;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') rules.push_back(line);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0], "SUBSYSTEM==\"hidraw\", ATTRS{bInterfaceClass}==\"03\", ATTRS{bInterfaceProtocol}==\"00\", "
                        "TAG+=\"uaccess\"");
    EXPECT_EQ(rules[0].find("MODE"), std::string::npos);
    EXPECT_LT(name, std::string("73-seat-late.rules"));

    std::ifstream readme(std::string(OSTREL_SOURCE_DIR) + "/README.md");
    const std::string text((std::istreambuf_iterator<char>(readme)), std::istreambuf_iterator<char>());
    for (const char* step : {"/etc/udev/rules.d", "udevadm control --reload", "udevadm trigger --subsystem-match=hidraw"})
        EXPECT_NE(text.find(step), std::string::npos) << step;
}
