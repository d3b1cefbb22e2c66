// Keyboard control: virtual-key codes of Qt keys, the Shift sides, key events into input events.
#include <gtest/gtest.h>

#include <Qt>

#include "controllers/controllertables.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/keyboardinput.h"
#include "controllers/tcontroladora.h"
#include "controllers/virtualkeys.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"

TEST(CtlVirtualKeys, QtKeysGiveTheirVirtualKeyCodes)
{
    const struct {
        int qt;
        bool keypad;
        int vk;
    } cases[] = {
        {Qt::Key_A, false, 'A'},          {Qt::Key_Z, false, 'Z'},          {Qt::Key_0, false, '0'},
        {Qt::Key_9, false, '9'},          {Qt::Key_F1, false, 0x70},        {Qt::Key_F12, false, 0x7B},
        {Qt::Key_F24, false, 0x87},       {Qt::Key_0, true, 0x60},          {Qt::Key_9, true, 0x69},
        {Qt::Key_Asterisk, true, 0x6A},   {Qt::Key_Plus, true, 0x6B},       {Qt::Key_Minus, true, 0x6D},
        {Qt::Key_Period, true, 0x6E},     {Qt::Key_Slash, true, 0x6F},      {Qt::Key_Enter, true, 0x0D},
        {Qt::Key_Home, true, 0x24},       {Qt::Key_Left, false, 0x25},      {Qt::Key_Up, false, 0x26},
        {Qt::Key_Right, false, 0x27},     {Qt::Key_Down, false, 0x28},      {Qt::Key_Space, false, 0x20},
        {Qt::Key_Return, false, 0x0D},    {Qt::Key_Escape, false, 0x1B},    {Qt::Key_Backspace, false, 0x08},
        {Qt::Key_Tab, false, 0x09},       {Qt::Key_Shift, false, 16},       {Qt::Key_Control, false, 17},
        {Qt::Key_Alt, false, 18},         {Qt::Key_PageUp, false, 0x21},    {Qt::Key_Delete, false, 0x2E},
        {Qt::Key_Insert, false, 0x2D},    {Qt::Key_NumLock, false, 0x90},   {Qt::Key_Comma, false, 0xBC},
        {Qt::Key_Minus, false, 0xBD},     {Qt::Key_Exclam, false, '1'},     {Qt::Key_ParenRight, false, '0'},
        {Qt::Key_Asterisk, false, '8'},   {Qt::Key_unknown, false, 0},      {Qt::Key_Adiaeresis, false, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(VirtualKeys::fromQtKey(c.qt, c.keypad), c.vk) << std::hex << c.qt;
}

TEST(CtlVirtualKeys, ShiftSideComesFromTheNativeKey)
{
    EXPECT_EQ(VirtualKeys::shiftSide(0xffe1, 50), ShiftSide::Left);
    EXPECT_EQ(VirtualKeys::shiftSide(0xffe2, 62), ShiftSide::Right);
    EXPECT_EQ(VirtualKeys::shiftSide(0, 50), ShiftSide::Left);
    EXPECT_EQ(VirtualKeys::shiftSide(0, 62), ShiftSide::Right);
    EXPECT_EQ(VirtualKeys::shiftSide(0, 0), ShiftSide::Unknown);
}

namespace {

class CtlKeyboard : public ::testing::Test {
protected:
    CtlKeyboard() : keyboard(tables, bp, surface, [this](TInfo& e) { events.push_back({e.accion, e.value, e.valor}); })
    {
    }

    void map(std::initializer_list<Row> rows)
    {
        TControladora loader(tables, surface, QString());
        loader.pauseMs = 0;
        loader.loadtecladoData(definition(rows));
    }
    // what the main window's event filter hands over for a Qt key event
    bool key(int qtKey, bool down, bool repeat = false, quint32 nativeKey = 0)
    {
        return keyboard.AppOnMessage(VirtualKeys::fromQtKey(qtKey, false), down, repeat,
                                     VirtualKeys::shiftSide(nativeKey, 0));
    }

    struct Event {
        int accion, value, valor;
        bool operator==(const Event&) const = default;
    };
    ControllerTables tables;
    TInfo bp;
    FakeSurface surface;
    std::vector<Event> events;
    KeyboardInput keyboard;
};

}  // namespace

TEST_F(CtlKeyboard, WithoutAMapEveryKeySendsCodeZero)
{
    keyboard.VsButton3Click();
    EXPECT_FALSE(key(Qt::Key_Space, true));
    EXPECT_FALSE(key(Qt::Key_Space, false));
    EXPECT_EQ(events, (std::vector<Event>{{0, 0, 0}, {0, 0, 0}}));
}

TEST_F(CtlKeyboard, MappedKeySendsPressAndRelease)
{
    map({{"INPUT", "32", "144", "BTNPLAYA", "127"}});
    bp.range = 17;  // fields the keyboard does not write keep their contents
    EXPECT_FALSE(key(Qt::Key_Space, true));
    EXPECT_FALSE(key(Qt::Key_Space, false));
    EXPECT_TRUE(events.empty());  // keyboard control is off at start

    keyboard.VsButton3Click();
    EXPECT_FALSE(key(Qt::Key_Space, true));
    EXPECT_TRUE(key(Qt::Key_Space, false, true));  // held: the repeats send nothing and reach no window
    EXPECT_TRUE(key(Qt::Key_Space, true, true));
    EXPECT_FALSE(key(Qt::Key_Space, false));
    EXPECT_EQ(events, (std::vector<Event>{{1, 127, 127}, {1, 0, 0}}));
    EXPECT_EQ(bp.range, 17);
}

TEST_F(CtlKeyboard, ShiftKeysWithAndWithoutAlt)
{
    map({{"INPUT", "162", "144", "BTNSHIFTA", "127"},
         {"INPUT", "163", "144", "BTNSHIFTB", "127"},
         {"INPUT", "16", "144", "BTNPLAYA", "99"}});
    keyboard.VsButton3Click();
    // Qt reports Key_Shift whether Alt is held or not; the native key tells the side
    for (int pass = 0; pass < 2; ++pass) {
        events.clear();
        key(Qt::Key_Shift, true, false, 0xffe1);
        key(Qt::Key_Shift, false, false, 0xffe1);
        key(Qt::Key_Shift, true, false, 0xffe2);
        key(Qt::Key_Shift, false, false, 0xffe2);
        EXPECT_EQ(events, (std::vector<Event>{{250, 127, 127}, {1, 0, 0}, {251, 127, 127}, {1, 0, 0}})) << pass;
    }
    // a key released while Alt is held still sends its release
    map({{"INPUT", "65", "144", "BTNCUEA", "127"}});
    events.clear();
    key(Qt::Key_A, true);
    key(Qt::Key_A, false);
    EXPECT_EQ(events, (std::vector<Event>{{2, 127, 127}, {2, 0, 0}}));
}

TEST_F(CtlKeyboard, ButtonAndSearchBoxes)
{
    keyboard.VsButton3Click();
    EXPECT_TRUE(keyboard.iskeyboard);
    EXPECT_TRUE(keyboard.usekeyboard);
    keyboard.VsButton3Click();
    EXPECT_FALSE(keyboard.iskeyboard);
    EXPECT_FALSE(keyboard.usekeyboard);
    EXPECT_EQ(surface.panelsKeyboard, (std::vector<bool>{true, false}));

    keyboard.VsButton3Click();
    keyboard.followHint("NOKEY");  // a search box has the focus
    EXPECT_FALSE(keyboard.usekeyboard);
    EXPECT_FALSE(key(Qt::Key_A, true));
    EXPECT_TRUE(events.empty());
    keyboard.VsButton3Click();  // off
    keyboard.VsButton3Click();  // on until the next tick
    EXPECT_TRUE(keyboard.usekeyboard);
    keyboard.followHint("NOKEY");
    EXPECT_FALSE(keyboard.usekeyboard);
    keyboard.followHint("KEY");
    EXPECT_TRUE(keyboard.usekeyboard);
    keyboard.followHint("CARGACANCION1");
    EXPECT_TRUE(keyboard.usekeyboard);
}
