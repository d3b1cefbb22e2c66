#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include "engine/hintmailbox.h"
#include "engine/precord.h"
#include "library/explorerrow.h"
#include "library/panels/busybar.h"
#include "library/panels/tdirectorytree2.h"
#include "library/panels/tnskinexplore.h"
#include "library/songgridrow.h"
#include "platform/shell/fakevolumesource.h"
#include "platform/shell/mountwatcher.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "tests/snkins/quor/kitapp.h"
#include "tests/support/fakemainservices.h"

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

QStringList rowOf(const QString& path, const QString& artist)
{
    QStringList r = explorerrow::defaults();
    r[gridcol::path] = path;
    r[gridcol::artist] = r[gridcol::title] = artist;
    return r;
}

// The grid adapter on the kit's grid: the current row through refills, appends and sorts.
class ExplorerGridOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        kitApp();
        grid.init(nullptr);
        grid.resize(600, 300);
        grid.show();
    }
    QStringList paths() const
    {
        QStringList out;
        for (int r = 1; r < grid.RowCount(); ++r) out << grid.Cells(gridcol::path, r);
        return out;
    }
    struct AppFirst {
        AppFirst() { kitApp(); }
    } appFirst;
    TquorGrid grid;
    QuorExplorerGrid g{&grid};
};

TEST_F(ExplorerGridOnScreen, TheCurrentRowStaysWhereItWas)
{
    g.setRows({rowOf("/a", "C"), rowOf("/b", "A"), rowOf("/c", "B")});
    EXPECT_EQ(g.currentRow(), 1);
    g.setCurrentRow(2);
    g.appendRows({rowOf("/d", "E"), rowOf("/e", "D")});
    EXPECT_EQ(paths(), (QStringList{"/a", "/b", "/c", "/d", "/e"}));
    EXPECT_EQ(g.currentRow(), 2);
    EXPECT_EQ(grid.currentIndex().row() + 1, 2);  // the view's selection with it
    g.sortRows(gridcol::artist, true);
    EXPECT_EQ(paths(), (QStringList{"/b", "/c", "/a", "/e", "/d"}));
    EXPECT_EQ(g.currentRow(), 2);
    // a row inserted above the current one moves it down with its cells
    g.insertRow(1, rowOf("/f", "F"));
    EXPECT_EQ(g.currentRow(), 3);
    EXPECT_EQ(g.cell(gridcol::path, 3), "/c");
    g.deleteRow(1);
    EXPECT_EQ(g.currentRow(), 2);
    EXPECT_EQ(g.cell(gridcol::path, 2), "/c");
    g.moveRow(1, 3);
    EXPECT_EQ(g.cell(gridcol::path, 3), "/b");
    // a refill makes row 1 current
    g.setRows({rowOf("/x", "X")});
    EXPECT_EQ(g.currentRow(), 1);
    EXPECT_EQ(g.rowCount(), 2);
}

TEST_F(ExplorerGridOnScreen, BlankGridsTakeTheFirstRows)
{
    g.setRows({});
    EXPECT_EQ(g.rowCount(), 2);
    g.appendRows({rowOf("/a", "A"), rowOf("/b", "B")});
    EXPECT_EQ(paths(), (QStringList{"/a", "/b"}));
    g.appendRows({});
    EXPECT_EQ(g.rowCount(), 3);
    g.deleteRow(1);
    g.deleteRow(1);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_TRUE(g.blankRow(1));
    g.insertRow(5, rowOf("/c", "C"));
    EXPECT_EQ(paths(), QStringList{"/c"});
    g.setSortIndicator(-4);
    EXPECT_EQ(grid.Tag, -4);
}

