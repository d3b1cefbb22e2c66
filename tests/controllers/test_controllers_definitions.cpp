// The control vocabulary, HexToByte, the MIDI definition loader and the keyboard map loader.
#include <gtest/gtest.h>

#include <set>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "controllers/controllertables.h"
#include "controllers/tcontroladora.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"

namespace {

class Definitions : public ::testing::Test {
protected:
    Definitions() : loader(tables, surface, dir.path()) { loader.pauseMs = 0; }

    void load1(const QByteArray& x) { loader.loadcontrollerData(1, x); }
    void load2(const QByteArray& x) { loader.loadcontrollerData(2, x); }
    const MappingEntry& in1(int key) const { return tables.midiinbut[size_t(key)]; }
    void writeFile(const QString& relative, const QByteArray& bytes)
    {
        const QString path = dir.path() + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    ControllerTables tables;
    FakeSurface surface;
    TControladora loader;
};

const QString kXmlError = QStringLiteral("XML Error...Not Loaded");

}  // namespace

TEST_F(Definitions, CtlVocabularyLooksUpNamesIgnoringCaseOfLatinLetters)
{
    const struct {
        const char* name;
        int input, output;
    } cases[] = {
        {"BTNPLAYA", 1, 0},  {"btnplaya", 1, 0},   {"BtnPlayA", 1, 0},  {"POTFILE2", 267, 0},
        {"BTNUNKNOWN", 0, 0}, {"NOSUCHNAME", 0, 0}, {"", 0, 253},       {"splaya", 0, 3},
        {"SHOTCUEB", 0, 242}, {"FixedA", 0, 239},   {" BTNPLAYA", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(loader.damecontrol(QString::fromUtf8(c.name)), c.input) << c.name;
        EXPECT_EQ(loader.damecontrolou(QString::fromUtf8(c.name)), c.output) << c.name;
    }
    // letters outside a..z compare as they are
    EXPECT_EQ(loader.damecontrol(QString::fromUtf8("BTNPLAYÄ")), 0);
    EXPECT_EQ(loader.damecontrol(QStringLiteral("BTNPLAYA").replace('A', QChar(0xE4))), 0);
}

TEST_F(Definitions, CtlVocabularyHasEveryNameOnceAndCodesWithoutGaps)
{
    std::set<QString> seen;
    for (int i = 0; i < TControladora::kInputCodes; ++i) {
        ASSERT_FALSE(loader.midiconst[size_t(i)].isEmpty()) << i;
        EXPECT_TRUE(seen.insert(loader.midiconst[size_t(i)].toUpper()).second) << i;
        EXPECT_EQ(loader.damecontrol(loader.midiconst[size_t(i)].toLower()), i);
    }
    seen.clear();
    for (int i = 1; i <= 242; ++i) {
        EXPECT_TRUE(seen.insert(loader.midiconstl[size_t(i)].toUpper()).second) << i;
        EXPECT_EQ(loader.damecontrolou(loader.midiconstl[size_t(i)]), i);
    }
    EXPECT_TRUE(loader.midiconstl[0].isEmpty());
    for (int i = 243; i < TControladora::kOutputCodes; ++i) EXPECT_TRUE(loader.midiconstl[size_t(i)].isEmpty());
    EXPECT_EQ(loader.midiconst[235], "BTNTOTHRU");
    EXPECT_EQ(loader.midiconstl[115], "SLEDMETERA1");
}

TEST(CtlHexToByte, ReadsTheFirstTwoCharacters)
{
    EXPECT_EQ(HexToByte("ff"), 255);
    EXPECT_EQ(HexToByte("FF"), 255);
    EXPECT_EQ(HexToByte("fF"), 255);
    EXPECT_EQ(HexToByte("0a"), 10);
    EXPECT_EQ(HexToByte("1234"), 18);
    EXPECT_FALSE(HexToByte(""));
    EXPECT_FALSE(HexToByte("a"));
    EXPECT_FALSE(HexToByte("g1"));
    EXPECT_FALSE(HexToByte(" 1"));
}

TEST_F(Definitions, CtlDefinitionNoteRowFillsTheEntryOfItsKey)
{
    load1(definition({{"INPUT", "60", "144", "BTNPLAYA", "127", "1", "2", "3"},
                      {"INPUT", "60", "145", "btnplaya", "100"}}));
    EXPECT_EQ(in1(0x903C), (MappingEntry{1, 144, 127, 1, 2, 3, 0}));
    EXPECT_EQ(in1(0x913C), (MappingEntry{1, 145, 100, 0, 0, 0, 0}));
    EXPECT_TRUE(surface.messages.empty());
}

TEST_F(Definitions, CtlDefinitionControlChangeRowSetsKindDirectFlagAndFilter)
{
    load1(definition({{"INPUT", "7", "176", "POTVOLUMENA", "127", nullptr, nullptr, nullptr, "CtrlI"}}));
    EXPECT_EQ(in1(0xB007), (MappingEntry{122, 176, 127, 0, 0, 0, 0}));
    EXPECT_EQ(loader.ignore[7], 0);
    EXPECT_EQ(loader.ignore[8], 1);
    EXPECT_EQ(loader.ignore[0], 1);

    load1(definition({{"INPUT", "7", "176", "POTVOLUMENA", "127", nullptr, nullptr, nullptr, "ctrl"}}));
    EXPECT_EQ(in1(0xB007)[1], 144);
    EXPECT_EQ(in1(0xB007)[6], 1);
    // pitch bend rows take the same branch
    load1(definition({{"INPUT", "224", "224", "POTPITCHA", "127", nullptr, nullptr, nullptr, "Ctrl"}}));
    EXPECT_EQ(in1(0xE0E0), (MappingEntry{121, 176, 127, 0, 0, 0, 1}));
}

TEST_F(Definitions, CtlDefinitionSecondControllerFilterStartsOpen)
{
    load2(definition({{"INPUT", "7", "176", "POTVOLUMENB", "127"}}));
    for (uint8_t f : loader.ignore2) EXPECT_EQ(f, 0);
    EXPECT_EQ(tables.midiinbut2[0xB007][0], 131);
    EXPECT_EQ(tables.midiinbut[0xB007][0], 0);
}

TEST_F(Definitions, CtlDefinitionLaterRowWinsAndFieldSixSurvivesReloads)
{
    load1(definition({{"INPUT", "7", "176", "POTVOLUMENA", "127", nullptr, nullptr, nullptr, "CtrlI"},
                      {"INPUT", "7", "176", "POTBASSA", "100", "5"}}));
    EXPECT_EQ(in1(0xB007), (MappingEntry{123, 144, 100, 5, 0, 0, 1}));
    load1(definition({{"INPUT", "7", "176", "POTVOLUMENA", "127", nullptr, nullptr, nullptr, "CtrlI"}}));
    load1(definition({{"INPUT", "60", "144", "BTNPLAYA", "127"}}));
    EXPECT_EQ(in1(0xB007), (MappingEntry{0, 0, 0, 0, 0, 0, 0}));  // fields 0..5 cleared, 6 kept (0)
    load1(definition({{"INPUT", "7", "176", "POTVOLUMENA", "127"}}));
    load1(definition({{"INPUT", "60", "144", "BTNPLAYA", "127"}}));
    EXPECT_EQ(in1(0xB007)[6], 1);
}

TEST_F(Definitions, CtlDefinitionNumberAbove300OnlyOpensTheFilter)
{
    load1(definition({{"INPUT", "301", "176", "POTVOLUMENA", "127"}, {"INPUT", "999", "144", "BTNPLAYA", "5"}}));
    EXPECT_EQ(loader.ignore[1], 0);
    EXPECT_EQ(in1(65535)[0], 1);  // both rows land on the last entry; the later wins
    EXPECT_EQ(in1(65535)[2], 5);
    EXPECT_EQ(in1(0xB001)[0], 0);
}

TEST_F(Definitions, CtlDefinitionRowsWithoutAKnownControlStillWriteTheirEntry)
{
    load1(definition({{"INPUT", "61", "144", "", "127"}, {"INPUT", "62", "144", "NOTACONTROL", "127"}}));
    EXPECT_EQ(in1(0x903D), (MappingEntry{0, 144, 127, 0, 0, 0, 0}));
    EXPECT_EQ(in1(0x903E), (MappingEntry{0, 144, 127, 0, 0, 0, 0}));
}

TEST_F(Definitions, CtlDefinitionOtherMessageTypesStoreTheirStatus)
{
    load1(definition({{"INPUT", "5", "192", "BTNLOADA", "127", nullptr, nullptr, nullptr, "CtrlI"},
                      {"INPUT", "0", "248", "BTNPLAYB", "127"}}));
    EXPECT_EQ(in1(0xC005), (MappingEntry{4, 192, 127, 0, 0, 0, 0}));
    EXPECT_EQ(in1(0xF800), (MappingEntry{35, 248, 127, 0, 0, 0, 1}));
    // an empty status on such a row ends the load
    load1(definition({{"INPUT", "1", "144", "BTNPLAYA", "127"}, {"INPUT", "5", "", "BTNLOADA"},
                      {"INPUT", "2", "144", "BTNPLAYB", "127"}}));
    EXPECT_EQ(in1(0x9001)[0], 1);
    EXPECT_EQ(in1(0x0005)[0], 4);  // code written before the error, as the row is read in order
    EXPECT_EQ(in1(0x9002)[0], 0);
    ASSERT_EQ(surface.messages.size(), 1u);
    EXPECT_EQ(surface.messages[0], kXmlError);
}

TEST_F(Definitions, CtlDefinitionOutputRows)
{
    load1(definition({{"OUTPUT", "60", "144", "SPLAYA", "127", "1"},
                      {"OUTPUT", "61", "144", "NOTANOUTPUT", "127"},
                      {"OUTPUT", "62", "145", "", "5"},
                      {"OUTPUT", "300", "144", "SCUEA", "1"}}));
    EXPECT_EQ(tables.midiourec[3], (MappingEntry{0x903C, 144, 127, 1, 0, 0, 0}));
    EXPECT_EQ(tables.midiourec[253], (MappingEntry{0x913E, 145, 5, 0, 0, 0, 0}));
    EXPECT_EQ(tables.midiourec[1][0], 0x9012C);  // an output key is not limited
    for (int c = 4; c < 253; ++c) ASSERT_EQ(tables.midiourec[size_t(c)][0], 0) << c;
}

TEST_F(Definitions, CtlDefinitionOptionRows)
{
    load1(definition({{"POTJOGAADJUST", nullptr, nullptr, nullptr, "3"},
                      {"POTJOGBADJUST", nullptr, nullptr, nullptr, "4"},
                      {"VALORBENDA", nullptr, nullptr, nullptr, "7"},
                      {"VALORBENDB", nullptr, nullptr, nullptr, "8"},
                      {"DELCHANNEL", nullptr, nullptr, nullptr, "176"},
                      {"POTJOGANOLIST"},
                      {"LEDS", nullptr, nullptr, "ON"},
                      {"CONFIG", nullptr, nullptr, "CHARDISPLAY"},
                      {"MODO", nullptr, nullptr, "SINGLE"}}));
    EXPECT_EQ(tables.ajustea, 3);
    EXPECT_EQ(tables.ajusteb, 4);
    EXPECT_EQ(surface.valorbend[0], 7);
    EXPECT_EQ(surface.valorbend[1], 8);
    EXPECT_EQ(tables.delchana, 176);
    EXPECT_TRUE(tables.nobenda);
    EXPECT_FALSE(tables.nobendb);
    EXPECT_TRUE(tables.showleds);
    EXPECT_EQ(tables.MCHARDISPLAY1, 1);
    EXPECT_EQ(tables.midmodo1, 0);
    EXPECT_EQ(tables.hdm.modo, 0);

    load2(definition({{"DELCHANNEL", nullptr, nullptr, nullptr, "177"},
                      {"LEDS", nullptr, nullptr, "on"},
                      {"MODO", nullptr, nullptr, "CARGAB"}}));
    EXPECT_EQ(tables.delchanb, 177);
    EXPECT_EQ(tables.delchana, 176);
    EXPECT_FALSE(tables.showleds2);
    EXPECT_EQ(tables.midmodo1, 0);
    EXPECT_EQ(tables.hdm2.modo, 1);
    // the second controller's load put back the first's mode and the display switch
    EXPECT_EQ(tables.hdm.modo, 1);
    EXPECT_EQ(tables.MCHARDISPLAY1, 0);

    load1(definition({{"MODO", nullptr, nullptr, "DOUBLE"}}));
    EXPECT_EQ(tables.midmodo1, 1);
    EXPECT_EQ(tables.hdm.modo, 1);
}

TEST_F(Definitions, CtlDefinitionDisplayRows)
{
    load1(definition({{"DTEXTOA", "2", nullptr, "B0013C7F", nullptr, nullptr, nullptr, nullptr, "Double"},
                      {"DBPMA", "5"},
                      {"DMINB", "9", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Single"}}));
    EXPECT_EQ(tables.hdm.dtexta[0], 176);
    EXPECT_EQ(tables.hdm.dtexta[1], 60);
    EXPECT_EQ(tables.hdm.dtexta1[0], 1);
    EXPECT_EQ(tables.hdm.dtexta1[1], 127);
    EXPECT_EQ(tables.hdm.textlength, 2);
    EXPECT_EQ(tables.hdm.dbpmAstart, 5);
    EXPECT_EQ(tables.hdm.dbpmAlength, 2);
    EXPECT_EQ(tables.hdm.dminbstart, 9);
    EXPECT_EQ(tables.hdm.dminblength, 1);

    load1(definition({{"DTEXTOA", "1", nullptr, "FFFF", nullptr, nullptr, nullptr, nullptr, "Single"}}));
    EXPECT_EQ(tables.hdm.dtexta[0], 176);
    EXPECT_EQ(tables.hdm.textlength, 2);
    EXPECT_TRUE(surface.messages.empty());

    // more groups than the arrays hold: 61 stored, the count kept
    QByteArray digits;
    for (int i = 0; i < 70; ++i) digits += "0102";
    load1(definition({{"DTEXTOA", "70", nullptr, digits.constData(), nullptr, nullptr, nullptr, nullptr, "Double"}}));
    EXPECT_EQ(tables.hdm.textlength, 70);
    EXPECT_EQ(tables.hdm.dtexta[60], 1);
    EXPECT_TRUE(surface.messages.empty());

    // fewer digits than the count needs, or a pair that is not hexadecimal, end the load
    for (const char* bad : {"B0013C", "B0013CZZ"}) {
        surface.messages.clear();
        load1(definition({{"DTEXTOA", "2", nullptr, bad, nullptr, nullptr, nullptr, nullptr, "Double"},
                          {"INPUT", "60", "144", "BTNPLAYA", "127"}}));
        EXPECT_EQ(surface.messages, std::vector<QString>{kXmlError}) << bad;
        EXPECT_EQ(in1(0x903C)[0], 0) << bad;
    }
}

TEST_F(Definitions, CtlDefinitionNumbersMustBePlainDecimal)
{
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {{"", true, 0},          {"0", true, 0},          {"60", true, 60},       {"007", true, 7},
                 {"2147483647", true, 2147483647}, {"2147483648", false, 0}, {"99999999999", false, 0},
                 {"-5", false, 0},       {"+5", false, 0},        {" 5", false, 0},       {"5 ", false, 0},
                 {"0x10", false, 0},     {"$10", false, 0},       {"1e3", false, 0},      {"٣", false, 0}};
    for (const auto& c : cases) {
        surface.messages.clear();
        load1(definition({{"INPUT", "1", "144", "BTNPLAYA", "127"},
                          {"INPUT", "2", "144", "BTNCUEA", c.text},
                          {"INPUT", "3", "144", "BTNPAUSEA", "127"}}));
        EXPECT_EQ(in1(0x9001)[0], 1) << c.text;
        EXPECT_EQ(in1(0x9003)[0], c.ok ? 3 : 0) << c.text;
        EXPECT_EQ(surface.messages.size(), c.ok ? 0u : 1u) << c.text;
        if (c.ok) {
            EXPECT_EQ(in1(0x9002)[2], c.value) << c.text;
        }
    }
}

TEST_F(Definitions, CtlDefinitionPartialLoadKeepsTheRowsBeforeTheError)
{
    load1(definition({{"INPUT", "1", "144", "BTNPLAYA", "127"},
                      {"INPUT", "12a", "144", "BTNCUEA", "127"},
                      {"INPUT", "3", "144", "BTNPAUSEA", "127"},
                      {"LEDS", nullptr, nullptr, "ON"}}));
    EXPECT_EQ(in1(0x9001)[0], 1);
    EXPECT_EQ(in1(0x9003)[0], 0);
    EXPECT_FALSE(tables.showleds);
    EXPECT_EQ(surface.messages, std::vector<QString>{kXmlError});
    // control_midino is read on every row, whatever its group
    surface.messages.clear();
    load1(definition({{"INPUT", "1", "144", "BTNPLAYA", "127"}, {"SOMETHING", "x"}, {"INPUT", "3", "144", "BTNPAUSEA"}}));
    EXPECT_EQ(in1(0x9003)[0], 0);
    EXPECT_EQ(surface.messages.size(), 1u);
}

TEST_F(Definitions, CtlDefinitionDocumentShapes)
{
    // any root name; other children before the first ROW; every later sibling is a row
    load1("<anything><header/><x><control_midino>5</control_midino><control_group>INPUT</control_group>"
          "<midichan>144</midichan><control_key>BTNCUEA</control_key></x>" +
          rowXml({"INPUT", "1", "144", "BTNPLAYA", "127"}) + "<!-- a comment -->" +
          rowXml({"INPUT", "2", "144", "BTNPAUSEA", "127"}, "OTHER") + "</anything>");
    EXPECT_EQ(in1(0x9005)[0], 0);
    EXPECT_EQ(in1(0x9001)[0], 1);
    EXPECT_EQ(in1(0x9002)[0], 3);
    EXPECT_TRUE(surface.messages.empty());

    // no ROW at all: the tables were cleared, then the message
    load1("<DATAPACKET><row/></DATAPACKET>");
    EXPECT_EQ(in1(0x9001)[0], 0);
    EXPECT_EQ(surface.messages, std::vector<QString>{kXmlError});

    for (const char* bad : {"", "<a><ROW>", "not xml", "<a></b>", "<a/><b/>"}) {
        surface.messages.clear();
        load1(bad);
        EXPECT_EQ(surface.messages.size(), 1u) << bad;
    }
}

TEST_F(Definitions, CtlDefinitionTextIsReadAsWrittenWithoutEntities)
{
    load1(definition({{"INPUT", "1", "144", "BTN&#80;LAYA", "127"}, {"INPUT", "2", "144", "<![CDATA[BTNCUEA]]>", "1"}}));
    EXPECT_EQ(in1(0x9001)[0], 1);
    EXPECT_EQ(in1(0x9002)[0], 2);
    // a document type with entities is not expanded
    surface.messages.clear();
    load1("<!DOCTYPE d [<!ENTITY e \"BTNPLAYA\">]><d><ROW><control_midino>4</control_midino>"
          "<control_group>INPUT</control_group><midichan>144</midichan><control_key>&e;</control_key></ROW></d>");
    EXPECT_NE(in1(0x9004)[0], 1);
}

TEST_F(Definitions, CtlDefinitionTwoLoadsOfOneFileGiveTheSameTables)
{
    const QByteArray x = definition({{"INPUT", "7", "176", "POTVOLUMENA", "127", "1", "2", "3", "CtrlI"},
                                     {"OUTPUT", "60", "144", "SPLAYA", "127"},
                                     {"INPUT", "60", "144", "BTNPLAYA", "127"}});
    load1(x);
    const auto in = tables.midiinbut;
    const auto out = tables.midiourec;
    const auto flags = loader.ignore;
    load1(x);
    EXPECT_TRUE(in == tables.midiinbut);
    EXPECT_TRUE(out == tables.midiourec);
    EXPECT_EQ(flags, loader.ignore);
}

TEST_F(Definitions, CtlDefinitionFileIsFoundInTheDevicesFolderIgnoringCase)
{
    writeFile("Devices/MyCtl.xml", definition({{"INPUT", "60", "144", "BTNPLAYA", "127"}}));
    loader.loadcontroller("myctl.XML");
    EXPECT_EQ(in1(0x903C)[0], 1);

    // a missing file changes nothing and says nothing
    tables.midiinbut[0x903C][0] = 99;
    loader.ignore.fill(7);
    loader.loadcontroller("missing.xml");
    loader.loadcontroller("-");
    loader.loadcontroller("");
    EXPECT_EQ(in1(0x903C)[0], 99);
    EXPECT_EQ(loader.ignore[0], 7);
    EXPECT_TRUE(surface.messages.empty());
}

TEST_F(Definitions, CtlKeyboardMapTakesInputRowsOfStatus144)
{
    loader.loadtecladoData(definition({{"INPUT", "32", "144", "BTNPLAYA", "127", "1", "2", "3"},
                                       {"INPUT", "33", " 144", "BTNCUEA", "127"},
                                       {"INPUT", "34", "0144", "BTNCUEA", "127"},
                                       {"input", "35", "144", "BTNCUEA", "127"},
                                       {"INPUT", "36", "176", "BTNCUEA", "127"},
                                       {"INPUT", "300", "144", "BTNCUEA", "127"},
                                       {"INPUT", "255", "144", "BTNPAUSEA", "100"},
                                       {"INPUT", "162", "144", "BTNLOADA", "127"},
                                       {"INPUT", "162", "144", "BTNLOADB", "127"}}));
    EXPECT_EQ(tables.keyinbut[32], (MappingEntry{1, 144, 127, 1, 2, 3, 0}));
    for (int vk : {33, 34, 35, 36}) EXPECT_EQ(tables.keyinbut[size_t(vk)][0], 0) << vk;
    EXPECT_EQ(tables.keyinbut[255], (MappingEntry{3, 144, 100, 0, 0, 0, 0}));
    EXPECT_EQ(tables.keyinbut[162][0], 38);  // the later row wins
    EXPECT_TRUE(surface.messages.empty());   // a key above 255 skips its row only
}

TEST_F(Definitions, CtlKeyboardMapClearsOnlyTheFirst170Keys)
{
    loader.loadtecladoData(definition({{"INPUT", "169", "144", "BTNPLAYA", "127"}, {"INPUT", "170", "144", "BTNCUEA", "127"}}));
    loader.loadtecladoData(definition({{"INPUT", "32", "144", "BTNPLAYA", "127"}}));
    EXPECT_EQ(tables.keyinbut[169][0], 0);
    EXPECT_EQ(tables.keyinbut[170][0], 2);
}

TEST_F(Definitions, CtlKeyboardMapFileAndErrors)
{
    // no file: nothing happens at all
    tables.keyinbut[32][0] = 5;
    loader.loadteclado(dir.path() + "/devices/teclado.key");
    EXPECT_EQ(tables.keyinbut[32][0], 5);
    EXPECT_TRUE(surface.messages.empty());

    writeFile("Devices/teclado.key", definition({{"INPUT", "32", "144", "BTNPLAYA", "127"},
                                                 {"INPUT", "x", "144", "BTNCUEA", "127"},
                                                 {"INPUT", "33", "144", "BTNCUEA", "127"}}));
    loader.loadteclado(dir.path() + "/Devices/teclado.key");
    EXPECT_EQ(tables.keyinbut[32][0], 1);
    EXPECT_EQ(tables.keyinbut[33][0], 0);
    EXPECT_EQ(surface.messages, std::vector<QString>{kXmlError});
}

TEST_F(Definitions, CtlDefinitionDeeplyNestedTextIsReadWithoutRecursion)
{
    QByteArray key = "BTN";
    QByteArray open, close;
    for (int i = 0; i < 100000; ++i) {
        open += "<a>";
        close += "</a>";
    }
    load1("<d><ROW><control_midino>1</control_midino><control_group>INPUT</control_group><midichan>144</midichan>"
          "<control_key>BTN" + open + "PLAYA" + close + "</control_key></ROW></d>");
    EXPECT_EQ(in1(0x9001)[0], 1);
}
