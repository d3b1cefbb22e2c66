#include "library/groupslogic.h"

#include "engine/microsf.h"
#include "engine/precord.h"
#include "library/panelgrid.h"
#include "library/tmsql.h"
#include "library/tsqlitetable.h"

GroupsLogic::GroupsLogic(Tmsql& sql, PanelGrid& grid, PanelPrompts* prompts, MainServices* main)
    : LibraryPanelLogic(songgridrow::Kind::Groups, sql, grid, prompts, main)
{
}

void GroupsLogic::init(bool list)
{
    grid_.setSortIndicator(sortTag);
    buildTree();
    if (list && tree_.selected()) listSelected();
}

void GroupsLogic::buildTree()
{
    tree_.clear();
    auto t = sql_.dametabla(QStringLiteral("SELECT * FROM grupos WHERE tipo = 0 ORDER BY rootid, parentid, orden"));
    if (t->GetCount() > 0) {
        const int id = t->GetFieldIndex(QStringLiteral("id"));
        const int parent = t->GetFieldIndex(QStringLiteral("parentid"));
        const int name = t->GetFieldIndex(QStringLiteral("descripcio"));
        int groups = 0;
        double first = 0;
        while (!t->GetEOF()) {
            // a row that is no subgroup of the group before it is a group
            const double g = t->FieldAsDouble(id);
            const QString text = t->FieldAsString(name);
            tree_.appendTop(TMyData{g, g, -1, text, ++groups}, text);
            if (groups == 1) first = g;
            int k = 0;
            for (t->Next(); !t->GetEOF() && t->FieldAsDouble(parent) == g; t->Next()) {
                const double s = t->FieldAsDouble(id);
                const QString sub = t->FieldAsString(name);
                tree_.insertFirstChild(g, TMyData{s, s, g, sub, ++k}, sub);  // newest first
            }
        }
        tree_.select(first);
    }
    tree_.notify();
}

QString GroupsLogic::orderBy() const
{
    switch (sortTag) {
    case 0:
    case 1: return QStringLiteral(" ORDER BY ORDEN ");
    case 2: return QStringLiteral(" ORDER BY BPM ");
    case 3: return QStringLiteral(" ORDER BY ARTISTA ");
    case 4: return QStringLiteral(" ORDER BY CANCION ");
    case -1: return QStringLiteral(" ORDER BY ORDEN DESC ");
    case -2: return QStringLiteral(" ORDER BY BPM DESC ");
    case -3: return QStringLiteral(" ORDER BY ARTISTA DESC ");
    case -4: return QStringLiteral(" ORDER BY CANCION DESC ");
    default: return QString();
    }
}

void GroupsLogic::listSelected()
{
    if (const PanelTree::Node* n = tree_.selected()) {
        myid = n->data.mxid;
        myrootid = n->data.mxgroup;
        buscaroot = n->data.mxsubgroup == -1;
        myparentid = buscaroot ? n->data.mxgroup : n->data.mxsubgroup;
    }
    const QString where = buscaroot ? QStringLiteral("SELECT * FROM songs where Tipo = 0 AND rootid = ?")
                                    : QStringLiteral("SELECT * FROM songs where Tipo = 0 AND grupo = ?");
    fill(sql_.dametabla(where + orderBy(), {myrootid}), false, true);
}

void GroupsLogic::nodeClicked(double id)
{
    if (const PanelTree::Node* n = tree_.find(id)) gtext = sgtext = n->caption;
    tree_.select(id);
    busqueda = false;
    listSelected();
    tree_.notify();
}

void GroupsLogic::nodeRightPressed(double id)
{
    if (const PanelTree::Node* n = tree_.find(id)) gtext = sgtext = n->caption;
    listSelected();
}

void GroupsLogic::headerClicked(int column)
{
    if (column <= 0 || column >= gridcol::count) return;
    if (column == gridcol::order) column = gridcol::veces;
    sortTag = sortTag == column ? -sortTag : column;
    grid_.setSortIndicator(sortTag);
    grid_.sortRows(std::abs(sortTag), sortTag > 0);
    grid_.repaint();
}

void GroupsLogic::search(const QString& text)
{
    busqueda = true;
    fill(sql_.buscacanciones(text), false, false);
    const int column = std::abs(sortTag) == gridcol::order ? gridcol::veces : std::abs(sortTag);
    grid_.sortRows(column, sortTag > 0);
    grid_.setCurrentRow(1);
    grid_.repaint();
}

void GroupsLogic::newGroup()
{
    askText(QStringLiteral("New Group"), QStringLiteral("Please type Playlist name"), QString(),
            [this](std::optional<QString> name) {
                if (!name || name->isEmpty()) return;
                const double id = sql_.altadegrupo(0, *name, true, 0);
                if (id <= 0) {
                    warn(QStringLiteral("The group could not be created."));
                    return;
                }
                tree_.appendTop(TMyData{id, id, -1, *name, int(tree_.top().size()) + 1}, *name);
                tree_.select(id);
                listSelected();
                tree_.notify();
            });
}

void GroupsLogic::newSubGroup()
{
    const PanelTree::Node* n = tree_.selected();
    if (!n) return;
    if (!tree_.isTop(n->data.mxid)) {
        warn(QStringLiteral("You must be in Group node.."));
        return;
    }
    const double group = n->data.mxid;
    askText(QStringLiteral("SUBGROUPS"), QStringLiteral("Please type SubGroup"), QString(),
            [this, group](std::optional<QString> name) {
                if (!name || name->isEmpty() || !tree_.find(group)) return;
                const double id = sql_.altadesubgrupo(0, *name, true, group);
                if (id <= 0) {
                    warn(QStringLiteral("The subgroup could not be created."));
                    return;
                }
                const int k = int(tree_.find(group)->children.size()) + 1;
                tree_.appendChild(group, TMyData{id, id, group, *name, k}, *name);
                tree_.find(group)->expanded = true;
                tree_.select(id);
                listSelected();
                tree_.notify();
            });
}