TEST_F(ExplorerGridOnScreen, ASearchsRowsKeepTheScrollPosition)
{
    QList<QStringList> rows;
    for (int i = 0; i < 200; ++i) rows << rowOf(QString("/f%1").arg(i, 3, 10, QChar('0')), "A");
    g.setRows(rows);
    g.setCurrentRow(120);
    grid.scrollTo(grid.model()->index(119, 3));
    const int scrolled = grid.verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    g.appendRows({rowOf("/g", "B"), rowOf("/h", "C")});
    EXPECT_EQ(grid.verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(g.currentRow(), 120);
}

// The panel in a host panel, on a fake mount table whose stick is a temporary folder.
class ExplorerPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        kitApp();
        ASSERT_TRUE(dir.isValid());
        file("stick/Sets/Night Mix.mp3");
        file("stick/Sets/deep/Morning MIX.flac");
        file("stick/Sets/b - Second.mp3");
        file("stick/Sets/a - First.mp3");
        file("stick/Sets/notes.txt");
        source.set({FakeVolumeSource::volume("/"), FakeVolumeSource::volume(dir.filePath("stick"), "STICK", "vfat", true)});
        host.resize(900, 400);
        host.init();
        panel = new Tnskinexplore(&host, source);
        panel->services = &main;
        panel->hide3dborder = true;
        panel->colnor = QColor(0, 0, 0);
        panel->colpar = QColor(21, 21, 21);
        panel->startDrag = [this] { ++drags; };
        panel->init();
        host.show();
        panel->dt->model().desktopPath = [this] { return dir.filePath("Desktop"); };
    }
    QString file(const QString& rel)
    {
        const QString p = dir.filePath(rel);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return p;
    }
    QModelIndex child(const QModelIndex& parent, const QString& caption)
    {
        DriveTreeModel& m = panel->dt->model();
        for (int r = 0; r < m.rowCount(parent); ++r)
            if (m.index(r, 0, parent).data().toString() == caption) return m.index(r, 0, parent);
        return {};
    }
    void choose(const QModelIndex& index)
    {
        TDirectoryTree2* t = panel->dt;
        const QRect r = t->visualRect(index);
        ASSERT_TRUE(r.isValid());
        click(t->viewport(), r.center());
    }
    void chooseSets()
    {
        const QModelIndex stick = child(panel->dt->model().trinit(), "STICK");
        choose(stick);
        choose(child(stick, "Sets"));
        ASSERT_EQ(panel->dt->fDirectory(), dir.filePath("stick/Sets"));
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 1; r < panel->sg->RowCount(); ++r) out << panel->sg->Cells(c, r);
        return out;
    }

    struct AppFirst {
        AppFirst() { kitApp(); }
    } appFirst;
    QTemporaryDir dir;
    FakeVolumeSource source;
    FakeMainServices main;
    TQuorPanel host;
    Tnskinexplore* panel = nullptr;
    int drags = 0;
};

TEST_F(ExplorerPanel, BuiltAsTheMainWindowExpects)
{
    TquorGrid* sg = panel->sg;
    EXPECT_EQ(sg->objectName(), "sgexplorer");
    EXPECT_EQ(sg->ColCount(), gridcol::count);
    EXPECT_EQ(sg->Rows(0), songgridrow::headers(songgridrow::Kind::Explorer));
    const int widths[] = {38, 55, 83, 245, 245, 109};
    for (int c = 0; c < gridcol::count; ++c) EXPECT_EQ(sg->ColWidths(c), c < 6 ? widths[c] : 0) << c;
    EXPECT_EQ(sg->Tag, 3);
    EXPECT_EQ(panel->pdt->ttitlecaption, "Browser");
    EXPECT_EQ(panel->StatusBar1->height(), 26);
    EXPECT_FALSE(panel->B1->isVisible());
    EXPECT_FALSE(panel->JWait->isVisible());
    EXPECT_FALSE(panel->slabel->isVisible());
    EXPECT_EQ(panel->slabel->text(), "Updating files from directory...");
    EXPECT_EQ(panel->B1->Caption(), "Stop Search");
    EXPECT_EQ(panel->spSkinStdLabel1->text(), "Search:");
    // the root is chosen and listed after the fill
    EXPECT_EQ(panel->dt->fDirectory(), "/");
    EXPECT_EQ(panel->logic().fl, "/");
}

