// A library database in a temporary folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include <QTemporaryDir>

#include "engine/microsf.h"
#include "engine/precord.h"
#include "library/tmsql.h"

struct LibraryDb : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<Tmsql> sql;
    QString path() const { return dir.filePath("korvanta.db"); }
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        sql = std::make_unique<Tmsql>(path());
    }
    void reopen()
    {
        sql.reset();
        sql = std::make_unique<Tmsql>(path());
    }
    qint64 value(const QString& q, const QVariantList& binds = {}) { return sql->db().GetTableValue(q, binds); }
    QString text(const QString& q, const QVariantList& binds = {}) { return sql->db().GetTableString(q, binds); }

    // a grid row with the given path, artist and title; cues 1..11 and EQ as given
    static QStringList row(const QString& file, const QString& artist = "A", const QString& title = "T")
    {
        QStringList r;
        for (int i = 0; i < gridcol::count; ++i) r << QString();
        r[gridcol::path] = file;
        r[gridcol::artist] = artist;
        r[gridcol::title] = title;
        r[gridcol::bpm] = "120.000";
        for (int c = gridcol::cue1; c <= gridcol::cue0; ++c) r[c] = "0";
        r[gridcol::cue10] = r[gridcol::cue11] = "0";
        for (int c = gridcol::bass; c <= gridcol::gain; ++c) r[c] = "10";
        return r;
    }
    // positions of a playlist's entries, by id order
    QList<qint64> positions(double playlist)
    {
        QList<qint64> out;
        for (const QString& s : sql->db().GetTableStrings("SELECT orden FROM songs WHERE grupo = ? ORDER BY id", {playlist}))
            out << s.toLongLong();
        return out;
    }
    Ttagsong tags(const QString& file, const QString& artist, const QString& title, int orden = 0)
    {
        Ttagsong t;
        t.alfichero = file;
        t.Artist = artist;
        t.Title = title;
        t.Bpm = "000.000";
        t.orden = orden;
        return t;
    }
};
