// The configuration row of Tmsql: table `config`, its default row, save and load.
#include <cstdio>

#include <QSet>

#include "engine/psoundconfig.h"
#include "library/librarylog.h"
#include "library/sqliteexception.h"
#include "library/tmsql.h"
#include "library/writetransaction.h"

namespace {
const QString kCreateConfig = QStringLiteral(
    "CREATE TABLE config ([ID] INTEGER PRIMARY KEY,[workmode] INTEGER , [workmode2] INTEGER ,"
    "[dsnum1] INTEGER, [dsnum2] INTEGER, [dsnum3] INTEGER, [dsnum4] INTEGER,"
    "[dsname1] VARCHAR (100), [dsname2] VARCHAR (100),[dsname3] VARCHAR (100), [dsname4] VARCHAR (100),"
    "[dschan1] INTEGER, [dschan2] INTEGER, [dschan3] INTEGER, [dschan4] INTEGER,"
    "[asnum1] INTEGER, [asnum2] INTEGER, [asnum3] INTEGER, [asnum4] INTEGER,"
    "[asname1] VARCHAR (100), [asname2] VARCHAR (100),[asname3] VARCHAR (100), [asname4] VARCHAR (100),"
    "[aschan1] INTEGER, [aschan2] INTEGER, [aschan3] INTEGER, [aschan4] INTEGER,"
    "[s1] VARCHAR (100), [s2] VARCHAR (100),[s3] VARCHAR (100),[s4] VARCHAR (100),[s5] VARCHAR (100),[s6] VARCHAR (100),"
    "[dr] INTEGER, [lr] INTEGER, [amstart] INTEGER, [amfinish] INTEGER,"
    "[brake] INTEGER, [micin] INTEGER, [micout] INTEGER, [codein1] INTEGER, [codein2] INTEGER,"
    "[pitch] INTEGER, [devicemode] INTEGER, [cutdb] INTEGER, [wmode1] INTEGER, [wmode2] INTEGER,"
    "[wcue1] INTEGER, [wcue2] INTEGER, [wexp] INTEGER, [wasio] VARCHAR (9), [wzoom1] INTEGER, [wzoom2] INTEGER,"
    "[wfull] INTEGER, [controller] VARCHAR (25), [skin] VARCHAR (25), [dj] VARCHAR (20), [portconin] VARCHAR (100), "
    "[portconou] VARCHAR (100),"
    "[controller2] VARCHAR (25), [portconin2] VARCHAR (100), [portconou2] VARCHAR (100),"
    "[usekeylock] INTEGER, [record_sel] INTEGER, [recnum] INTEGER, [recchan] INTEGER,  [recname] VARCHAR (100),"
    "[micnum] INTEGER, [micchan] INTEGER,  [micname] VARCHAR (100),"
    "[hid] VARCHAR (25), [porthid] VARCHAR (100), [hid2] VARCHAR (25), [porthid2] VARCHAR (100), [com] VARCHAR (2),"
    "[svol1] INTEGER, [svol2] INTEGER, [rdownload] VARCHAR (255), [rrecord] VARCHAR (255));");

struct DefaultCell {
    const char* column;
    QVariant value;
};

// the default row, in the column order of its INSERT; dschan4 and aschan4 stay empty
const std::vector<DefaultCell>& defaults()
{
    const QString dash = QStringLiteral("-");
    const QString xxx = QStringLiteral("xxx");
    static const std::vector<DefaultCell> d = {
        {"ID", 1}, {"workmode", 1}, {"workmode2", 0},
        {"dsnum1", 0}, {"dsnum2", -1}, {"dsnum3", -1}, {"dsnum4", -1},
        {"dsname1", dash}, {"dsname2", dash}, {"dsname3", dash}, {"dsname4", dash},
        {"asnum1", 0}, {"asnum2", 0}, {"asnum3", 0}, {"asnum4", 0},
        {"asname1", dash}, {"asname2", dash}, {"asname3", dash}, {"asname4", dash},
        {"dschan1", 2}, {"dschan2", 2}, {"dschan3", -1},
        {"aschan1", 0}, {"aschan2", 0}, {"aschan3", 1},
        {"s1", xxx}, {"s2", xxx}, {"s3", xxx}, {"s4", xxx}, {"s5", xxx}, {"s6", xxx},
        {"dr", 10}, {"lr", 10}, {"amstart", 1}, {"amfinish", 1}, {"brake", 10}, {"micin", 1}, {"micout", 1},
        {"codein1", 1}, {"codein2", 1}, {"pitch", 12}, {"devicemode", 1}, {"cutdb", -40},
        {"wmode1", 1}, {"wmode2", 1}, {"wcue1", 1}, {"wcue2", 1}, {"wexp", 4}, {"wasio", dash},
        {"wzoom1", 3}, {"wzoom2", 3},
        {"wfull", 1}, {"controller", dash}, {"skin", QStringLiteral("BLACK")}, {"dj", dash}, {"portconin", dash},
        {"portconou", dash}, {"controller2", dash}, {"portconin2", dash}, {"portconou2", dash},
        {"hid", dash}, {"porthid", dash}, {"hid2", dash}, {"porthid2", dash}, {"com", QStringLiteral("0")},
        {"usekeylock", 1}, {"record_sel", 1}, {"recnum", 0}, {"recchan", 0}, {"recname", dash},
        {"micnum", 0}, {"micchan", 0}, {"micname", dash}, {"svol1", 25}, {"svol2", 25},
        {"rdownload", dash}, {"rrecord", dash},
    };
    return d;
}

// every column of the CREATE statement, in its order
QStringList configColumns()
{
    QStringList cols;
    qsizetype at = 0;
    while ((at = kCreateConfig.indexOf(QLatin1Char('['), at)) >= 0) {
        const qsizetype end = kCreateConfig.indexOf(QLatin1Char(']'), at);
        cols << kCreateConfig.mid(at + 1, end - at - 1);
        at = end;
    }
    return cols;
}

}  // namespace

