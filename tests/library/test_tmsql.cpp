#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "tests/library/libraryfixture.h"
#include "library/sqliteexception.h"

TEST_F(LibraryDb, NewFileHasTablesIndexesSeedsAndCounters)
{
    EXPECT_TRUE(QFile::exists(path()));
    for (const char* t : {"songs", "grupos", "config"}) EXPECT_TRUE(sql->db().TableExists(t)) << t;
    EXPECT_EQ(value("SELECT count(*) FROM sqlite_master WHERE type='index' AND name IN ('songsfichero','grupostipo')"), 2);
    auto g = sql->dametabla("SELECT Tipo, id, grupo, descripcio, parentid, rootid, orden, current FROM grupos ORDER BY id");
    ASSERT_EQ(g->GetCount(), 2);
    EXPECT_EQ(g->FieldAsInteger(0), 0);
    EXPECT_EQ(g->FieldAsDouble(1), 1);
    EXPECT_EQ(g->FieldAsString(2), "Group");
    EXPECT_EQ(g->FieldAsString(3), "Group");
    EXPECT_EQ(g->FieldAsDouble(4), 0);
    EXPECT_EQ(g->FieldAsDouble(5), 1);
    EXPECT_EQ(g->FieldAsInteger(6), 1);
    EXPECT_EQ(g->FieldAsInteger(7), 0);
    g->Next();
    EXPECT_EQ(g->FieldAsInteger(0), 1);
    EXPECT_EQ(g->FieldAsDouble(1), 2);
    EXPECT_EQ(g->FieldAsString(2), "Playlist");
    EXPECT_EQ(g->FieldAsInteger(7), 0);
    EXPECT_EQ(value("SELECT count(*) FROM config"), 1);
    EXPECT_EQ(sql->db().GetTable("SELECT * FROM config")->GetColCount(), 79);
    EXPECT_EQ(sql->grupoid, 2);
    EXPECT_EQ(sql->songid, 0);
    EXPECT_EQ(sql->altadegrupo(0, "Next", true, 0), 3);
    EXPECT_EQ(sql->altadecancion(0, tags("/m/a.mp3", "a", "b"), 1, 1), 1);
}

TEST_F(LibraryDb, ReopenKeepsEverythingAndResetsPlayCounts)
{
    const double g = sql->altadegrupo(0, "House", true, 0);
    sql->altadecancion(0, tags("/m/a.mp3", "Art", "Tit"), g, g);
    PRecord r;
    r.veces = 4;
    r.duration = "00:03:10";
    sql->salvatag(r, "/m/a.mp3");
    EXPECT_EQ(text("SELECT album FROM songs"), "4");
    reopen();
    EXPECT_EQ(text("SELECT grupo FROM grupos WHERE id = ?", {g}), "House");
    EXPECT_EQ(text("SELECT artista FROM songs"), "Art");
    EXPECT_EQ(text("SELECT genero FROM songs"), "00:03:10");
    EXPECT_EQ(text("SELECT album FROM songs"), "0");
    EXPECT_EQ(value("SELECT count(*) FROM grupos"), 3);
    EXPECT_EQ(sql->grupoid, 3);
    EXPECT_EQ(sql->songid, 1);
}

TEST_F(LibraryDb, CountersComeFromTheLargestStoredIds)
{
    sql->db().ExecSQL("UPDATE grupos SET id = 9 WHERE tipo = 1");
    reopen();
    EXPECT_EQ(sql->grupoid, 9);
    EXPECT_EQ(sql->songid, 0);
}

TEST_F(LibraryDb, MissingSeedRowsComeBackWithTheNextIds)
{
    sql->altadegrupo(0, "Other", true, 0);  // id 3
    sql->db().ExecSQL("DELETE FROM grupos WHERE tipo = 1");
    reopen();
    EXPECT_EQ(text("SELECT grupo FROM grupos WHERE tipo = 1"), "Playlist");
    EXPECT_EQ(value("SELECT id FROM grupos WHERE tipo = 1"), 4);
    sql->db().ExecSQL("DELETE FROM grupos WHERE tipo = 0");
    reopen();
    EXPECT_EQ(text("SELECT grupo FROM grupos WHERE tipo = 0"), "Group");
    EXPECT_EQ(value("SELECT id FROM grupos WHERE tipo = 0"), 5);
}

