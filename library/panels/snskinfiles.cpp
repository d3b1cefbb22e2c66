#include "library/panels/snskinfiles.h"

#include "library/panels/kitprompts.h"
#include "library/panels/quorpanelgrid.h"
#include "library/songgridrow.h"
#include "snkins/quor/tquorgrid.h"

Tnskinfiles::Tnskinfiles(TQuorPanel* host) : SongPanel(host) { name = QStringLiteral("Groups"); }

Tnskinfiles::~Tnskinfiles() = default;

void Tnskinfiles::makeLogic() { logic_ = std::make_unique<GroupsLogic>(*mquorsql, *grid_, prompts_.get(), main); }

void Tnskinfiles::init()
{
    Frame f;
    f.treeTitle = QStringLiteral("Groups");
    f.headers = songgridrow::headers(songgridrow::Kind::Groups);
    f.widths = {38, 55, 83, 245, 245, 109};
    f.gridName = QStringLiteral("sggroups");
    f.searchFont = QStringLiteral("Tahoma");
    f.defaultColnor = QColor(0, 0, 0);
    f.defaultColpar = QColor(32, 32, 32);
    buildPanel(f, 90,
               {QStringLiteral("New Group"), QStringLiteral("New SubGroup"), QStringLiteral("Delete Group/Subgroup"),
                QStringLiteral("Edit Name"), QStringLiteral("Clear Group/Subgroup")});
    // a mouse-up on the title row sorts by the column under it
    connect(sg, &TquorGrid::mouseUp, this, [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        int col = 0, row = 0;
        if (!sg->MouseToCell(x, y, col, row) || row != 0 || col <= 0 || sg->ColWidths(col) <= 0) return;
        logic_->headerClicked(col);
    });
    logic_->init(listOnInit);
}

void Tnskinfiles::menuClick(int item)
{
    switch (item) {
    case 0: logic_->newGroup(); break;
    case 1: logic_->newSubGroup(); break;
    case 2: logic_->deleteNode(); break;
    case 3: logic_->renameNode(); break;
    case 4: logic_->clearNode(); break;
    default: return;
    }
    focusGrid();
}

bool Tnskinfiles::rowDragOver(QObject*, const QString& gridName, QPoint)
{
    sg->setFocus(Qt::OtherFocusReason);
    return gridName == QLatin1String("sg") || gridName == QLatin1String("sgexplorer");
}

void Tnskinfiles::rowDropped(QObject*, const QString& gridName, const QStringList& cells, QPoint)
{
    if (gridName != QLatin1String("sg") && gridName != QLatin1String("sgexplorer")) return;
    logic_->dropRow(cells);
    focusGrid();
}