void Tmsql::insertDefaultConfig()
{
    QStringList cols;
    QVariantList vals;
    for (const DefaultCell& c : defaults()) {
        cols << QLatin1String(c.column);
        vals << c.value;
    }
    const QString marks = QStringLiteral("?,").repeated(vals.size()).chopped(1);
    tryExec(QStringLiteral("INSERT INTO config(") + cols.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                marks + QStringLiteral(")"),
            vals);
}

void Tmsql::startConfig()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    // a table of every column with its row needs no write; otherwise one transaction: two
    // copies starting on a new file make one table and one row
    try {
        if (sldb->TableExists(QStringLiteral("config")) &&
            sldb->GetTableValue(QStringLiteral("SELECT count(*) FROM pragma_table_info('config')")) ==
                configColumns().size() &&
            sldb->GetTable(QStringLiteral("SELECT ID FROM config LIMIT 1"))->GetCount() > 0)
            return;
    } catch (const ESQLiteException& e) {
        logError("config layout", e.message());
    }
    try {
        WriteTransaction tx(*sldb);
        if (!sldb->TableExists(QStringLiteral("config"))) tryExec(kCreateConfig);

        // An older layout lacks columns: rebuild the table and carry the stored settings over.
        // Only a column known to be missing rebuilds; a probe that fails changes nothing.
        QSet<QString> have;
        try {
            auto info = sldb->GetTable(QStringLiteral("PRAGMA table_info(config)"));
            const int name = info->GetCount() > 0 ? info->GetFieldIndex(QStringLiteral("name")) : 0;
            for (; !info->GetEOF(); info->Next()) have.insert(info->FieldAsString(name).toLower());
        } catch (const ESQLiteException& e) {
            logError("config layout", e.message());
            have.clear();
        }
        const QStringList wanted = configColumns();
        QStringList kept;
        bool missing = false;
        for (const QString& c : wanted) {
            if (have.contains(c.toLower())) kept << c;
            else missing = true;
        }
        if (!have.isEmpty() && missing) {
            try {
                WriteTransaction rebuild(*sldb);
                sldb->ExecSQL(QStringLiteral("DROP TABLE IF EXISTS config_old"));
                sldb->ExecSQL(QStringLiteral("ALTER TABLE config RENAME TO config_old"));
                sldb->ExecSQL(kCreateConfig);
                if (sldb->GetTable(QStringLiteral("SELECT * FROM config_old LIMIT 1"))->GetCount() > 0) {
                    insertDefaultConfig();
                    QStringList sets;
                    for (const QString& c : kept)
                        if (c != QLatin1String("ID")) sets << QStringLiteral("[%1] = o.[%1]").arg(c);
                    if (!sets.isEmpty())
                        sldb->ExecSQL(QStringLiteral("UPDATE config SET ") + sets.join(QStringLiteral(", ")) +
                                      QStringLiteral(" FROM (SELECT * FROM config_old ORDER BY ID LIMIT 1) AS o"));
                }
                sldb->ExecSQL(QStringLiteral("DROP TABLE config_old"));
                rebuild.commit();
            } catch (const ESQLiteException& e) {
                logError("config rebuild", e.message());
            }
        }

        try {
            if (sldb->GetTable(QStringLiteral("SELECT ID FROM config LIMIT 1"))->GetCount() == 0) insertDefaultConfig();
        } catch (const ESQLiteException& e) {
            logError("config row", e.message());
        }
        tx.commit();
    } catch (const ESQLiteException& e) {
        logError("config", e.message());
    }
}

