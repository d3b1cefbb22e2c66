#include <gtest/gtest.h>

#include "tests/library/libraryfixture.h"
#include "engine/psoundconfig.h"
#include "library/sqliteexception.h"

TEST_F(LibraryDb, NewDatabaseLoadsTheDefaults)
{
    PSoundConfig c;
    sql->asignoconfig(c);
    EXPECT_EQ(c.devicework.load(), 1);
    EXPECT_EQ(c.devicework2.load(), 0);
    EXPECT_EQ(c.devicemode.load(), 1);
    const int dsnum[] = {0, -1, -1, -1}, dschan[] = {2, 2, -1, 0}, aschan[] = {0, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(c.dsnum[i].load(), dsnum[i]) << i;
        EXPECT_EQ(c.dschan[i].load(), dschan[i]) << i;
        EXPECT_EQ(c.aschan[i].load(), aschan[i]) << i;
        EXPECT_EQ(c.asnum[i].load(), 0) << i;
        EXPECT_EQ(c.dsname[i].get(), "-") << i;
        EXPECT_EQ(c.asname[i].get(), "-") << i;
    }
    EXPECT_EQ(c.skin.get(), "BLACK");
    for (int s = 1; s <= 6; ++s) EXPECT_EQ(c.sample(s)->get(), "xxx") << s;
    EXPECT_EQ(c.dr.load(), 10);
    EXPECT_EQ(c.lr.load(), 10);
    EXPECT_EQ(c.brake.load(), 10);
    EXPECT_EQ(c.pitch.load(), 12);
    EXPECT_EQ(c.lpitp1.load(), 12);
    EXPECT_EQ(c.lpitp2.load(), 12);
    EXPECT_EQ(c.wexp.load(), 4);
    EXPECT_EQ(c.wzoom1.load(), 3);
    EXPECT_EQ(c.wzoom2.load(), 3);
    EXPECT_EQ(c.com.load(), 0);
    EXPECT_TRUE(c.recinternal.load());
    EXPECT_TRUE(c.usekeylock.load());
    EXPECT_EQ(c.svol1.load(), 25);
    EXPECT_EQ(c.svol2.load(), 25);
    EXPECT_EQ(c.micin.load(), 1);
    EXPECT_EQ(c.controler.get(), "-");
    EXPECT_EQ(c.rrecord.get(), "-");
    EXPECT_EQ(text("SELECT cutdb FROM config"), "-40");
    EXPECT_EQ(value("SELECT dschan4 IS NULL AND aschan4 IS NULL FROM config"), 1);
}

namespace {
void fill(PSoundConfig& c, const QString& word)
{
    for (int i = 0; i < 4; ++i) {
        c.dsnum[i] = 10 + i;
        c.dschan[i] = 20 + i;
        c.asnum[i] = 30 + i;
        c.aschan[i] = 40 + i;
        c.dsname[i] = word + QString::number(i);
        c.asname[i] = "as " + word + QString::number(i);
    }
    for (int s = 1; s <= 6; ++s) *c.sample(s) = "/samples/" + word + QString::number(s) + ".wav";
    c.controler = "c1 " + word;
    c.portconin = "p1 " + word;
    c.controler2 = "c2 " + word;
    c.portconin2 = "p2 " + word;
    c.hid = "h1";
    c.porthid = "ph1 " + word;
    c.hid2 = "h2";
    c.porthid2 = "ph2 " + word;
    c.skin = "WHITE";
    c.wasio = "asio";
    c.devicework = 5;
    c.devicemode = 0;
    c.dr = 7;
    c.lr = 8;
    c.brake = 15;
    c.pitch = 50;
    c.wmode1 = 2;
    c.wmode2 = 3;
    c.wcue1 = 0;
    c.wcue2 = 1;
    c.wexp = 6;
    c.wzoom1 = 1;
    c.wzoom2 = 2;
    c.wfull = 0;
    c.com = 2;
    c.usekeylock = false;
    c.recinternal = false;
    c.recnum = 3;
    c.recchan = 4;
    c.recname = "rec " + word;
    c.micin = 5;
    c.micout = 6;
    c.micnum = 7;
    c.micchan = 8;
    c.micname = "mic " + word;
    c.svol1 = 60;
    c.svol2 = 70;
    c.rdownload = "/dl/" + word;
    c.rrecord = "/rec/" + word;
    c.devicework2 = 9;
}
}  // namespace