TEST(LibraryOpen, TablesStoredUpperCaseAreFound)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("korvanta.db");
    {
        TSQLiteDatabase d(p);
        d.ExecSQL("CREATE TABLE SONGS ([MYID] INTEGER PRIMARY KEY,[Tipo] INTEGER, [id] FLOAT, [album] VARCHAR (100))");
        d.ExecSQL("INSERT INTO SONGS (Tipo, id, album) VALUES (0, 5, '7')");
    }
    Tmsql sql(p);
    EXPECT_EQ(sql.songid, 5);
    EXPECT_EQ(sql.db().GetTableString("SELECT album FROM songs"), "0");
}

TEST(LibraryOpen, DefaultConstructorUsesTheProfileFolder)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
    QDir().mkpath(home.filePath("Documents/OSTREL_KORVANTA"));
    Tmsql sql;
    EXPECT_TRUE(sql.slDBpath.endsWith("/OSTREL_KORVANTA/korvanta.db")) << sql.slDBpath.toStdString();
    EXPECT_TRUE(QFile::exists(sql.slDBpath));
}

TEST(LibraryOpen, UnopenableFileThrows)
{
    QTemporaryDir dir;
    EXPECT_THROW(Tmsql(dir.filePath("no/such/folder/korvanta.db")), ESQLiteException);
}

TEST_F(LibraryDb, GroupsSubgroupsAndPlaylists)
{
    const double g = sql->altadegrupo(0, "Techno", true, 0);
    const double sg = sql->altadesubgrupo(0, "Detroit", true, g);
    EXPECT_EQ(value("SELECT parentid FROM grupos WHERE id = ?", {sg}), g);
    EXPECT_EQ(value("SELECT rootid FROM grupos WHERE id = ?", {sg}), g);
    EXPECT_EQ(value("SELECT current IS NULL FROM grupos WHERE id = ?", {sg}), 1);
    EXPECT_EQ(value("SELECT current FROM grupos WHERE id = ?", {g}), 1);
    EXPECT_EQ(sql->altadegrupo(0, "Tekno", false, g), g);
    EXPECT_EQ(text("SELECT descripcio FROM grupos WHERE id = ?", {g}), "Tekno");
    EXPECT_EQ(sql->altadesubgrupo(0, "Berlin", false, sg), sg);
    EXPECT_EQ(text("SELECT grupo FROM grupos WHERE id = ?", {sg}), "Berlin");

    sql->altadecancion(0, tags("/a.mp3", "a", "a"), g, g);
    sql->altadecancion(0, tags("/b.mp3", "b", "b"), sg, g);
    sql->vaciagrupo(0, QString::number(sg), false);
    EXPECT_EQ(value("SELECT count(*) FROM songs"), 1);
    sql->altadecancion(0, tags("/b.mp3", "b", "b"), sg, g);
    sql->borragrupo(0, QString::number(sg), false);
    EXPECT_EQ(value("SELECT count(*) FROM grupos WHERE id = ?", {sg}), 0);
    EXPECT_EQ(value("SELECT count(*) FROM songs"), 1);
    sql->borragrupo(0, QString::number(g), true);
    EXPECT_EQ(value("SELECT count(*) FROM songs"), 0);
    EXPECT_EQ(value("SELECT count(*) FROM grupos WHERE id = ?", {g}), 0);

    const double p = sql->altadegrupo(1, "Friday", true, 0);
    sql->altadecancion(1, tags("/c.mp3", "c", "c", 1), p, p);
    sql->vaciagrupo(1, QString::number(p), false);
    EXPECT_EQ(value("SELECT count(*) FROM songs"), 0);
    EXPECT_EQ(value("SELECT count(*) FROM grupos WHERE id = ?", {p}), 1);
    EXPECT_TRUE(sql->pongocurrent(p));
    EXPECT_EQ(value("SELECT id FROM grupos WHERE tipo = 1 AND current = 0"), p);
    EXPECT_EQ(value("SELECT count(*) FROM grupos WHERE tipo = 1 AND current = 1"), 1);
    // an id that is no number deletes nothing
    sql->borragrupo(1, "2 OR 1=1", false);
    EXPECT_EQ(value("SELECT count(*) FROM grupos WHERE tipo = 1"), 2);
}

