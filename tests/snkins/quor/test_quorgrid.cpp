#include <gtest/gtest.h>

#include <QCollator>
#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "snkins/quor/quorgridmodel.h"
#include "snkins/quor/tquorgrid.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

QStringList songRow(const QString& artist, const QString& path = QString(), const QString& plays = QString(),
                    const QString& bpm = QString())
{
    QStringList cells(25);
    cells[2] = bpm;
    cells[3] = artist;
    cells[4] = QStringLiteral("Title of ") + artist;
    cells[6] = path;
    cells[22] = plays;
    return cells;
}

class QuorGrid : public ::testing::Test {
protected:
    void SetUp() override
    {
        kitApp();
        grid = std::make_unique<TquorGrid>();
        QFont f = grid->font();
        f.setPixelSize(14);
        grid->setFont(f);
        grid->init(nullptr);
        grid->resize(900, 400);
        const int widths[] = {38, 55, 83, 245, 245, 109};
        const char* heads[] = {"   T", "   V", "   BPM", "   Artist", "   Title", "   Time"};
        for (int c = 0; c < 25; ++c) grid->setColWidths(c, c < 6 ? widths[c] : 0);
        for (int c = 0; c < 6; ++c) grid->setCells(c, 0, QString::fromLatin1(heads[c]));
    }

    QStringList column(int col) const
    {
        QStringList out;
        for (int r = 1; r < grid->RowCount(); ++r) out << grid->Cells(col, r);
        return out;
    }

    // the rectangle of a cell in the grid's own coordinates
    QRect cellRect(int col, int row) const
    {
        QRect r = grid->visualRect(grid->model()->index(row - grid->FixedRows(), col));
        return r.translated(grid->viewport()->pos());
    }

    static bool hasColour(const QImage& shot, const QRect& area, QColor colour)
    {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shot.pixelColor(x, y) == colour) return true;
        return false;
    }

    std::unique_ptr<TquorGrid> grid;
};

TEST_F(QuorGrid, AFillSetsEveryRowInOneBatch)
{
    QList<QStringList> rows;
    for (int i = 0; i < 1000; ++i) rows << songRow(QStringLiteral("artist %1").arg(i));
    QSignalSpy changed(grid->gridModel(), &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(grid->gridModel(), &QAbstractItemModel::rowsInserted);
    grid->setRow(1);
    grid->setSongRows(rows);
    EXPECT_EQ(grid->RowCount(), 1001);
    EXPECT_EQ(grid->Cells(3, 1000), QStringLiteral("artist 999"));
    EXPECT_EQ(grid->Cells(0, 0), QStringLiteral("   T"));  // the title row stays
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->ColWidths(3), 245);  // widths survive the fill
    EXPECT_EQ(grid->ColWidths(6), 0);

    grid->setSongRows({});
    EXPECT_EQ(grid->RowCount(), 2);  // one blank song row
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Cells(3, 1), QString());
}

TEST_F(QuorGrid, SortPutsBlankCellsFirstThenCaseInsensitiveLocaleOrder)
{
    const QStringList artists = {QStringLiteral("Zebra"), QString(), QStringLiteral("éclair"),
                                 QStringLiteral("apple"), QStringLiteral("  "), QStringLiteral("Eagle")};
    QList<QStringList> rows;
    for (int i = 0; i < artists.size(); ++i) rows << songRow(artists[i], QStringLiteral("/p/%1").arg(i));
    grid->setSongRows(rows);

    grid->SortGrid(3, true);
    EXPECT_EQ(column(3), (QStringList{QString(), QStringLiteral("  "), QStringLiteral("apple"), QStringLiteral("Eagle"),
                                      QStringLiteral("éclair"), QStringLiteral("Zebra")}));
    // whole rows move
    EXPECT_EQ(column(6), (QStringList{QStringLiteral("/p/1"), QStringLiteral("/p/4"), QStringLiteral("/p/3"),
                                      QStringLiteral("/p/5"), QStringLiteral("/p/2"), QStringLiteral("/p/0")}));
    EXPECT_EQ(grid->Cells(3, 0), QStringLiteral("   Artist"));

    grid->SortGrid(3, false);
    EXPECT_EQ(column(3), (QStringList{QStringLiteral("Zebra"), QStringLiteral("éclair"), QStringLiteral("Eagle"),
                                      QStringLiteral("apple"), QStringLiteral("  "), QString()}));
}

