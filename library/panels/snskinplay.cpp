#include "library/panels/snskinplay.h"

#include <QHeaderView>
#include <QLabel>

#include "library/panels/kitprompts.h"
#include "library/panels/quorpanelgrid.h"
#include "library/songgridrow.h"
#include "snkins/quor/tquorgrid.h"

namespace {
constexpr int kTitleBand = 22;  // the title row's band at the grid's top
}

Tnskinplay::Tnskinplay(TQuorPanel* host) : SongPanel(host) { name = QStringLiteral("Playlists"); }

Tnskinplay::~Tnskinplay() = default;

void Tnskinplay::makeLogic()
{
    logic_ = std::make_unique<PlaylistsLogic>(*mquorsql, *grid_, prompts_.get(), main);
    logic_->onTrackLabel = [this](int deck, const QString& text) {
        if (QLabel* l = deck == 1 ? track1.data() : track2.data()) l->setText(text);
    };
    logic_->deckTrack = [this](int deck) { return deckTrack ? deckTrack(deck) : PlaylistsLogic::DeckTrack(); };
}

void Tnskinplay::init()
{
    Frame f;
    f.treeTitle = QStringLiteral("Playlists");
    f.headers = songgridrow::headers(songgridrow::Kind::Playlists);
    f.widths = {38, 55, 83, 245, 245, 109};
    f.gridName = QStringLiteral("sg");
    f.defaultColnor = QColor(0, 0, 0);
    f.defaultColpar = QColor(32, 32, 32);
    buildPanel(f, 98,
               {QStringLiteral("New Playlist"), QStringLiteral("Delete Playlist"), QStringLiteral("Edit Name"),
                QStringLiteral("Clear Playlist"), QStringLiteral("Re-Order Playlist")});
    // a mouse-up on the title row sorts by play count in search mode
    connect(sg, &TquorGrid::mouseUp, this, [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        int col = 0, row = 0;
        if (sg->MouseToCell(x, y, col, row) && row == 0) logic_->headerMouseUp();
    });
    logic_->init();
}

void Tnskinplay::menuClick(int item)
{
    switch (item) {
    case 0: logic_->newPlaylist(); break;
    case 1: logic_->deletePlaylist(); break;
    case 2: logic_->renamePlaylist(); break;
    case 3: logic_->clearPlaylist(); break;
    case 4: logic_->reorderPlaylist(); break;
    default: return;
    }
    focusGrid();
}

void Tnskinplay::treeRightPressed(double id)
{
    if (id != logic_->myid) {
        logic_->myid = logic_->myrootid = id;
        logic_->buscaroot = true;
    }
    logic_->newgcurrent = logic_->myid;
    logic_->nodeRightPressed(id);
}

void Tnskinplay::shuttlepress(bool on)
{
    logic_->shuttlepress(on);
    focusGrid();
}

bool Tnskinplay::rowDragOver(QObject*, const QString& gridName, QPoint at)
{
    sg->setFocus(Qt::OtherFocusReason);
    const int y = at.y();
    int col = 0, row = 0;
    if (y > 3 && y < kTitleBand) {
        // over the title row: the current row climbs one, which scrolls upwards
        sg->setRow(std::max(1, sg->Row() - 1));
    } else if (y < 3) {
        sg->setRow(1);
    } else if (sg->MouseToCell(at.x(), y, col, row) && row > 0) {
        sg->setRow(row);  // in the bottom band this scrolls downwards
    }
    return gridName == QLatin1String("sg") || gridName == QLatin1String("sggroups") ||
           gridName == QLatin1String("sgexplorer");
}

void Tnskinplay::rowDropped(QObject*, const QString& gridName, const QStringList& cells, QPoint at)
{
    int col = 0, row = 0;
    const bool onCell = sg->MouseToCell(at.x(), at.y(), col, row);
    if (onCell && row > 0) sg->setRow(row);  // the row the drag last went over
    if (gridName == QLatin1String("sg")) {
        // a move inside the grid: on the title row to the top, on a row to its place
        logic_->moveDrop(!onCell ? -1 : row);
    } else if (gridName == QLatin1String("sggroups") || gridName == QLatin1String("sgexplorer")) {
        logic_->dropRow(cells, onCell && row > 0 ? row : 0);
    }
    focusGrid();
}