TEST_F(LibraryDb, PlaylistPositionsMoveDeleteAndLookUp)
{
    const double p = 2;
    for (int i = 1; i <= 5; ++i) sql->altadesg(row(QString("/m/%1.mp3").arg(i)), 1, i, p, p);
    EXPECT_EQ(positions(p), QList<qint64>({1, 2, 3, 4, 5}));
    sql->muevecancion(5, 2, p, 5);
    EXPECT_EQ(positions(p), QList<qint64>({1, 3, 4, 5, 2}));
    sql->muevecancion(2, 5, p, 5);
    EXPECT_EQ(positions(p), QList<qint64>({1, 2, 3, 4, 5}));
    sql->borracancion(1, 3, p, "3");
    EXPECT_EQ(positions(p), QList<qint64>({1, 2, 3, 4}));

    EXPECT_EQ(sql->dametrack2(p, 1, "/m/5.mp3"), "0004");
    EXPECT_EQ(positions(p), QList<qint64>({1, 2, 3, 4}));
    EXPECT_EQ(sql->dametrack2(p, 1, "/m/new.mp3"), "0000");
    EXPECT_EQ(positions(p), QList<qint64>({2, 3, 4, 5}));

    EXPECT_EQ(sql->dametrack(p, 1, 0, "/m/4.mp3"), "0004");
    EXPECT_EQ(sql->dametrack(p, 1, 4, "/m/4.mp3"), "0004");
    EXPECT_EQ(sql->dametrack(p, 1, 99, "/m/4.mp3"), "0000");
    EXPECT_EQ(sql->dametrack(p, 1, 0, "/m/none.mp3"), "0000");
}

TEST_F(LibraryDb, AddingAtPositionOneShiftsThePlaylist)
{
    const double p = sql->altadegrupo(1, "L", true, 0);
    sql->altadecancion(1, tags("/1.mp3", "a", "b", 1), p, p);
    sql->altadecancion(1, tags("/2.mp3", "a", "b", 1), p, p);
    sql->altadesg2(row("/3.mp3"), 1, 1, p, p);
    EXPECT_EQ(positions(p), QList<qint64>({3, 2, 1}));
    EXPECT_EQ(text("SELECT filename FROM songs WHERE fichero = '/1.mp3'"), "1.mp3");
    EXPECT_EQ(value("SELECT bass + treble + mid + gain FROM songs WHERE fichero = '/1.mp3'"), 40);
}

TEST_F(LibraryDb, DeckValuesWriteBackToEveryRowOfTheFile)
{
    const QString f = "/music/track.mp3";
    sql->altadecancion(0, tags(f, "Art", "Tit"), 1, 1);
    sql->altadesg(row(f), 1, 1, 2, 2);
    PRecord r;
    EXPECT_FALSE(sql->damecancion(2, r, f));  // no play count yet in this run
    r.tag[tagslot::bpm] = 95.5;
    for (int s = tagslot::cue1; s <= tagslot::cue11; ++s) r.tag[s] = s * 1000.25;
    r.bas = -3;
    r.tre = 4;
    r.mid = 5;
    r.gain = 12;
    r.veces = 2;
    r.duration = "00:04:05";
    sql->salvatag(r, f);
    EXPECT_EQ(value("SELECT count(*) FROM songs WHERE bpm = '095.500' AND album = '2' AND cue11 = 12003"), 2);

    PRecord back;
    ASSERT_TRUE(sql->damecancion(0, back, f));
    EXPECT_EQ(back.songname.get(), f);
    EXPECT_EQ(back.title.get(), "Tit");
    EXPECT_EQ(back.artist.get(), "Art");
    EXPECT_EQ(back.bpm.get(), "095.500");
    for (int s = tagslot::cue1; s <= tagslot::cue11; ++s) EXPECT_EQ(back.tag[s].load(), s * 1000.25) << s;
    EXPECT_EQ(back.bas.load(), -3);
    EXPECT_EQ(back.tre.load(), 4);
    EXPECT_EQ(back.gain.load(), 12);
    EXPECT_EQ(back.veces.load(), 2);
    EXPECT_EQ(back.fduratotal.get(), "00:04:05");
    EXPECT_EQ(back.id.load(), 1);
    EXPECT_FALSE(sql->damecancion(1, back, "/music/other.mp3"));
}

TEST_F(LibraryDb, EditAndRepair)
{
    sql->altadecancion(0, tags(dir.filePath("here.mp3"), "a", "b"), 1, 1);
    QFile(dir.filePath("here.mp3")).open(QIODevice::WriteOnly);
    sql->altadecancion(0, tags("/gone/away.mp3", "a", "b"), 1, 1);
    Ttagsong t = tags("1", "New 'Artist'", "New \"Title\"");
    t.Bpm = "128.000";
    sql->modificacancion(t);
    EXPECT_EQ(text("SELECT artista FROM songs WHERE id = 1"), "New 'Artist'");
    EXPECT_EQ(text("SELECT cancion FROM songs WHERE id = 1"), "New \"Title\"");
    EXPECT_EQ(text("SELECT bpm FROM songs WHERE id = 1"), "128.000");
    sql->reparasongs();
    EXPECT_EQ(text("SELECT filename FROM songs WHERE id = 1"), dir.filePath("here.mp3"));
    EXPECT_EQ(text("SELECT filename FROM songs WHERE id = 2"), "");

    const double p = 2;
    for (int i = 0; i < 3; ++i) sql->altadesg(row(QString("/r%1").arg(i)), 1, 10 * (3 - i), p, p);
    sql->reparaplaylist();
    EXPECT_EQ(positions(p), QList<qint64>({3, 2, 1}));
}

