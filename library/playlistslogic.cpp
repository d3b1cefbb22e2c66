#include "library/playlistslogic.h"

#include <algorithm>
#include <numeric>

#include "engine/microsf.h"
#include "engine/precord.h"
#include "library/librarylog.h"
#include "library/panelgrid.h"
#include "library/tmsql.h"
#include "library/tsqlitetable.h"

PlaylistsLogic::PlaylistsLogic(Tmsql& sql, PanelGrid& grid, PanelPrompts* prompts, MainServices* main)
    : LibraryPanelLogic(songgridrow::Kind::Playlists, sql, grid, prompts, main)
{
    fileLabelFallsBack_ = false;
}

void PlaylistsLogic::init()
{
    buildTree();
    if (tree_.selected()) listSelected();
}

void PlaylistsLogic::buildTree()
{
    tree_.clear();
    auto t = sql_.dametabla(QStringLiteral("SELECT * FROM grupos WHERE tipo = 1 ORDER BY MYID"));
    if (t->GetCount() > 0) {
        const int id = t->GetFieldIndex(QStringLiteral("id"));
        const int name = t->GetFieldIndex(QStringLiteral("descripcio"));
        mygcurrent = newgcurrent = t->FieldAsDouble(id);
        int k = 0;
        for (; !t->GetEOF(); t->Next()) {
            const double p = t->FieldAsDouble(id);
            tree_.appendTop(TMyData{p, p, -1, t->FieldAsString(name), ++k}, t->FieldAsString(name));
        }
        tree_.select(mygcurrent);
    }
    tree_.notify();
}

void PlaylistsLogic::listSelected()
{
    const PanelTree::Node* n = tree_.selected();
    sgtext.clear();
    if (n) gtext = n->caption;
    busqueda = false;
    shuttle = false;
    if (n) {
        myid = n->data.mxid;
        myrootid = n->data.mxgroup;
        buscaroot = true;
    }
    mygcurrent = newgcurrent = myid;
    listPlaylist(myid);
}

void PlaylistsLogic::listPlaylist(double id)
{
    fill(sql_.dametabla(QStringLiteral(" select * from songs  WHERE tipo= 1 and grupo = ? ORDER BY ORDEN "), {id}),
         true, true);
}

void PlaylistsLogic::actualizosg()
{
    busqueda = false;
    shuttle = false;
    listPlaylist(myid);
    actualizotracks();
}

void PlaylistsLogic::nodeClicked(double id)
{
    tree_.select(id);
    listSelected();
    tree_.notify();
}

void PlaylistsLogic::nodeRightPressed(double /*id*/)
{
    // the context menu acts on the selected playlist: list it again first
    listSelected();
}

void PlaylistsLogic::newPlaylist()
{
    askText(QStringLiteral("New Playlist"), QStringLiteral("Please type Playlist name"), QString(),
            [this](std::optional<QString> name) {
                if (!name || name->isEmpty()) return;
                const double id = sql_.altadegrupo(1, *name, true, 0);
                if (id <= 0) {
                    warn(QStringLiteral("The playlist could not be created."));
                    return;
                }
                tree_.appendTop(TMyData{id, id, -1, *name, int(tree_.top().size()) + 1}, *name);
                tree_.select(id);
                listSelected();
                tree_.notify();
            });
}

void PlaylistsLogic::renamePlaylist()
{
    const PanelTree::Node* n = tree_.selected();
    if (!n) return;
    const double id = n->data.mxid;
    askText(QStringLiteral("New Playlist"), QStringLiteral("Please type Playlist name"), gtext,
            [this, id](std::optional<QString> name) {
                if (!name || name->isEmpty()) return;
                sql_.altadegrupo(1, *name, false, id);
                if (PanelTree::Node* node = tree_.find(id)) {
                    node->caption = *name;
                    node->data.texto = *name;
                }
                listSelected();
                tree_.notify();
            });
}

void PlaylistsLogic::deletePlaylist()
{
    const PanelTree::Node* n = tree_.selected();
    if (!n) return;
    if (tree_.count() == 1) {
        warn(QStringLiteral("Cannot empty Playlists !"));
        return;
    }
    if (n->caption.startsWith(QLatin1String("CURRENT"))) {
        warn(QStringLiteral("Cannot delete Current Playlist !"));
        return;
    }
    const double id = n->data.mxid;
    confirm(QStringLiteral("Are you sure to delete this Playlist  ?"), [this, id](bool yes) {
        if (!yes || !tree_.find(id)) return;
        sql_.borragrupo(1, FloatText(id), false);
        tree_.remove(id);
        grid_.setRows({});
        listSelected();
        tree_.notify();
    });
}

