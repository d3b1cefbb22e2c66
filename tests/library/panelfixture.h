// The panels' logic over a library in a temporary folder, with a plain row list for a
// grid, boxes that record what they were asked and answer when told, and an event loop
// for the adding worker's queued calls.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/precord.h"
#include "library/groupslogic.h"
#include "library/panelprompts.h"
#include "library/playlistslogic.h"
#include "library/songrowlist.h"
#include "library/tmsql.h"
#include "tests/library/mp3fixture.h"
#include "tests/support/fakemainservices.h"

// Each box is recorded; a Yes/No box waits for answer() unless autoAnswer is set.
class FakePrompts : public PanelPrompts {
public:
    void confirm(const QString& text, std::function<void(bool)> answer) override
    {
        asked << text;
        if (autoAnswer) answer(*autoAnswer);
        else waiting.push_back(std::move(answer));
    }
    void warn(const QString& text) override { warned << text; }
    void askText(const QString& caption, const QString& prompt, const QString& value,
                 std::function<void(std::optional<QString>)> answer) override
    {
        asked << caption + " / " + prompt + " / " + value;
        answer(typed);
    }
    void answer(bool yes)
    {
        ASSERT_FALSE(waiting.empty());
        auto a = std::move(waiting.front());
        waiting.pop_front();
        a(yes);
    }

    QStringList asked, warned;
    std::optional<bool> autoAnswer = true;
    std::optional<QString> typed;
    std::deque<std::function<void(bool)>> waiting;
};

struct PanelRig : ::testing::Test {
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_library_panels";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<Tmsql> sql;
    SongRowList groupsGrid{songgridrow::headers(songgridrow::Kind::Groups)};
    SongRowList playGrid{songgridrow::headers(songgridrow::Kind::Playlists)};
    FakePrompts prompts;
    FakeMainServices main;
    std::unique_ptr<GroupsLogic> groups;
    std::unique_ptr<PlaylistsLogic> play;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        sql = std::make_unique<Tmsql>(dir.filePath("korvanta.db"));
        groups = std::make_unique<GroupsLogic>(*sql, groupsGrid, &prompts, &main);
        play = std::make_unique<PlaylistsLogic>(*sql, playGrid, &prompts, &main);
    }

    // runs the event loop until done() or 20 s
    static bool runUntil(const std::function<bool()>& done)
    {
        QDeadlineTimer deadline(20000);
        while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }

    QString file(const QString& name, const QByteArray& bytes = mp3::frames(2))
    {
        const QString p = dir.filePath(name);
        QDir().mkpath(QFileInfo(p).path());
        EXPECT_TRUE(mp3::write(p, bytes));
        return p;
    }
    static QStringList row(const QString& path, const QString& artist = "A", const QString& title = "T")
    {
        QStringList r = songgridrow::blank();
        r[gridcol::path] = path;
        r[gridcol::artist] = artist;
        r[gridcol::title] = title;
        r[gridcol::bpm] = "120.000";
        return r;
    }
    // a playlist's paths by position, and its positions in that order
    QStringList entries(double playlist)
    {
        return sql->db().GetTableStrings("SELECT fichero FROM songs WHERE tipo = 1 AND grupo = ? ORDER BY orden",
                                         {playlist});
    }
    QList<qint64> positions(double playlist)
    {
        QList<qint64> out;
        for (const QString& s :
             sql->db().GetTableStrings("SELECT orden FROM songs WHERE tipo = 1 AND grupo = ? ORDER BY orden", {playlist}))
            out << s.toLongLong();
        return out;
    }
    static QList<qint64> oneTo(int n)
    {
        QList<qint64> out;
        for (int i = 1; i <= n; ++i) out << i;
        return out;
    }
    static QStringList column(const PanelGrid& g, int c)
    {
        QStringList out;
        for (int r = 1; r < g.rowCount(); ++r) out << g.cell(c, r);
        return out;
    }
    // the grid shows the playlist as stored: paths in position order, positions 0001..
    void expectGridMirrors(double playlist)
    {
        EXPECT_EQ(column(playGrid, gridcol::path), entries(playlist));
        QStringList want;
        for (int i = 1; i < playGrid.rowCount(); ++i) want << songgridrow::order(i);
        EXPECT_EQ(column(playGrid, gridcol::order), want);
    }
};