TEST_F(LibraryDb, ConfigurationRoundTripsFieldByField)
{
    const QString word = "Card \"A\" it's";
    PSoundConfig c;
    fill(c, word);
    sql->graboconfig(c);
    EXPECT_EQ(text("SELECT usekeylock FROM config"), "0");
    EXPECT_EQ(text("SELECT record_sel FROM config"), "0");
    EXPECT_EQ(text("SELECT workmode2 FROM config"), "0");
    reopen();
    PSoundConfig b;
    sql->asignoconfig(b);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.dsnum[i].load(), 10 + i);
        EXPECT_EQ(b.dschan[i].load(), 20 + i);
        EXPECT_EQ(b.asnum[i].load(), 30 + i);
        EXPECT_EQ(b.aschan[i].load(), 40 + i);
        EXPECT_EQ(b.dsname[i].get(), c.dsname[i].get());
        EXPECT_EQ(b.asname[i].get(), c.asname[i].get());
    }
    for (int s = 1; s <= 6; ++s) EXPECT_EQ(b.sample(s)->get(), c.sample(s)->get());
    for (auto [x, y] : {std::pair{&b.controler, &c.controler}, {&b.portconin, &c.portconin},
                        {&b.controler2, &c.controler2}, {&b.portconin2, &c.portconin2}, {&b.hid, &c.hid},
                        {&b.porthid, &c.porthid}, {&b.hid2, &c.hid2}, {&b.porthid2, &c.porthid2}, {&b.skin, &c.skin},
                        {&b.wasio, &c.wasio}, {&b.recname, &c.recname}, {&b.micname, &c.micname},
                        {&b.rdownload, &c.rdownload}, {&b.rrecord, &c.rrecord}})
        EXPECT_EQ(x->get(), y->get());
    for (auto [x, y] : {std::pair{&b.devicework, &c.devicework}, {&b.devicemode, &c.devicemode}, {&b.dr, &c.dr},
                        {&b.lr, &c.lr}, {&b.brake, &c.brake}, {&b.pitch, &c.pitch}, {&b.wmode1, &c.wmode1},
                        {&b.wmode2, &c.wmode2}, {&b.wcue1, &c.wcue1}, {&b.wcue2, &c.wcue2}, {&b.wexp, &c.wexp},
                        {&b.wzoom1, &c.wzoom1}, {&b.wzoom2, &c.wzoom2}, {&b.wfull, &c.wfull}, {&b.com, &c.com},
                        {&b.recnum, &c.recnum}, {&b.recchan, &c.recchan}, {&b.micin, &c.micin},
                        {&b.micout, &c.micout}, {&b.micnum, &c.micnum}, {&b.micchan, &c.micchan},
                        {&b.svol1, &c.svol1}, {&b.svol2, &c.svol2}})
        EXPECT_EQ(x->load(), y->load());
    EXPECT_EQ(b.lpitp1.load(), 50);
    EXPECT_EQ(b.lpitp2.load(), 50);
    EXPECT_TRUE(b.usekeylock.load());  // never read back
    EXPECT_FALSE(b.recinternal.load());
    EXPECT_EQ(b.devicework2.load(), 0);
}

TEST_F(LibraryDb, SaveVariants)
{
    PSoundConfig c;
    fill(c, "w");
    sql->graboconfigdef(c);
    EXPECT_EQ(value("SELECT micin FROM config"), 1);
    EXPECT_EQ(text("SELECT s1 FROM config"), "/samples/w1.wav");
    sql->graboconfigdefnb(c);
    EXPECT_EQ(text("SELECT s1 FROM config"), "xxx");
    EXPECT_EQ(value("SELECT usekeylock FROM config"), 1);
}

TEST_F(LibraryDb, OlderLayoutIsRebuiltKeepingTheStoredSettings)
{
    PSoundConfig c;
    fill(c, "old");
    sql->graboconfig(c);
    // an older layout: no sampler volumes, no folders
    sql->db().ExecSQL("CREATE TABLE cfg2 AS SELECT * FROM config");
    sql->db().ExecSQL("DROP TABLE config");
    sql->db().ExecSQL("ALTER TABLE cfg2 DROP COLUMN svol1");
    sql->db().ExecSQL("ALTER TABLE cfg2 DROP COLUMN svol2");
    sql->db().ExecSQL("ALTER TABLE cfg2 DROP COLUMN rrecord");
    sql->db().ExecSQL("ALTER TABLE cfg2 RENAME TO config");
    reopen();
    EXPECT_EQ(sql->db().GetTable("SELECT * FROM config")->GetColCount(), 79);
    EXPECT_EQ(value("SELECT count(*) FROM config"), 1);
    PSoundConfig b;
    sql->asignoconfig(b);
    EXPECT_EQ(b.skin.get(), "WHITE");
    EXPECT_EQ(b.dsname[0].get(), "old0");
    EXPECT_EQ(b.rdownload.get(), "/dl/old");
    EXPECT_EQ(b.svol1.load(), 25);
    EXPECT_EQ(b.rrecord.get(), "-");
    EXPECT_FALSE(sql->db().TableExists("config_old"));
}

TEST_F(LibraryDb, AnEmptyOldLayoutGetsTheDefaultRow)
{
    sql->db().ExecSQL("DROP TABLE config");
    sql->db().ExecSQL("CREATE TABLE config ([ID] INTEGER PRIMARY KEY, [skin] VARCHAR (25))");
    reopen();
    PSoundConfig b;
    sql->asignoconfig(b);
    EXPECT_EQ(b.skin.get(), "BLACK");
    EXPECT_EQ(b.svol2.load(), 25);
}

TEST_F(LibraryDb, ACompleteTableIsNeverRebuilt)
{
    sql->db().ExecSQL("UPDATE config SET skin = 'MINE'");
    sql->db().ExecSQL("ALTER TABLE config ADD COLUMN extra INTEGER");
    reopen();
    EXPECT_EQ(text("SELECT skin FROM config"), "MINE");
    EXPECT_EQ(sql->db().GetTable("SELECT * FROM config")->GetColCount(), 80);
}

TEST_F(LibraryDb, LoadFailures)
{
    sql->db().ExecSQL("UPDATE config SET com = 'x'");
    PSoundConfig b;
    EXPECT_THROW(sql->asignoconfig(b), ESQLiteException);
    sql->db().ExecSQL("DELETE FROM config");
    try {
        sql->asignoconfig(b);
        FAIL();
    } catch (const ESQLiteException& e) {
        EXPECT_EQ(e.message(), "Field dsnum1 Not found. Empty dataset");
    }
    reopen();
    EXPECT_EQ(value("SELECT count(*) FROM config"), 1);
}