// variant 0: graboconfig; 1: without micin and micout; 2: also the sample slots and keylock reset
void Tmsql::saveConfig(const PSoundConfig& c, int variant)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    QStringList cols;
    QVariantList v;
    auto add = [&](const QString& col, const QVariant& val) {
        cols << col;
        v << val;
    };
    auto n = [](const Shared<int>& x) { return QVariant(x.load()); };
    for (int i = 0; i < 4; ++i) add(QStringLiteral("dsnum%1").arg(i + 1), n(c.dsnum[i]));
    for (int i = 0; i < 4; ++i) add(QStringLiteral("dsname%1").arg(i + 1), c.dsname[i].get());
    for (int i = 0; i < 4; ++i) add(QStringLiteral("dschan%1").arg(i + 1), n(c.dschan[i]));
    for (int i = 0; i < 4; ++i) add(QStringLiteral("asnum%1").arg(i + 1), n(c.asnum[i]));
    for (int i = 0; i < 4; ++i) add(QStringLiteral("asname%1").arg(i + 1), c.asname[i].get());
    for (int i = 0; i < 4; ++i) add(QStringLiteral("aschan%1").arg(i + 1), n(c.aschan[i]));
    add(QStringLiteral("wmode1"), n(c.wmode1));
    add(QStringLiteral("wmode2"), n(c.wmode2));
    add(QStringLiteral("wcue1"), n(c.wcue1));
    add(QStringLiteral("wcue2"), n(c.wcue2));
    add(QStringLiteral("wexp"), n(c.wexp));
    add(QStringLiteral("wasio"), c.wasio.get());
    add(QStringLiteral("wzoom1"), n(c.wzoom1));
    add(QStringLiteral("wzoom2"), n(c.wzoom2));
    add(QStringLiteral("wfull"), n(c.wfull));
    add(QStringLiteral("workmode"), n(c.devicework));
    add(QStringLiteral("devicemode"), n(c.devicemode));
    add(QStringLiteral("brake"), n(c.brake));
    add(QStringLiteral("controller"), c.controler.get());
    add(QStringLiteral("portconin"), c.portconin.get());
    add(QStringLiteral("controller2"), c.controler2.get());
    add(QStringLiteral("portconin2"), c.portconin2.get());
    add(QStringLiteral("hid"), c.hid.get());
    add(QStringLiteral("porthid"), c.porthid.get());
    add(QStringLiteral("hid2"), c.hid2.get());
    add(QStringLiteral("porthid2"), c.porthid2.get());
    add(QStringLiteral("skin"), c.skin.get());
    add(QStringLiteral("com"), n(c.com));
    const SharedText* samples[] = {&c.s1, &c.s2, &c.s3, &c.s4, &c.s5, &c.s6};
    for (int i = 0; i < 6; ++i)
        add(QStringLiteral("s%1").arg(i + 1), variant == 2 ? QStringLiteral("xxx") : samples[i]->get());
    add(QStringLiteral("dr"), n(c.dr));
    add(QStringLiteral("lr"), n(c.lr));
    add(QStringLiteral("pitch"), n(c.pitch));
    add(QStringLiteral("usekeylock"), variant == 2 ? 1 : (c.usekeylock.load() ? 1 : 0));
    add(QStringLiteral("record_sel"), c.recinternal.load() ? 1 : 0);
    add(QStringLiteral("recnum"), n(c.recnum));
    add(QStringLiteral("recchan"), n(c.recchan));
    add(QStringLiteral("recname"), c.recname.get());
    if (variant == 0) {
        add(QStringLiteral("micin"), n(c.micin));
        add(QStringLiteral("micout"), n(c.micout));
    }
    add(QStringLiteral("micnum"), n(c.micnum));
    add(QStringLiteral("micchan"), n(c.micchan));
    add(QStringLiteral("micname"), c.micname.get());
    add(QStringLiteral("svol1"), n(c.svol1));
    add(QStringLiteral("svol2"), n(c.svol2));
    add(QStringLiteral("rdownload"), c.rdownload.get());
    add(QStringLiteral("rrecord"), c.rrecord.get());
    tryExec(QStringLiteral("UPDATE config SET  ") + cols.join(QStringLiteral(" = ?, ")) + QStringLiteral(" = ?"), v);
}

