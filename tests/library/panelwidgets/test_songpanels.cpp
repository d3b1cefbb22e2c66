// The Groups and Playlists panels as widgets (offscreen): the tree and grid showing the logic,
// files dropped from the file manager, rows dragged between the grids and inside the
// Playlists grid, the boxes, the header sort, the keys that go to the search box, and the
// automatic history as the window calls it.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QDrag>
#include <QTest>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include "library/shell/filedialogs.h"
#include "mainwindow/songpanelviews.h"
#include "snkins/dialogs/tfinfo2.h"
#include "snkins/quor/tquorswitch1.h"
#include "snkins/quor/tquortreeview.h"
#include "tests/library/panelwidgets/widgetrig.h"

namespace {

using SongPanels = WidgetRig;

void addEntry(Tmsql& sql, double grupo, double root, const QString& path, const QString& artist)
{
    QStringList r = WidgetRig::row(path, artist, "Title of " + artist);
    ASSERT_TRUE(sql.altadesg(r, 0, 0, grupo, root));
}

TEST_F(SongPanels, TheTreesAndGridsShowTheLibrary)
{
    const double house = sql->altadegrupo(0, "House", true, 0);
    const double deep = sql->altadesubgrupo(0, "Deep", true, house);
    addEntry(*sql, 1, 1, "/m/b.mp3", "Beta");
    addEntry(*sql, 1, 1, "/m/a.mp3", "alpha");
    addEntry(*sql, deep, house, "/m/d.mp3", "Delta");
    build();
    EXPECT_EQ(ep->sg->objectName(), "sggroups");
    EXPECT_EQ(ep3->sg->objectName(), "sg");
    ASSERT_EQ(ep->dt->topLevelItemCount(), 2);
    EXPECT_EQ(ep->dt->topLevelItem(0)->text(0), "Group");
    EXPECT_EQ(ep->dt->topLevelItem(1)->text(0), "House");
    ASSERT_EQ(ep->dt->topLevelItem(1)->childCount(), 1);
    EXPECT_EQ(ep->dt->currentItem(), ep->dt->topLevelItem(0));
    EXPECT_EQ(column(ep->sg, gridcol::artist), QStringList({"alpha", "Beta"}));  // artist ascending
    EXPECT_EQ(ep->sg->Cells(gridcol::artist, 0), "   Artist");
    EXPECT_EQ(ep3->dt->topLevelItemCount(), 1);
    EXPECT_EQ(ep3->sg->RowCount(), 2);  // an empty playlist keeps one blank row
    EXPECT_FALSE(ep->B5->isVisible());
    EXPECT_EQ(ep->B1->Caption(), "File Info");
    EXPECT_EQ(ep3->B4->Caption(), "Add from Dir");

    // a click on the subgroup lists its entries only
    QTreeWidgetItem* sub = ep->dt->topLevelItem(1)->child(0);
    ep->dt->setCurrentItem(sub);
    EXPECT_EQ(column(ep->sg, gridcol::path), QStringList({"/m/d.mp3"}));
    EXPECT_FALSE(ep->logic().buscaroot);
    EXPECT_EQ(ep->logic().myrootid, deep);
}

TEST_F(SongPanels, FilesDroppedOnTheGroupsGridGoInWithPointBpm)
{
    build();
    const QString a = file("in/Artist - Song.mp3");
    const QString b = file("in/Mix.WAV", QByteArray("RIFF"));
    ASSERT_TRUE(dropOn(ep->sg, urls({a, b, dir.filePath("in")}), rowPoint(ep->sg, 1)));
    ASSERT_TRUE(runUntil([&] { return !ep->logic().addingRunning() && ep->sg->RowCount() == 3; }));
    EXPECT_EQ(sql->db().GetTableStrings("SELECT bpm FROM songs WHERE tipo = 0 ORDER BY id"),
              QStringList({"000.000", "000.000"}));
    QStringList paths = column(ep->sg, gridcol::path);
    paths.sort();
    EXPECT_EQ(paths, QStringList({a, b}));

    // the same file dropped again adds nothing and selects its row
    ep->sg->setRow(1);
    const int at = ep->sg->Cells(gridcol::path, 1) == b ? 2 : 1;  // the row that is not b's
    ASSERT_TRUE(dropOn(ep->sg, urls({b}), rowPoint(ep->sg, at)));
    ASSERT_TRUE(runUntil([&] { return !ep->logic().addingRunning(); }));
    EXPECT_EQ(ep->sg->RowCount(), 3);
    EXPECT_EQ(ep->sg->Cells(gridcol::path, ep->sg->Row()), b);
}

TEST_F(SongPanels, ThreeFilesDroppedOnPlaylistsLandLastFirst)
{
    build();
    const QString f1 = file("one.mp3"), f2 = file("two.mp3"), f3 = file("three.mp3");
    // a drop anywhere on the panel counts: here on the tree's side
    QMimeData* mime = urls({f1, f2, f3});
    QDropEvent drop(QPointF(5, 100), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(5, 100), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ep3->xmpanel1, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_FALSE(ep3->Edit1->acceptDrops());
    QApplication::sendEvent(ep3->xmpanel1, &drop);
    delete mime;
    const double current = ep3->logic().mygcurrent;
    ASSERT_TRUE(runUntil([&] { return entries(current).size() == 3 && !ep3->logic().addingRunning(); }));
    EXPECT_EQ(entries(current), QStringList({f3, f2, f1}));
    EXPECT_EQ(column(ep3->sg, gridcol::path), QStringList({f3, f2, f1}));
    EXPECT_EQ(column(ep3->sg, gridcol::order), QStringList({"0001", "0002", "0003"}));
}

TEST_F(SongPanels, RowsDraggedBetweenTheGrids)
{
    addEntry(*sql, 1, 1, "/m/a.mp3", "Alpha");
    addEntry(*sql, 1, 1, "/m/b.mp3", "Bravo");
    const double current = 2;
    for (int i = 1; i <= 4; ++i) ASSERT_TRUE(sql->altadesg(row(QString("/p/%1.mp3").arg(i)), 1, i, current, current));
    build();
    ASSERT_EQ(ep3->sg->RowCount(), 5);

    // a Groups row dropped on the Playlists row 0002 goes in as 0002
    ASSERT_TRUE(dropOn(ep3->sg, SongPanel::rowMime("sggroups", ep->sg->Rows(1)), rowPoint(ep3->sg, 2)));
    EXPECT_EQ(entries(current), QStringList({"/p/1.mp3", "/m/a.mp3", "/p/2.mp3", "/p/3.mp3", "/p/4.mp3"}));
    EXPECT_EQ(column(ep3->sg, gridcol::path), entries(current));
    EXPECT_EQ(column(ep3->sg, gridcol::order), QStringList({"0001", "0002", "0003", "0004", "0005"}));
    // on the last row it appends
    ASSERT_TRUE(dropOn(ep3->sg, SongPanel::rowMime("sggroups", ep->sg->Rows(2)), rowPoint(ep3->sg, 5)));
    EXPECT_EQ(entries(current).last(), "/m/b.mp3");
    EXPECT_EQ(positions(current), QList<qint64>({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ep3->sg->RowCount(), 7);

    // a Playlists row dropped on Groups joins the group once
    ASSERT_TRUE(dropOn(ep->sg, SongPanel::rowMime("sg", ep3->sg->Rows(1)), rowPoint(ep->sg, 1)));
    EXPECT_EQ(ep->sg->RowCount(), 4);
    EXPECT_EQ(ep->sg->Cells(gridcol::path, 3), "/p/1.mp3");
    EXPECT_EQ(ep->sg->Cells(gridcol::order, 3), "");
    EXPECT_FALSE(ep->sg->Cells(gridcol::id, 3).isEmpty());
    ASSERT_TRUE(dropOn(ep->sg, SongPanel::rowMime("sg", ep3->sg->Rows(1)), rowPoint(ep->sg, 1)));
    EXPECT_EQ(ep->sg->RowCount(), 4);
    // rows from a grid that is no library grid are refused
    EXPECT_FALSE(dropOn(ep->sg, SongPanel::rowMime("sgdrag", ep3->sg->Rows(1)), rowPoint(ep->sg, 1)));
}

TEST_F(SongPanels, AFailedCopyDropAddsNoRowAndNamesTheFileOnce)
{
    const double current = 2;
    for (int i = 1; i <= 3; ++i) ASSERT_TRUE(sql->altadesg(row(QString("/p/%1.mp3").arg(i)), 1, i, current, current));
    addEntry(*sql, 1, 1, "/m/refused.mp3", "Alpha");
    build();
    sql->db().ExecSQL("CREATE TRIGGER refuse BEFORE INSERT ON songs WHEN new.fichero = '/m/refused.mp3' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    QStringList shown;
    Ttquormessage* box = ep3->prompts()->messageBox();
    QObject::connect(box, &Ttquormessage::shownWaiting, box, [&] {
        shown << box->Label1->text();
        box->bffd1Click();
    });
    ASSERT_TRUE(dropOn(ep3->sg, SongPanel::rowMime("sggroups", ep->sg->Rows(1)), rowPoint(ep3->sg, 2)));
    EXPECT_EQ(ep3->sg->RowCount(), 4);
    EXPECT_EQ(positions(current), QList<qint64>({1, 2, 3}));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("/m/refused.mp3")) << shown[0].toStdString();
    EXPECT_TRUE(main.mainRunning());
}

TEST_F(SongPanels, AnEntryDraggedInsideThePlaylistsGridMoves)
{
    const double current = 2;
    for (int i = 1; i <= 5; ++i) ASSERT_TRUE(sql->altadesg(row(QString("/p/%1.mp3").arg(i)), 1, i, current, current));
    build();
    // press on entry 0002, drop it on the row of 0005
    QTest::mousePress(ep3->sg->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(ep3->sg, 2));
    QTest::mouseRelease(ep3->sg->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(ep3->sg, 2));
    EXPECT_EQ(ep3->originaldrag(), 2);
    ASSERT_TRUE(dropOn(ep3->sg, SongPanel::rowMime("sg", ep3->sg->Rows(2)), rowPoint(ep3->sg, 5)));
    EXPECT_EQ(entries(current), QStringList({"/p/1.mp3", "/p/3.mp3", "/p/4.mp3", "/p/5.mp3", "/p/2.mp3"}));
    EXPECT_EQ(column(ep3->sg, gridcol::path), entries(current));
    EXPECT_EQ(ep3->sg->Row(), 5);
    // dropped on the title row it goes to the top
    QTest::mousePress(ep3->sg->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(ep3->sg, 4));
    QTest::mouseRelease(ep3->sg->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(ep3->sg, 4));
    const QPoint title(rowPoint(ep3->sg, 1).x(), -ep3->sg->horizontalHeader()->height() / 2);
    ASSERT_TRUE(dropOn(ep3->sg, SongPanel::rowMime("sg", ep3->sg->Rows(4)), title));
    EXPECT_EQ(entries(current).first(), "/p/5.mp3");
    EXPECT_EQ(column(ep3->sg, gridcol::path), entries(current));
}

TEST_F(SongPanels, TheHistoryAsTheWindowCallsIt)
{
    const double current = 2;
    for (int i = 1; i <= 6; ++i) ASSERT_TRUE(sql->altadesg(row(QString("/p/%1.mp3").arg(i)), 1, i, current, current));
    QLabel track1, track2;
    PlaylistsLogic::DeckTrack decks[2];
    build();
    ep3->track1 = &track1;
    ep3->track2 = &track2;
    ep3->deckTrack = [&](int deck) { return decks[deck - 1]; };

    decks[0] = {true, "/p/5.mp3", 0};
    ep3->setDeckFile(1, "/p/5.mp3");
    ep3->altadeplaylist(1, row("/p/5.mp3"));
    EXPECT_EQ(track1.text(), "0005");
    EXPECT_EQ(ep3->sg->RowCount(), 7);

    decks[1] = {true, "/n/new.mp3", 0};
    ep3->setDeckFile(2, "/n/new.mp3");
    ep3->altadeplaylist(2, row("/n/new.mp3"));
    EXPECT_EQ(track2.text(), "0001");
    EXPECT_EQ(ep3->sg->RowCount(), 8);
    EXPECT_EQ(ep3->sg->Cells(gridcol::path, 1), "/n/new.mp3");
    EXPECT_EQ(ep3->sg->Cells(gridcol::deck, 1), "   B");
    EXPECT_EQ(column(ep3->sg, gridcol::path), entries(current));
    EXPECT_EQ(track1.text(), "0006");
}

TEST_F(SongPanels, NewGroupThroughTheMenuAndTheInputBox)
{
    build();
    QAction* item = ep->PopupMenu1->actions().value(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "New Group");
    item->trigger();  // opens the box and returns: no loop of its own
    TInputBox* box = ep->prompts()->openInput();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "New Group");
    EXPECT_EQ(box->prompt->text(), "Please type Playlist name");
    EXPECT_FALSE(main.mainRunning());
    box->value->setText("Tech 'n' %_\\");
    box->accept();
    EXPECT_TRUE(main.mainRunning());
    ASSERT_EQ(ep->dt->topLevelItemCount(), 2);
    EXPECT_EQ(ep->dt->topLevelItem(1)->text(0), "Tech 'n' %_\\");
    EXPECT_EQ(ep->dt->currentItem(), ep->dt->topLevelItem(1));
    EXPECT_EQ(sql->db().GetTableStrings("SELECT descripcio FROM grupos WHERE tipo = 0 ORDER BY id").last(),
              "Tech 'n' %_\\");

    // a cancelled box changes nothing
    ep->PopupMenu1->actions().value(3)->trigger();
    ASSERT_NE(ep->prompts()->openInput(), nullptr);
    ep->prompts()->openInput()->value->setText("Other");
    ep->prompts()->openInput()->reject();
    EXPECT_EQ(ep->dt->topLevelItem(1)->text(0), "Tech 'n' %_\\");
}

TEST_F(SongPanels, DeletingAPlaylistAsksAndTheLastOneStays)
{
    build();
    QStringList shown;
    Ttquormessage* box = ep3->prompts()->messageBox();
    QObject::connect(box, &Ttquormessage::shownWaiting, box, [&] {
        shown << box->Label1->text();
        box->bffd1Click();
    });
    ep3->PopupMenu1->actions().value(1)->trigger();
    EXPECT_EQ(shown, QStringList({"Cannot empty Playlists !"}));
    EXPECT_EQ(ep3->dt->topLevelItemCount(), 1);
    EXPECT_TRUE(main.mainRunning());
}

TEST_F(SongPanels, HeaderClicksSortTheGroupsGrid)
{
    addEntry(*sql, 1, 1, "/m/b.mp3", "Beta");
    addEntry(*sql, 1, 1, "/m/a.mp3", "alpha");
    addEntry(*sql, 1, 1, "/m/c.mp3", "Charlie");
    build();
    QHeaderView* h = ep->sg->horizontalHeader();
    const QPoint artist(h->sectionViewportPosition(3) + 20, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, artist);
    EXPECT_EQ(ep->logic().sortTag, -3);
    EXPECT_EQ(ep->sg->Tag, -3);
    EXPECT_EQ(column(ep->sg, gridcol::artist), QStringList({"Charlie", "Beta", "alpha"}));
    EXPECT_EQ(ep->logic().orderBy(), " ORDER BY ARTISTA DESC ");
    // the deck marks column does nothing
    QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(h->sectionViewportPosition(0) + 5, h->height() / 2));
    EXPECT_EQ(ep->logic().sortTag, -3);
}

TEST_F(SongPanels, KeysGoToTheSearchBoxAndEnterSearches)
{
    addEntry(*sql, 1, 1, "/m/b.mp3", "Beta");
    addEntry(*sql, 1, 1, "/m/a.mp3", "alpha");
    build();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ep->sg->setFocus();
    QTest::keyClick(ep->sg, Qt::Key_0);
    EXPECT_EQ(ep->Edit1->text(), "");
    QTest::keyClick(ep->sg, Qt::Key_F1);
    EXPECT_EQ(ep->Edit1->text(), "");
    QTest::keyClick(ep->sg, Qt::Key_B);
    EXPECT_EQ(ep->Edit1->text(), "B");
    EXPECT_TRUE(main.hint().takeAll().contains("NOKEY"));
    QTest::keyClicks(ep->Edit1, "et");
    EXPECT_EQ(ep->Edit1->text(), "BET");
    QTest::keyClick(ep->Edit1, Qt::Key_Return);
    EXPECT_TRUE(ep->logic().busqueda);
    EXPECT_EQ(column(ep->sg, gridcol::path), QStringList({"/m/b.mp3"}));
    EXPECT_EQ(ep->Edit1->text(), "");
    EXPECT_EQ(main.hint().takeAll().value(0), "KEY");
    // with the keyboard mapping on nothing goes to the box
    ep->setKeyboard(true);
    ep->sg->setFocus();
    QTest::keyClick(ep->sg, Qt::Key_A);
    EXPECT_EQ(ep->Edit1->text(), "");
}

TEST_F(SongPanels, FileInfoOpensWithoutALoopAndSaves)
{
    addEntry(*sql, 1, 1, "/m/a.mp3", "Alpha");
    build();
    ep->bclick0();
    ASSERT_TRUE(ep->mfinfo->isVisible());
    EXPECT_FALSE(main.mainRunning());
    EXPECT_EQ(ep->mfinfo->e2->text(), "Alpha");
    ep->mfinfo->e1->setText("126.500");
    ep->mfinfo->e2->setText("Alfa");
    ep->mfinfo->b4->click();
    EXPECT_FALSE(ep->mfinfo->isVisible());
    EXPECT_TRUE(main.mainRunning());
    EXPECT_EQ(ep->sg->Cells(gridcol::artist, 1), "Alfa");
    EXPECT_EQ(sql->db().GetTableStrings("SELECT artista FROM songs WHERE tipo = 0"), QStringList({"Alfa"}));
}

}  // namespace

namespace {

TEST_F(SongPanels, AHistoryInsertWhileTheDeleteBoxIsOpenDeletesTheEntryConfirmed)
{
    const double current = 2;
    for (int i = 1; i <= 5; ++i) ASSERT_TRUE(sql->altadesg(row(QString("/p/%1.mp3").arg(i)), 1, i, current, current));
    build();
    ep3->sg->setRow(3);
    const QString confirmed = ep3->sg->Cells(gridcol::path, 3);
    Ttquormessage* box = ep3->prompts()->messageBox();
    QStringList shown;
    QObject::connect(box, &Ttquormessage::shownWaiting, box, [&] {
        shown << box->Label1->text();
        // a deck loads a new track while the box waits: every entry moves down one
        ep3->altadeplaylist(1, row("/n/loaded.mp3"));
        box->bffd1Click();
    });
    QTest::mouseClick(ep3->B3, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(shown, QStringList({"Are you sure to delete this song from playlist ?"}));
    EXPECT_EQ(entries(current), QStringList({"/n/loaded.mp3", "/p/1.mp3", "/p/2.mp3", "/p/4.mp3", "/p/5.mp3"}));
    EXPECT_FALSE(entries(current).contains(confirmed));
    EXPECT_EQ(positions(current), QList<qint64>({1, 2, 3, 4, 5}));
    EXPECT_EQ(column(ep3->sg, gridcol::path), entries(current));
    EXPECT_TRUE(main.mainRunning());
}

TEST_F(SongPanels, ControllerBrowsingMovesTheTreeAndShuffleReorders)
{
    const double house = sql->altadegrupo(0, "House", true, 0);
    sql->altadesubgrupo(0, "Deep", true, house);
    const double current = 2;
    for (int i = 1; i <= 5; ++i) ASSERT_TRUE(sql->altadesg(row(QString("/p/%1.mp3").arg(i)), 1, i, current, current));
    build();
    ep->dtabajo();
    EXPECT_EQ(ep->dt->currentItem()->text(0), "House");
    ep->dtabajo();  // the subgroup is inside a collapsed group: nothing further
    EXPECT_EQ(ep->dt->currentItem()->text(0), "House");
    ep->setselected();  // expands and lists
    EXPECT_TRUE(ep->dt->currentItem()->isExpanded());
    EXPECT_EQ(ep->logic().myid, house);
    ep->dtabajo();
    EXPECT_EQ(ep->dt->currentItem()->text(0), "Deep");
    ep->dtarriba();
    EXPECT_EQ(ep->dt->currentItem()->text(0), "House");

    ep3->shuttlepress(true);
    EXPECT_TRUE(ep3->shuttle());
    QStringList orders = column(ep3->sg, gridcol::order);
    EXPECT_EQ(orders, QStringList({"0001", "0002", "0003", "0004", "0005"}));  // sorted by the drawn numbers
    QStringList paths = column(ep3->sg, gridcol::path);
    paths.sort();
    EXPECT_EQ(paths, entries(current));
    ep3->shuttlepress(false);
    EXPECT_EQ(column(ep3->sg, gridcol::path), entries(current));
}

}  // namespace

namespace {

// A press and a ten-pixel move start the drag of the pressed row; the drag's data carries the
// grid's name and the row's cells. A platform drag that waits ends at the release the timer
// sends; one that returns at once (offscreen) leaves its drag to be deleted later.
TEST_F(SongPanels, APressAndATenPixelMoveDragTheRow)
{
    addEntry(*sql, 1, 1, "/m/a.mp3", "Alpha");
    addEntry(*sql, 1, 1, "/m/b.mp3", "Bravo");
    build();
    QWidget* vp = ep->sg->viewport();
    const QPoint at = rowPoint(ep->sg, 2);
    int started = 0;
    QString name;
    QStringList cells;
    QObject::connect(ep, &SongPanel::rowDragStarted, [&](int row) {
        started = row;
        QTimer::singleShot(20, [p = QPointer<QWidget>(vp), at] {
            if (p) QTest::mouseRelease(p, Qt::LeftButton, Qt::NoModifier, at + QPoint(0, 12));
        });
    });
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(vp, at + QPoint(0, 4));
    EXPECT_EQ(started, 0);
    QTest::mouseMove(vp, at + QPoint(0, 12));
    EXPECT_EQ(started, 2);
    EXPECT_EQ(ep->sg->Row(), 2);
    auto* drag = ep->sg->findChild<QDrag*>();
    ASSERT_NE(drag, nullptr);
    ASSERT_TRUE(SongPanel::rowFromMime(drag->mimeData(), &name, &cells));
    EXPECT_EQ(name, "sggroups");
    EXPECT_EQ(cells.value(gridcol::path), "/m/b.mp3");
    EXPECT_EQ(cells.size(), gridcol::count);
}

}  // namespace

namespace {

// Clicks on the trees with the mouse: a playlist clicked is listed and becomes CURRENT; a
// subgroup clicked lists its own entries; the grid then has the focus.
TEST_F(SongPanels, MouseClicksOnTheTreesListTheNodes)
{
    const double house = sql->altadegrupo(0, "House", true, 0);
    const double deep = sql->altadesubgrupo(0, "Deep", true, house);
    addEntry(*sql, deep, house, "/m/d.mp3", "Delta");
    const double friday = sql->altadegrupo(1, "Friday", true, 0);
    ASSERT_TRUE(sql->altadesg(row("/f/1.mp3"), 1, 1, friday, friday));
    build();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    QTreeWidgetItem* item = ep3->dt->topLevelItem(1);
    QTest::mouseClick(ep3->dt->viewport(), Qt::LeftButton, Qt::NoModifier, ep3->dt->visualItemRect(item).center());
    EXPECT_EQ(ep3->logic().mygcurrent, friday);
    EXPECT_EQ(column(ep3->sg, gridcol::path), QStringList({"/f/1.mp3"}));
    EXPECT_EQ(ep3->dt->currentItem(), ep3->dt->topLevelItem(1));
    EXPECT_TRUE(ep3->sg->hasFocus());

    QTreeWidgetItem* group = ep->dt->topLevelItem(1);
    group->setExpanded(true);
    EXPECT_TRUE(ep->logic().tree().find(house)->expanded);
    QTest::mouseClick(ep->dt->viewport(), Qt::LeftButton, Qt::NoModifier,
                      ep->dt->visualItemRect(group->child(0)).center());
    EXPECT_EQ(ep->logic().myrootid, deep);
    EXPECT_EQ(column(ep->sg, gridcol::path), QStringList({"/m/d.mp3"}));
    EXPECT_EQ(ep->dt->currentItem(), ep->dt->topLevelItem(1)->child(0));
}

}  // namespace

namespace {

// A right press selects the playlist under the pointer; the menu's "Delete Playlist" then asks
// about that one, and a playlist named CURRENT... is refused.
TEST_F(SongPanels, TheMenuActsOnTheRightPressedPlaylist)
{
    const double friday = sql->altadegrupo(1, "Friday", true, 0);
    sql->altadegrupo(1, "CURRENT MIX", true, 0);
    build();
    QStringList shown;
    Ttquormessage* box = ep3->prompts()->messageBox();
    QObject::connect(box, &Ttquormessage::shownWaiting, box, [&] {
        shown << box->Label1->text();
        box->bffd1Click();
    });
    QTreeWidgetItem* mix = ep3->dt->topLevelItem(2);
    QTest::mousePress(ep3->dt->viewport(), Qt::RightButton, Qt::NoModifier, ep3->dt->visualItemRect(mix).center());
    QTest::mouseRelease(ep3->dt->viewport(), Qt::RightButton, Qt::NoModifier, ep3->dt->visualItemRect(mix).center());
    EXPECT_EQ(ep3->dt->currentItem()->text(0), "CURRENT MIX");
    ep3->PopupMenu1->actions().value(1)->trigger();
    EXPECT_EQ(shown, QStringList({"Cannot delete Current Playlist !"}));
    EXPECT_EQ(ep3->dt->topLevelItemCount(), 3);

    QTreeWidgetItem* fri = ep3->dt->topLevelItem(1);
    QTest::mousePress(ep3->dt->viewport(), Qt::RightButton, Qt::NoModifier, ep3->dt->visualItemRect(fri).center());
    QTest::mouseRelease(ep3->dt->viewport(), Qt::RightButton, Qt::NoModifier, ep3->dt->visualItemRect(fri).center());
    EXPECT_EQ(ep3->logic().myid, friday);
    shown.clear();
    ep3->PopupMenu1->actions().value(1)->trigger();
    EXPECT_EQ(shown, QStringList({"Are you sure to delete this Playlist  ?"}));
    ASSERT_EQ(ep3->dt->topLevelItemCount(), 2);
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM grupos WHERE tipo = 1 AND id = ?", {friday}), 0);
    EXPECT_EQ(ep3->logic().mygcurrent, ep3->logic().myid);
    EXPECT_TRUE(main.mainRunning());
}

}  // namespace

namespace {

// The panels as the window sees them: the grid by its name, the deck marks, the text size,
// the history and the numbers the loaders keep.
TEST_F(SongPanels, TheWindowsViewsOfThePanels)
{
    addEntry(*sql, 1, 1, "/m/a.mp3", "Alpha");
    build();
    QLabel track1;
    ep3->track1 = &track1;
    GroupsPanelView groups(ep);
    PlaylistsPanelView play(ep3);
    EXPECT_EQ(groups.grid()->gridName(), "sggroups");
    EXPECT_EQ(play.grid()->gridName(), "sg");
    EXPECT_EQ(play.sg(), ep3->sg);
    groups.setDeckFile(2, "/m/a.mp3");
    groups.load();
    EXPECT_EQ(groups.grid()->cell(gridcol::deck, 1), " B");
    groups.setTextSize(PanelTextSize::of(4));
    EXPECT_EQ(ep->sg->DefaultRowHeight(), PanelTextSize::of(4).rowHeight);

    play.altadeplaylist(1, groups.grid()->row(1));
    EXPECT_EQ(play.grid()->cell(gridcol::path, 1), "/m/a.mp3");
    EXPECT_EQ(play.grid()->cell(gridcol::order, 1), "0001");
    EXPECT_EQ(track1.text(), "0001");
    play.setntrack(2, 7);
    EXPECT_EQ(ep3->logic().ntrack2, 7);
    QTest::mousePress(ep3->sg->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(ep3->sg, 1));
    QTest::mouseRelease(ep3->sg->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(ep3->sg, 1));
    EXPECT_EQ(play.originaldrag(), 1);
}

}  // namespace