void GroupsLogic::deleteNode()
{
    const PanelTree::Node* n = tree_.selected();
    if (!n) return;
    if (!n->children.empty()) {
        warn(QStringLiteral("You must delete childs nodes...."));
        return;
    }
    const double id = n->data.mxid;
    const double filed = n->data.mxgroup;
    const bool group = n->data.mxsubgroup == -1;
    confirm(QStringLiteral("Are you sure to delete this group/subgroup  ?"), [this, id, filed, group](bool yes) {
        if (yes && tree_.find(id)) {
            sql_.borragrupo(0, FloatText(filed), group);
            tree_.remove(id);
        }
        grid_.setRows({});
        if (tree_.selected()) listSelected();
        tree_.notify();
    });
}

void GroupsLogic::renameNode()
{
    const PanelTree::Node* n = tree_.selected();
    if (!n) return;
    const double id = n->data.mxid;
    const bool group = tree_.isTop(id);
    askText(group ? QStringLiteral("Modify Group") : QStringLiteral("Modify Subgroup"),
            group ? QStringLiteral("Please type Group name") : QStringLiteral("Please type Subgroup name"), gtext,
            [this, id, group](std::optional<QString> name) {
                if (!name || name->isEmpty()) return;
                if (group) sql_.altadegrupo(0, *name, false, id);
                else sql_.altadesubgrupo(0, *name, false, id);
                if (PanelTree::Node* node = tree_.find(id)) {
                    node->caption = *name;
                    node->data.texto = *name;
                }
                gtext = sgtext = *name;
                tree_.notify();
            });
}

void GroupsLogic::clearNode()
{
    const PanelTree::Node* n = tree_.selected();
    if (!n) return;
    const double filed = n->data.mxgroup;
    confirm(QStringLiteral("Are you sure to empty files on this Group/SubGroup  ?"), [this, filed](bool yes) {
        if (!yes) return;
        sql_.vaciagrupo(0, FloatText(filed), false);
        if (filed != myrootid) return;  // another node is listed now
        grid_.setRows({});
        grid_.sortRows(std::abs(sortTag), sortTag > 0);
        grid_.repaint();
    });
}

void GroupsLogic::deleteEntry()
{
    const int row = grid_.currentRow();
    const QString id = grid_.cell(gridcol::id, row);
    const qint64 orden = (QStringLiteral("0") + grid_.cell(gridcol::order, row)).toLongLong();
    const double group = myid;
    confirm(QStringLiteral("Are you sure to delete this song from playlist ?"), [this, row, id, orden, group](bool yes) {
        if (!yes) return;
        if (!id.isEmpty()) {
            sql_.borracancion(0, int(orden), group, id);
            if (const int r = grid_.find(gridcol::id, id)) grid_.deleteRow(r);
        } else if (row < grid_.rowCount() && grid_.cell(gridcol::id, row).isEmpty()) {
            grid_.deleteRow(row);
        }
        grid_.repaint();
    });
}

void GroupsLogic::dropRow(const QStringList& cells)
{
    if (busqueda) return;
    const QString path = cells.value(gridcol::path);
    if (!rowOf(path)) {
        double id = 0;
        if (sql_.altadesg(cells, 0, 0, myrootid, myparentid, &id)) {
            QStringList r = cells;
            while (r.size() < gridcol::count) r << QString();
            r[gridcol::order].clear();
            r[gridcol::id] = FloatText(id);
            grid_.insertRow(grid_.rowCount(), r);
        } else {
            warn(notAddedText({path}));
        }
    }
    grid_.setCurrentRow(grid_.rowCount() - 1);
    grid_.repaint();
}

void GroupsLogic::browse(int step)
{
    const std::vector<const PanelTree::Node*> all = tree_.order(false);
    const std::vector<const PanelTree::Node*> shown = tree_.order(true);
    const int at = tree_.itemIndex();
    if (at < 0) return;
    for (int i = at + step; i >= 0 && i < int(all.size()); i += step) {
        if (std::find(shown.begin(), shown.end(), all[size_t(i)]) == shown.end()) continue;
        tree_.select(all[size_t(i)]->data.mxid);
        tree_.notify();
        return;
    }
}

void GroupsLogic::dtarriba() { browse(-1); }
void GroupsLogic::dtabajo() { browse(1); }

void GroupsLogic::setselected()
{
    PanelTree::Node* n = tree_.find(tree_.selectedId());
    if (!n) return;
    if (n->expanded) {
        n->expanded = false;
    } else {
        n->expanded = true;
        listSelected();
    }
    tree_.notify();
}

void GroupsLogic::salvatag(const QString& file, const PRecord& deck, int veces)
{
    refreshRows(file, deck, veces, true);
}

std::function<double(const Ttagsong&)> GroupsLogic::inserter(AddKind)
{
    const double grupo = myrootid, parent = myparentid;
    Tmsql* sql = &sql_;
    return [sql, grupo, parent](const Ttagsong& t) { return sql->altadecancion(0, t, grupo, parent); };
}

void GroupsLogic::beforeDrop()
{
    if (busqueda) {
        busqueda = false;
        listSelected();
    }
}