TEST_F(QuorGrid, SortIsTextOrderAndIgnoresAMissingColumn)
{
    QList<QStringList> rows;
    for (const char* bpm : {"2.000", "10.000", "128.000", "95.500"})
        rows << songRow(QStringLiteral("a"), QString(), QString(), QString::fromLatin1(bpm));
    grid->setSongRows(rows);
    grid->SortGrid(2, true);
    EXPECT_EQ(column(2), (QStringList{QStringLiteral("10.000"), QStringLiteral("128.000"), QStringLiteral("2.000"),
                                      QStringLiteral("95.500")}));
    grid->SortGrid(25, true);
    grid->SortGrid(-1, false);
    EXPECT_EQ(column(2).first(), QStringLiteral("10.000"));
}

TEST_F(QuorGrid, ALongColumnIsKeyedOnSeveralThreadsAndSortsAlike)
{
    // enough distinct texts for the keys to be made by several threads
    QList<QStringList> rows;
    for (int i = 0; i < 20000; ++i)
        rows << songRow((i % 3 ? QStringLiteral("Ärtist %1") : QStringLiteral("artist %1")).arg((i * 7919) % 20000));
    grid->setSongRows(rows);
    grid->SortGrid(3, true);
    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const QStringList sorted = column(3);
    ASSERT_EQ(sorted.size(), 20000);
    for (int i = 1; i < sorted.size(); ++i) ASSERT_LE(collator.compare(sorted[i - 1], sorted[i]), 0) << i;
}

TEST_F(QuorGrid, InsertRowShiftsTheRowsBelowAndClampsItsIndex)
{
    grid->setSongRows({songRow(QStringLiteral("one")), songRow(QStringLiteral("two"))});
    ASSERT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(grid->InsertRow(2), 2);
    EXPECT_EQ(column(3), (QStringList{QStringLiteral("one"), QString(), QStringLiteral("two")}));
    EXPECT_EQ(grid->InsertRow(99), 4);
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->Cells(3, 4), QString());
#ifdef QT_NO_DEBUG
    // below the first song row: inserted at the first song row, the title row stays
    EXPECT_EQ(grid->InsertRow(0), 1);
    EXPECT_EQ(grid->Cells(3, 0), QStringLiteral("   Artist"));
    EXPECT_EQ(grid->Cells(3, 2), QStringLiteral("one"));
#endif
}

TEST_F(QuorGrid, MoveRowTakesItsHeightAlong)
{
    QList<QStringList> rows;
    for (int i = 1; i <= 5; ++i) rows << songRow(QString::number(i));
    grid->setSongRows(rows);
    grid->setRowHeights(2, 0);
    grid->MoveRow(2, 5);
    EXPECT_EQ(column(3), (QStringList{"1", "3", "4", "5", "2"}));
    EXPECT_EQ(grid->RowHeights(5), 0);
    EXPECT_EQ(grid->RowHeights(2), 18);
    EXPECT_TRUE(grid->isRowHidden(4));
    EXPECT_FALSE(grid->isRowHidden(1));
    grid->MoveRow(5, 1);
    EXPECT_EQ(column(3), (QStringList{"2", "1", "3", "4", "5"}));
    EXPECT_EQ(grid->RowHeights(1), 0);
}

TEST_F(QuorGrid, SelectingACellSetsTheFocusFlagAndTheRow)
{
    QList<QStringList> rows;
    for (int i = 1; i <= 5; ++i) rows << songRow(QString::number(i));
    grid->setSongRows(rows);
    grid->show();
    QSignalSpy selected(grid.get(), &TquorGrid::cellSelected);
    grid->nfocus.clear();
    grid->setRow(3);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->nfocus, QStringLiteral("True"));
    ASSERT_GE(selected.count(), 1);
    EXPECT_EQ(selected.last().at(1).toInt(), 3);

    grid->nfocus.clear();
    const QRect r = cellRect(4, 5);
    click(grid->viewport(), r.center() - grid->viewport()->pos());
    EXPECT_EQ(grid->Row(), 5);
    EXPECT_EQ(grid->nfocus, QStringLiteral("True"));
    int col = -1, row = -1;
    ASSERT_TRUE(grid->MouseToCell(r.center().x(), r.center().y(), col, row));
    EXPECT_EQ(col, 4);
    EXPECT_EQ(row, 5);
    ASSERT_TRUE(grid->MouseToCell(cellRect(3, 1).center().x(), 5, col, row));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 3);
}