void PlaylistsLogic::clearPlaylist()
{
    const PanelTree::Node* n = tree_.selected();
    if (!n) return;
    const double id = n->data.mxid;
    confirm(QStringLiteral("Are you sure to empty this Playlist  ?"), [this, id](bool yes) {
        if (!yes) return;
        sql_.vaciagrupo(1, FloatText(id), false);
        if (id != myid) return;
        grid_.setRows({});
        grid_.sortRows(gridcol::veces, true);
        grid_.repaint();
        actualizotracks();
    });
}

void PlaylistsLogic::reorderPlaylist()
{
    sql_.reparasongs();
    listSelected();
}

void PlaylistsLogic::setTrackLabel(int deck, const QString& text)
{
    QString& label = deck == 1 ? track1 : track2;
    if (label == text) return;
    label = text;
    if (onTrackLabel) onTrackLabel(deck, text);
}

void PlaylistsLogic::altadeplaylist(int carga, const QStringList& row)
{
    bool inserted = false;
    double newId = 0;
    const QString pos = sql_.altaencurrent(row, mygcurrent, &inserted, &newId);
    if (pos.toLongLong() > 0) {
        setTrackLabel(carga, pos);
        return;
    }
    if (!inserted) {
        logError("automatic history", QStringLiteral("not added to the playlist: ") + row.value(gridcol::path));
        return;
    }
    // the listed grid shows CURRENT in stored order: the entry appears at its place
    if (mygcurrent == myid && !busqueda) insertaenpos(1, row, newId);
    setTrackLabel(carga, QStringLiteral("New"));
    actualizotracks();
}

void PlaylistsLogic::altademosong(const QStringList& row)
{
    if (grid_.rowCount() - 1 > 1) return;
    bool inserted = false;
    double newId = 0;
    const QString pos = sql_.altaencurrent(row, mygcurrent, &inserted, &newId);
    if (pos.toLongLong() <= 0 && !inserted) return;
    listSelected();
}

void PlaylistsLogic::actualizotracks()
{
    for (int deck = 1; deck <= 2; ++deck) {
        const DeckTrack d = deckTrack ? deckTrack(deck) : DeckTrack();
        const QString& label = deck == 1 ? track1 : track2;
        if (!d.loaded || label == QLatin1String("New")) setTrackLabel(deck, QStringLiteral("0001"));
        else setTrackLabel(deck, sql_.dametrack(newgcurrent, 1, d.id, d.file));
    }
    load();
}

void PlaylistsLogic::renumber()
{
    for (int r = 1; r < grid_.rowCount(); ++r) grid_.setCell(gridcol::order, r, songgridrow::order(r));
}

void PlaylistsLogic::insertaenpos(int numero, const QStringList& cells, double newId)
{
    QStringList r = cells;
    while (r.size() < gridcol::count) r << QString();
    r[gridcol::id] = FloatText(newId);
    grid_.insertRow(numero, r);
    renumber();
    grid_.repaint();
}

void PlaylistsLogic::pressRow(int row)
{
    if (row < 1 || row >= grid_.rowCount()) return;
    mover = row;
    moverid = (QStringLiteral("0") + grid_.cell(gridcol::id, row)).toDouble();
    dragStartRow = grid_.currentRow();
    originaldrag = mover;
}

void PlaylistsLogic::moveDrop(int dropRow)
{
    if (busqueda) return;
    int target = 0;
    if (dropRow >= 1 && dropRow < grid_.rowCount()) {
        const QString at = grid_.cell(gridcol::order, dropRow);
        target = at.isEmpty() ? 1 : int((QStringLiteral("0") + at).toLongLong());
    } else if (dropRow == 0) {
        target = 1;
    }
    if (dropRow >= 0 && moverid > 0) {
        target = std::max(target, 1);
        // from: the entry's stored position, whatever row it shows on now
        if (sql_.muevecancion(mover, target, myid, moverid) > 0) {
            if (const int r = grid_.find(gridcol::id, FloatText(moverid))) grid_.moveRow(r, target);
            renumber();
        }
    }
    actualizotracks();
    if (target > 0) grid_.setCurrentRow(target);
}