TEST_F(ExplorerPanel, ChoosingAFolderListsItsAudioFiles)
{
    chooseSets();
    EXPECT_EQ(column(gridcol::artist), (QStringList{"a ", "b ", "NIGHT MIX"}));
    EXPECT_EQ(column(gridcol::title), (QStringList{"First", "Second", "NIGHT MIX"}));
    EXPECT_TRUE(panel->sg->isVisible());
    EXPECT_FALSE(panel->slabel->isVisible());
    EXPECT_TRUE(panel->sg->hasFocus() || !panel->sg->window()->isActiveWindow());

    // deck marks
    panel->setDeckFile(1, dir.filePath("stick/Sets/Night Mix.mp3"));
    panel->setDeckFile(2, dir.filePath("stick/Sets/Night Mix.mp3"));
    panel->load();
    EXPECT_EQ(column(gridcol::deck), (QStringList{"", "", "AB"}));

    // a deck's values into its rows
    PRecord deck;
    deck.tag[tagslot::bpm] = 124;
    deck.duration = "0:05:00";
    panel->salvatag(dir.filePath("stick/Sets/a - First.mp3"), deck, 2);
    EXPECT_EQ(panel->sg->Cells(gridcol::bpm, 1), "124.000");
    EXPECT_EQ(panel->sg->Cells(gridcol::veces, 1), "2");
}

TEST_F(ExplorerPanel, TitleClicksSort)
{
    chooseSets();
    TquorGrid* sg = panel->sg;
    QHeaderView* header = sg->horizontalHeader();
    const int x = header->sectionViewportPosition(gridcol::title) + 20;
    const QPoint at(x, header->height() / 2);
    click(header->viewport(), at);
    EXPECT_EQ(sg->Tag, gridcol::title);
    EXPECT_EQ(column(gridcol::title), (QStringList{"First", "NIGHT MIX", "Second"}));
    click(header->viewport(), at);
    EXPECT_EQ(sg->Tag, -gridcol::title);
    EXPECT_EQ(column(gridcol::title), (QStringList{"Second", "NIGHT MIX", "First"}));
}

TEST_F(ExplorerPanel, SearchingShowsTheStopSwitchAndBusyBarUntilFinish)
{
    chooseSets();
    panel->Edit1->setFocus();
    QTest::keyClicks(panel->Edit1, "mix");
    EXPECT_EQ(panel->Edit1->text(), "MIX");
    QTest::keyClick(panel->Edit1, Qt::Key_Return);
    EXPECT_EQ(panel->Edit1->text(), "");
    EXPECT_TRUE(panel->B1->isVisible());
    EXPECT_TRUE(panel->JWait->isVisible());
    EXPECT_TRUE(panel->JWait->isEnabled());
    ASSERT_TRUE(waitFor([&] { return !panel->B1->isVisible(); }));
    EXPECT_FALSE(panel->JWait->isVisible());
    EXPECT_EQ(column(gridcol::path),
              (QStringList{dir.filePath("stick/Sets/Night Mix.mp3"), dir.filePath("stick/Sets/deep/Morning MIX.flac")}));
    EXPECT_EQ(panel->sg->Row(), 1);

    // Escape clears the box
    panel->Edit1->setFocus();
    QTest::keyClicks(panel->Edit1, "x");
    QTest::keyClick(panel->Edit1, Qt::Key_Escape);
    EXPECT_EQ(panel->Edit1->text(), "");
}