void Tmsql::graboconfig(const PSoundConfig& mconfig) { saveConfig(mconfig, 0); }
void Tmsql::graboconfigdef(const PSoundConfig& mconfig) { saveConfig(mconfig, 1); }
void Tmsql::graboconfigdefnb(const PSoundConfig& mconfig) { saveConfig(mconfig, 2); }

void Tmsql::asignoconfig(PSoundConfig& c)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    auto t = sldb->GetTable(QStringLiteral("SELECT * FROM config"));
    auto i = [&t](const QString& col) { return static_cast<int>(t->FieldAsInteger(t->GetFieldIndex(col))); };
    auto s = [&t](const QString& col) { return t->FieldAsString(t->GetFieldIndex(col)); };
    for (int k = 0; k < 4; ++k) c.dsnum[k] = i(QStringLiteral("dsnum%1").arg(k + 1));
    for (int k = 0; k < 4; ++k) c.dsname[k] = s(QStringLiteral("dsname%1").arg(k + 1));
    for (int k = 0; k < 4; ++k) c.dschan[k] = i(QStringLiteral("dschan%1").arg(k + 1));
    for (int k = 0; k < 4; ++k) c.asnum[k] = i(QStringLiteral("asnum%1").arg(k + 1));
    for (int k = 0; k < 4; ++k) c.asname[k] = s(QStringLiteral("asname%1").arg(k + 1));
    for (int k = 0; k < 4; ++k) c.aschan[k] = i(QStringLiteral("aschan%1").arg(k + 1));
    c.devicework = i(QStringLiteral("workmode"));
    c.devicework2 = i(QStringLiteral("workmode2"));
    c.wmode1 = i(QStringLiteral("wmode1"));
    c.wmode2 = i(QStringLiteral("wmode2"));
    c.wcue1 = i(QStringLiteral("wcue1"));
    c.wcue2 = i(QStringLiteral("wcue2"));
    c.wexp = i(QStringLiteral("wexp"));
    c.wasio = s(QStringLiteral("wasio"));
    c.wzoom1 = i(QStringLiteral("wzoom1"));
    c.wzoom2 = i(QStringLiteral("wzoom2"));
    c.wfull = i(QStringLiteral("wfull"));
    c.devicemode = i(QStringLiteral("devicemode"));
    c.brake = i(QStringLiteral("brake"));
    c.controler = s(QStringLiteral("controller"));
    c.portconin = s(QStringLiteral("portconin"));
    c.controler2 = s(QStringLiteral("controller2"));
    c.portconin2 = s(QStringLiteral("portconin2"));
    c.hid = s(QStringLiteral("hid"));
    c.porthid = s(QStringLiteral("porthid"));
    c.hid2 = s(QStringLiteral("hid2"));
    c.porthid2 = s(QStringLiteral("porthid2"));
    c.skin = s(QStringLiteral("skin"));
    c.s1 = s(QStringLiteral("s1"));
    c.s2 = s(QStringLiteral("s2"));
    c.s3 = s(QStringLiteral("s3"));
    c.s4 = s(QStringLiteral("s4"));
    c.s5 = s(QStringLiteral("s5"));
    c.s6 = s(QStringLiteral("s6"));
    c.dr = i(QStringLiteral("dr"));
    c.lr = i(QStringLiteral("lr"));
    const int pitch = i(QStringLiteral("pitch"));
    c.pitch = pitch;
    c.lpitp1 = pitch;
    c.lpitp2 = pitch;
    c.usekeylock = true;
    c.recinternal = i(QStringLiteral("record_sel")) != 0;
    c.recnum = i(QStringLiteral("recnum"));
    c.recchan = i(QStringLiteral("recchan"));
    c.recname = s(QStringLiteral("recname"));
    c.micin = i(QStringLiteral("micin"));
    c.micout = i(QStringLiteral("micout"));
    c.micnum = i(QStringLiteral("micnum"));
    c.micchan = i(QStringLiteral("micchan"));
    c.micname = s(QStringLiteral("micname"));
    c.svol1 = i(QStringLiteral("svol1"));
    c.svol2 = i(QStringLiteral("svol2"));
    c.rdownload = s(QStringLiteral("rdownload"));
    c.rrecord = s(QStringLiteral("rrecord"));
    const QString com = s(QStringLiteral("com"));
    bool ok = false;
    const int comv = com.trimmed().toInt(&ok);
    if (!ok) throw ESQLiteException(QStringLiteral("'%1' is not a valid integer value").arg(com));
    c.com = comv;
}

void Tmsql::restoreconfig()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    tryExec(QStringLiteral("DELETE FROM config"));
    insertDefaultConfig();
}