void PlaylistsLogic::dropRow(const QStringList& cells, int dropRow)
{
    if (busqueda) return;
    oldmygcurrent = mygcurrent;
    mygcurrent = myid;
    int target = 0;
    if (dropRow >= 1 && dropRow < grid_.rowCount()) {
        const QString at = grid_.cell(gridcol::order, dropRow);
        target = at.isEmpty() ? 1 : int((QStringLiteral("0") + at).toLongLong());
        const int last = int((QStringLiteral("0") + grid_.cell(gridcol::order, grid_.rowCount() - 1)).toLongLong());
        if (target == last) ++target;  // a drop on the last row appends
    }
    target = std::max(target, 1);
    double id = 0;
    if (sql_.altadesg2(cells, 1, target, mygcurrent, mygcurrent, &id)) {
        insertaenpos(target, cells, id);
        actualizotracks();
        if (dropRow >= 1 && dropRow < grid_.rowCount()) grid_.setCurrentRow(dropRow);
    } else {
        warn(notAddedText({cells.value(gridcol::path)}));
    }
    mygcurrent = oldmygcurrent;
}

void PlaylistsLogic::deleteEntry()
{
    if (busqueda) return;
    const int row = grid_.currentRow();
    const QString id = grid_.cell(gridcol::id, row);
    const qint64 orden = (QStringLiteral("0") + grid_.cell(gridcol::order, row)).toLongLong();
    const double playlist = myid;
    confirm(QStringLiteral("Are you sure to delete this song from playlist ?"),
            [this, row, id, orden, playlist](bool yes) {
                if (!yes) return;
                if (!id.isEmpty()) sql_.borracancion(1, int(orden), playlist, id);
                if (playlist == myid && !busqueda) {
                    // the row that holds the entry now: a track loaded meanwhile moved it down
                    const int r = id.isEmpty() ? row : grid_.find(gridcol::id, id);
                    if (r > 0 && r < grid_.rowCount()) {
                        grid_.deleteRow(r);
                        renumber();
                    }
                }
                grid_.repaint();
                actualizotracks();
            });
}

void PlaylistsLogic::shuttlepress(bool on)
{
    shuttle = on;
    if (!on) {
        listSelected();
        return;
    }
    busqueda = true;
    std::vector<int> order(size_t(grid_.rowCount() - 1));
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), random);
    for (int r = 1; r < grid_.rowCount(); ++r) grid_.setCell(gridcol::order, r, songgridrow::order(order[size_t(r - 1)]));
    grid_.sortRows(gridcol::order, true);
    grid_.setCurrentRow(1);
    grid_.repaint();
}

void PlaylistsLogic::search(const QString& text)
{
    busqueda = true;
    fill(sql_.buscacanciones1(text), true, false);
    grid_.sortRows(gridcol::veces, true);
    grid_.setCurrentRow(1);
    grid_.repaint();
}

void PlaylistsLogic::headerMouseUp()
{
    if (busqueda) {
        grid_.sortRows(gridcol::veces, true);
        grid_.repaint();
    }
    dragStartRow = 0;
}

void PlaylistsLogic::dtarriba()
{
    tree_.setItemIndex(std::max(0, tree_.itemIndex() - 1));
    tree_.notify();
}

void PlaylistsLogic::dtabajo()
{
    tree_.setItemIndex(std::min(tree_.count() - 1, tree_.itemIndex() + 1));
    tree_.notify();
}

void PlaylistsLogic::setselected()
{
    busqueda = false;
    listSelected();
}

void PlaylistsLogic::salvatag(const QString& file, PRecord& deck, int veces, bool mcops)
{
    deck.veces = veces;
    sql_.salvatag(deck, file);
    if (mcops) refreshRows(file, deck, veces, false);
    else refreshRows(file, deck, -1, true);
}

std::function<double(const Ttagsong&)> PlaylistsLogic::inserter(AddKind kind)
{
    const double playlist = myid;
    // a drop goes in at the top, each file above the one before; a run appends after the
    // playlist's last stored entry, read inside each insert's transaction
    const int orden = kind == AddKind::Drop ? 1 : 0;
    Tmsql* sql = &sql_;
    return [sql, playlist, orden](const Ttagsong& tags) {
        Ttagsong t = tags;
        t.orden = orden;
        return sql->altadecancion(1, t, playlist, 0);
    };
}

void PlaylistsLogic::beforeDrop()
{
    savedForDrop_ = mygcurrent;
    mygcurrent = myid;
}

void PlaylistsLogic::afterAdding(AddKind kind, const TrackAdder::Outcome& outcome, const QString& lastDuplicate)
{
    if (kind == AddKind::Drop && !outcome.notAdded.isEmpty()) mygcurrent = savedForDrop_;
    LibraryPanelLogic::afterAdding(kind, outcome, lastDuplicate);
    if (kind == AddKind::Drop) grid_.setCurrentRow(1);
}