TEST_F(LibraryDb, GridCellsInEitherDecimalFormStoreNumbers)
{
    QStringList r = row("/x.mp3");
    r[gridcol::cue1] = "12.5";
    r[gridcol::cue0] = "7,25";
    r[gridcol::cue11] = "";
    ASSERT_TRUE(sql->altadesg(r, 0, 0, 1, 1));
    auto t = sql->dametabla("SELECT cue1, cue0, cue11 FROM songs");
    EXPECT_EQ(t->FieldAsDouble(0), 12.5);
    EXPECT_EQ(t->FieldAsDouble(1), 7.25);
    EXPECT_TRUE(t->FieldIsNull(2));
}

TEST_F(LibraryDb, SwallowedErrorsAreWrittenToStandardError)
{
    sql->db().ExecSQL("DROP TABLE songs");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(sql->altadesg(row("/x.mp3"), 0, 0, 1, 1));
    sql->salvatag(PRecord(), "/x.mp3");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("altadesg"), std::string::npos) << err;
    EXPECT_NE(err.find("no such table: songs"), std::string::npos) << err;
    EXPECT_EQ(sql->dametrack(2, 1, 0, "/x.mp3"), "0000");
    EXPECT_THROW(sql->buscacanciones("x"), ESQLiteException);
}

TEST_F(LibraryDb, TwoDecksAddingAtOnceGetPositionsOneAndTwo)
{
    for (int round = 0; round < 20; ++round) {
        const double p = sql->altadegrupo(1, QString("H%1").arg(round), true, 0);
        sql->altadesg(row("/old.mp3"), 1, 1, p, p);
        std::thread a([&] { sql->altaencurrent(row(QString("/a%1.mp3").arg(round)), p); });
        std::thread b([&] { sql->altaencurrent(row(QString("/b%1.mp3").arg(round)), p); });
        a.join();
        b.join();
        QList<qint64> pos = positions(p);
        std::sort(pos.begin(), pos.end());
        ASSERT_EQ(pos, QList<qint64>({1, 2, 3})) << round;
    }
    const double q = sql->altadegrupo(1, "Q", true, 0);
    bool inserted = false;
    double id = 0;
    EXPECT_EQ(sql->altaencurrent(row("/old.mp3"), q, &inserted, &id), "0000");
    EXPECT_TRUE(inserted);
    EXPECT_EQ(value("SELECT orden FROM songs WHERE id = ?", {id}), 1);
    EXPECT_EQ(sql->altaencurrent(row("/old.mp3"), q, &inserted), "0001");
    EXPECT_FALSE(inserted);
}

// Text hostile to SQL is stored and found back as it is.
TEST_F(LibraryDb, HostileTextRoundTrips)
{
    const QString cases[] = {
        "it's",
        "say \"hi\"",
        "12\" Mix.mp3",
        "100%",
        "a_b",
        "x'; DROP TABLE songs;--",
        "\"; DELETE FROM grupos; --",
        QString::fromUtf8("\x01\x02\x1f\x7f \xc3\xbf\xc2\x80\xef\xbf\xbd"),
        QString::fromUtf8("Мастер и Маргарита"),
        QString::fromUtf8("東京 ナイト"),
        "back\\slash %_\\",
    };
    const double g = sql->altadegrupo(0, "G", true, 0);
    for (const QString& s : cases) {
        SCOPED_TRACE(s.toStdString());
        const double id = sql->altadegrupo(0, s, true, 0);
        EXPECT_EQ(text("SELECT grupo FROM grupos WHERE id = ?", {id}), s);
        sql->altadegrupo(0, s + "2", false, id);
        EXPECT_EQ(text("SELECT descripcio FROM grupos WHERE id = ?", {id}), s + "2");

        const QString file = "/music/" + s + ".mp3";
        const double sid = sql->altadecancion(0, tags(file, s, "t " + s), g, g);
        sql->altadesg(row(file, s, s), 1, 1, 2, 2);
        EXPECT_EQ(text("SELECT fichero FROM songs WHERE id = ?", {sid}), file);
        EXPECT_EQ(text("SELECT artista FROM songs WHERE id = ?", {sid}), s);
        EXPECT_EQ(text("SELECT filename FROM songs WHERE id = ?", {sid}), s + ".mp3");

        PRecord r;
        r.veces = 1;
        sql->salvatag(r, file);
        PRecord back;
        ASSERT_TRUE(sql->damecancion(2, back, file));
        EXPECT_EQ(back.artist.get(), s);
        EXPECT_EQ(back.id.load(), int(sid));
        EXPECT_NE(sql->dametrack2(2, 1, file), "0000");
    }
    EXPECT_EQ(value("SELECT count(*) FROM grupos"), 3 + std::size(cases));
    // each search finds exactly the entries whose text holds it
    for (const QString& s : cases) {
        SCOPED_TRACE(s.toStdString());
        int expected = 0;
        for (const QString& other : cases)
            if (other.contains(s, Qt::CaseInsensitive)) ++expected;
        auto t = sql->buscacanciones(s);
        EXPECT_EQ(t->GetCount(), expected);
        auto t1 = sql->buscacanciones1(s);
        EXPECT_EQ(t1->GetCount(), expected);
    }
    EXPECT_EQ(sql->buscacanciones("%")->GetCount(), 2);
    EXPECT_EQ(sql->buscacanciones("_")->GetCount(), 2);
    EXPECT_EQ(sql->buscacanciones("IT'S")->GetCount(), 1);
}