TEST_F(QuorGrid, RowsShowPlayCountsMissingFilesAndSelection)
{
    QTemporaryDir dir;
    const QString there = dir.filePath(QStringLiteral("track.mp3"));
    QFile f(there);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString gone = dir.filePath(QStringLiteral("deleted.mp3"));
    const QString text = QStringLiteral("HHHHHHHH");
    grid->setSongRows({
        songRow(text, there, QString()),            // 1: unplayed, odd
        songRow(text, there, QStringLiteral("3")),  // 2: played, even
        songRow(text, gone, QStringLiteral("3")),   // 3: played, file missing
        songRow(text, there, QStringLiteral("abc")),  // 4: not digits: counts 0
        songRow(text, there, QStringLiteral("3")),  // 5: played, selected
        songRow(text, there, QString()),            // 6: unplayed, selected later
        songRow(text, gone, QString()),             // 7: missing, selected later
    });
    grid->tbackcolor = QColor(0, 0, 0);
    grid->tparcolor = QColor(21, 21, 21);
    grid->setRow(5);
    QImage shot = grid->grab().toImage();

    const QColor blue(1, 191, 251), grey(221, 221, 221), dark(80, 80, 80), selection(0, 89, 171);
    EXPECT_EQ(shot.pixelColor(cellRect(0, 1).center()), QColor(0, 0, 0));
    EXPECT_EQ(shot.pixelColor(cellRect(0, 2).center()), QColor(21, 21, 21));
    EXPECT_TRUE(hasColour(shot, cellRect(3, 1), grey));
    EXPECT_FALSE(hasColour(shot, cellRect(3, 1), blue));
    EXPECT_TRUE(hasColour(shot, cellRect(3, 2), blue));
    EXPECT_TRUE(hasColour(shot, cellRect(3, 3), dark));
    EXPECT_FALSE(hasColour(shot, cellRect(3, 3), blue));
    EXPECT_TRUE(hasColour(shot, cellRect(3, 4), grey));
    EXPECT_EQ(shot.pixelColor(cellRect(0, 5).center()), selection);
    EXPECT_TRUE(hasColour(shot, cellRect(3, 5), Qt::black));

    grid->setRow(6);
    shot = grid->grab().toImage();
    EXPECT_TRUE(hasColour(shot, cellRect(3, 6), Qt::white));
    grid->setRow(7);
    shot = grid->grab().toImage();
    EXPECT_EQ(shot.pixelColor(cellRect(0, 7).center()), selection);
    EXPECT_TRUE(hasColour(shot, cellRect(3, 7), dark));
    EXPECT_FALSE(hasColour(shot, cellRect(3, 7), Qt::white));
}

TEST_F(QuorGrid, FileCheckIsCachedUntilTheRowsPathChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.mp3"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    grid->setSongRows({songRow(QStringLiteral("x"), path)});
    const QuorGridModel* model = grid->gridModel();
    EXPECT_FALSE(model->fileMissing(1));
    QFile::remove(path);
    EXPECT_FALSE(model->fileMissing(1));  // cached
    grid->setCells(6, 1, path);
    EXPECT_TRUE(model->fileMissing(1));
    grid->setCells(6, 1, QString());
    EXPECT_TRUE(model->fileMissing(1));
}

TEST_F(QuorGrid, TitleRowDrawsTheArrowOfTheSortColumnOnly)
{
    grid->ftitlefill = true;
    grid->ttitlecolor = QColor(68, 68, 68);
    grid->show();
    QHeaderView* header = grid->horizontalHeader();
    auto arrowIn = [&](int col) {
        const QImage shot = grid->grab().toImage();
        const QRect cell(header->sectionViewportPosition(col) + header->x(), header->y(), 14, header->height());
        return hasColour(shot, cell, QColor(0xF0, 0xF0, 0xF0));
    };
    struct Case {
        int tag;
        int arrowColumn;  // -1: none
    };
    for (const Case& c : {Case{-4, 4}, Case{3, 3}, Case{0, -1}}) {
        SCOPED_TRACE(c.tag);
        grid->Tag = c.tag;
        for (int col = 0; col < 6; ++col) EXPECT_EQ(arrowIn(col), col == c.arrowColumn) << col;
    }
    // bitmaps instead of the flat fill: still the arrow, and the title pieces around it
    grid->ftitlefill = false;
    grid->Tag = 2;
    EXPECT_TRUE(arrowIn(2));
    EXPECT_FALSE(arrowIn(0));
}