TEST_F(ExplorerPanel, StopSearchEndsIt)
{
    for (int i = 0; i < 3000; ++i) file(QString("stick/Sets/many/d%1/t%2.mp3").arg(i % 300).arg(i));
    chooseSets();
    panel->Edit1->setFocus();
    QTest::keyClick(panel->Edit1, Qt::Key_Return);
    ASSERT_TRUE(panel->B1->isVisible());
    EXPECT_EQ(panel->B1->size(), QSize(90, 22));
    click(panel->B1, panel->B1->rect().center());
    EXPECT_FALSE(panel->B1->isVisible());
    EXPECT_FALSE(panel->logic().searching());
}

TEST_F(ExplorerPanel, KeysInTheGridTypeIntoTheSearchBox)
{
    chooseSets();
    panel->sg->setFocus();
    QTest::keyClick(panel->sg, Qt::Key_0);
    EXPECT_EQ(panel->Edit1->text(), "");
    QTest::keyClick(panel->sg, Qt::Key_K);
    EXPECT_EQ(panel->Edit1->text(), "K");
    EXPECT_EQ(panel->Edit1->cursorPosition(), 1);
    panel->setIskeyboard(true);
    QTest::keyClick(panel->dt, Qt::Key_M);
    EXPECT_EQ(panel->Edit1->text(), "K");
    panel->setIskeyboard(false);
    QTest::keyClick(panel->dt, Qt::Key_M);
    EXPECT_EQ(panel->Edit1->text(), "M");
}

TEST_F(ExplorerPanel, TextSize)
{
    panel->setTextSize(12, 23, 28, 14, 32, 11);  // the slider's position 4
    EXPECT_EQ(panel->sg->font().pointSize(), 12);
    EXPECT_EQ(panel->dt->font().pointSize(), 12);
    EXPECT_EQ(panel->sg->DefaultRowHeight(), 23);
    EXPECT_EQ(panel->pdt->tcappanel->height(), 28);
    EXPECT_EQ(panel->pdt->tcaplabel->font().pointSize(), 14);
    EXPECT_EQ(panel->StatusBar1->height(), 32);
    EXPECT_EQ(panel->Edit1->font().pointSize(), 11);
}

TEST_F(ExplorerPanel, TheSearchBoxsFocusWords)
{
    main.hint().takeAll();
    host.activateWindow();
    QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
    QApplication::sendEvent(panel->Edit1, &in);
    QApplication::sendEvent(panel->Edit1, &out);
    EXPECT_EQ(main.hint().takeAll(), (QStringList{"NOKEY", "KEY"}));
}

TEST_F(ExplorerPanel, DraggingARowStartsAfterTenPixels)
{
    chooseSets();
    TquorGrid* sg = panel->sg;
    const QRect cell = sg->visualRect(sg->model()->index(0, gridcol::artist));
    QWidget* vp = sg->viewport();
    press(vp, cell.center());
    movePointer(vp, cell.center() + QPoint(4, 0), Qt::LeftButton);
    EXPECT_EQ(drags, 0);
    movePointer(vp, cell.center() + QPoint(12, 0), Qt::LeftButton);
    EXPECT_EQ(drags, 1);
    release(vp, cell.center() + QPoint(12, 0));
    // a right press drags nothing
    press(vp, cell.center(), Qt::RightButton);
    movePointer(vp, cell.center() + QPoint(30, 0), Qt::RightButton);
    EXPECT_EQ(drags, 1);
}

TEST_F(ExplorerPanel, AStickMountedLaterGainsItsNodeAndARemovedOneIsDisabled)
{
    QDir().mkpath(dir.filePath("usb2"));
    source.add(FakeVolumeSource::volume(dir.filePath("usb2"), "LATE STICK", "vfat", true));
    panel->watcher->check();
    DriveTreeModel& m = panel->dt->model();
    EXPECT_TRUE(child(m.trinit(), "LATE STICK").isValid());
    source.remove(dir.filePath("stick"));
    panel->watcher->check();
    EXPECT_TRUE(m.isDisabled(dir.filePath("stick")));
}

}  // namespace