TEST_F(LibraryDb, SearchFollowsEditsAndDeletes)
{
    sql->altadecancion(0, tags("/1.mp3", "Daft Punk", "Around the World"), 1, 1);
    sql->altadecancion(0, tags("/2.mp3", "Air", "Sexy Boy"), 1, 1);
    EXPECT_EQ(sql->buscacanciones("punk")->GetCount(), 1);
    EXPECT_EQ(sql->buscacanciones("ai")->GetCount(), 1);  // shorter than the index's trigrams
    Ttagsong t = tags("1", "Justice", "Genesis");
    sql->modificacancion(t);
    EXPECT_EQ(sql->buscacanciones("punk")->GetCount(), 0);
    EXPECT_EQ(sql->buscacanciones("JUSTICE")->GetCount(), 1);
    PRecord r;
    r.tag[tagslot::bpm] = 123.25;
    sql->salvatag(r, "/2.mp3");
    EXPECT_EQ(sql->buscacanciones("123.2")->GetCount(), 1);
    sql->borracancion(0, 0, 1, "2");
    EXPECT_EQ(sql->buscacanciones("Sexy")->GetCount(), 0);
    EXPECT_EQ(sql->db().GetTableString("PRAGMA integrity_check"), "ok");
}

TEST_F(LibraryDb, ADatabaseWithoutTheSearchIndexGetsItBuilt)
{
    sql->altadecancion(0, tags("/1.mp3", "Röyksopp", "Eple"), 1, 1);
    sql->db().ExecSQL("DROP TABLE songsearch");
    for (const char* t : {"songsearch_ai", "songsearch_ad", "songsearch_au"})
        sql->db().ExecSQL(QString("DROP TRIGGER %1").arg(t));
    reopen();
    EXPECT_EQ(sql->buscacanciones("röyk")->GetCount(), 1);
    EXPECT_EQ(sql->buscacanciones("RÖYK")->GetCount(), 0);  // only ASCII letters ignore case
    EXPECT_EQ(sql->buscacanciones("RöYK")->GetCount(), 1);
}

TEST_F(LibraryDb, BatchesCommitWhatWasAdded)
{
    sql->beginBatch();
    sql->altadecancion(0, tags("/1.mp3", "a", "b"), 1, 1);
    sql->commitBatch();
    sql->altadecancion(0, tags("/2.mp3", "a", "b"), 1, 1);
    {
        TSQLiteDatabase other(path());
        EXPECT_EQ(other.GetTableValue("SELECT count(*) FROM songs"), 1);
    }
    sql->endBatch();
    TSQLiteDatabase other(path());
    EXPECT_EQ(other.GetTableValue("SELECT count(*) FROM songs"), 2);
}

TEST_F(LibraryDb, NumbersIgnoreTheUserLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    sql->altadecancion(0, tags("/x.mp3", "a", "b"), 1, 1);
    PRecord r;
    r.tag[tagslot::bpm] = 95.5;
    r.tag[tagslot::cue1] = 1234.5;
    r.veces = 1;
    sql->salvatag(r, "/x.mp3");
    EXPECT_EQ(text("SELECT bpm FROM songs"), "095.500");
    EXPECT_EQ(text("SELECT cue1 FROM songs"), "1234.5");
    EXPECT_EQ(sql->dametabla("SELECT cue1 FROM songs")->FieldAsString(0), "1234.5");
    QLocale::setDefault(QLocale::c());
}