TEST_F(QuorGrid, ReleasingAnArrowOnAHiddenRowFindsAVisibleOne)
{
    QList<QStringList> rows;
    for (int i = 1; i <= 12; ++i) rows << songRow(QString::number(i));
    grid->setSongRows(rows);
    for (int r = 5; r <= 9; ++r) grid->setRowHeights(r, 0);

    struct Case {
        int hideFrom, hideTo, current;
        Qt::Key key;
        int expected;
    };
    const Case cases[] = {
        {5, 9, 5, Qt::Key_Down, 10},
        {5, 9, 7, Qt::Key_Up, 4},
        {5, 12, 5, Qt::Key_Down, 4},
        {1, 9, 3, Qt::Key_Up, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        for (int r = 1; r <= 12; ++r) grid->setRowHeights(r, r >= c.hideFrom && r <= c.hideTo ? 0 : 18);
        grid->setRow(c.current);
        QSignalSpy ups(grid.get(), &TquorGrid::keyUp);
        QTest::keyRelease(grid.get(), c.key);
        EXPECT_EQ(grid->Row(), c.expected);
        EXPECT_EQ(ups.count(), 1);
    }
    // a visible current row stays where it is; other keys move nothing
    for (int r = 1; r <= 12; ++r) grid->setRowHeights(r, 18);
    grid->setRow(6);
    QTest::keyRelease(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 6);
}

TEST_F(QuorGrid, WritesFromTwoThreadsArriveInOrderOnTheGridsThread)
{
    grid->setSongRows({songRow(QStringLiteral("a")), songRow(QStringLiteral("b"))});
    constexpr int kWrites = 2000;
    QStringList seenA, seenB;
    bool elsewhere = false;
    QObject::connect(grid->gridModel(), &QAbstractItemModel::dataChanged, grid.get(),
                     [&](const QModelIndex& from, const QModelIndex&) {
                         if (QThread::currentThread() != grid->thread()) elsewhere = true;
                         const int row = from.row() + 1;
                         if (row == 1 && from.column() == 3) seenA << grid->Cells(3, 1);
                         if (row == 2 && from.column() == 4) seenB << grid->Cells(4, 2);
                     });
    std::atomic<int> reads{0};
    auto writer = [&](int col, int row) {
        for (int i = 0; i < kWrites; ++i) {
            grid->setCell(col, row, QString::number(i));
            if (!grid->cell(col, row).isNull()) ++reads;  // reading meanwhile is safe
        }
    };
    std::thread a(writer, 3, 1), b(writer, 4, 2);
    a.join();
    b.join();
    // nothing was written in place
    EXPECT_EQ(grid->Cells(3, 1), QStringLiteral("a"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return seenA.size() == kWrites && seenB.size() == kWrites; }, 10000));
    EXPECT_FALSE(elsewhere);
    for (int i = 0; i < kWrites; ++i) {
        ASSERT_EQ(seenA[i], QString::number(i));
        ASSERT_EQ(seenB[i], QString::number(i));
    }
    EXPECT_EQ(reads.load(), 2 * kWrites);
}

TEST_F(QuorGrid, IsTheEnginesSongGridLink)
{
    grid->setSongRows({songRow(QStringLiteral("x"), QStringLiteral("/music/x.mp3"))});
    SongGridLink* link = grid.get();
    EXPECT_EQ(link->rowCount(), 2);
    EXPECT_EQ(link->cell(6, 1), QStringLiteral("/music/x.mp3"));
    link->setCell(2, 1, QStringLiteral("128.000"));
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("128.000"));
    EXPECT_EQ(link->cell(2, 99), QString());
    link->setCell(2, 99, QStringLiteral("ignored"));
    link->repaint();
}

TEST_F(QuorGrid, NoFixedRowGridHoldsDataInRowZero)
{
    TquorGrid drag;
    drag.init(nullptr, 25, 0);
    EXPECT_EQ(drag.FixedRows(), 0);
    EXPECT_EQ(drag.RowCount(), 2);
    drag.setCells(6, 0, QStringLiteral("/a.mp3"));
    EXPECT_EQ(drag.Cells(6, 0), QStringLiteral("/a.mp3"));
    EXPECT_EQ(drag.gridModel()->rowCount(), 2);
    EXPECT_FALSE(drag.horizontalHeader()->isVisibleTo(&drag));
}

}  // namespace
