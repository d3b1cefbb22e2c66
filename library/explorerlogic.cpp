#include "library/explorerlogic.h"

#include <algorithm>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include "engine/mainservices.h"
#include "engine/microsf.h"
#include "library/explorergrid.h"
#include "library/explorerrow.h"
#include "library/songgridrow.h"
#include "library/tmsql.h"

ExplorerLogic::ExplorerLogic(Tmsql* sql, ExplorerGrid& grid, MainServices* main, VolumeSource* mounts)
    : sql_(sql), grid_(grid), main_(main), buscarfiles_(mounts)
{
    buscarfiles_.onRows = [this](int pass, QList<QStringList> batch) { rows(pass, std::move(batch)); };
    buscarfiles_.FMyEvent = [this](int pass, const QString& word) { onmessage(pass, word); };
}

ExplorerLogic::~ExplorerLogic()
{
    buscarfiles_.onRows = nullptr;
    buscarfiles_.FMyEvent = nullptr;
    buscarfiles_.shutdown();
}

QStringList ExplorerLogic::folderFiles(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (explorerrow::listed(name)) out << name;
    }
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return out;
}

bool ExplorerLogic::OndtChange(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    const QString slashed = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (fl == folder || fl == slashed) return false;
    if (searching_) bclick0();
    shownPass_ = 0;  // rows of a search still on their way do not join the listing
    if (listener.listing) listener.listing(true);
    fl = slashed;
    pacer_.tick();

    const QStringList names = folderFiles(folder);
    QList<QStringList> rows;
    rows.reserve(names.size());
    for (const QString& name : names) {
        pacer_.tick();
        // the file was just listed: its path is its one name (ShortFileName's answer)
        const QString path = slashed + name;
        QStringList r;
        if (sql_ && sql_->damecancion(2, mconfig, path))
            r = explorerrow::libraryRow(mconfig, path);
        else
            r = explorerrow::fileRow(path, name, explorerrow::Split::Listing);
        r[gridcol::deck] = songgridrow::deckMarks(songgridrow::Kind::Explorer, path, loada, loadb);
        rows.push_back(std::move(r));
    }
    if (rows.isEmpty()) rows.push_back(explorerrow::defaults());
    grid_.setRows(std::move(rows));
    grid_.setCurrentRow(1);
    MSortgrid(std::abs(sortTag));
    if (listener.listing) listener.listing(false);
    grid_.repaint();
    return true;
}

void ExplorerLogic::load()
{
    for (int r = 1; r < grid_.rowCount(); ++r)
        grid_.setCell(gridcol::deck, r,
                      songgridrow::deckMarks(songgridrow::Kind::Explorer, grid_.cell(gridcol::path, r), loada, loadb));
    grid_.repaint();
}

void ExplorerLogic::salvatag(const QString& file, const PRecord& deck, int veces)
{
    pacer_.tick();
    for (int r = 1; r < grid_.rowCount(); ++r) {
        pacer_.tick();
        if (grid_.cell(gridcol::path, r) != file) continue;
        grid_.setCell(gridcol::bpm, r, songgridrow::bpm(deck.tag[tagslot::bpm]));
        grid_.setCell(gridcol::veces, r, QString::number(veces));
        grid_.setCell(gridcol::time, r, deck.duration.get());
        for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot)
            grid_.setCell(tagSlotColumn(slot), r, FloatText(deck.tag[size_t(slot)]));
    }
    grid_.repaint();
}

void ExplorerLogic::headerClicked(int column)
{
    if (column < 1 || column >= gridcol::count) return;
    sortTag = sortTag == column ? -column : column;
    MSortgrid(column);
    grid_.repaint();
}

void ExplorerLogic::MSortgrid(int column)
{
    if (column < 1 || column >= gridcol::count) return;
    grid_.sortRows(column == gridcol::order ? gridcol::veces : column, sortTag > 0);
    grid_.setSortIndicator(sortTag);
}

int ExplorerLogic::buscar(const QString& text, const QString& folder)
{
    grid_.setRows({explorerrow::defaults()});
    grid_.setCurrentRow(1);
    grid_.repaint();
    setSearching(true);
    shownPass_ = buscarfiles_.init(text, folder, true);
    return shownPass_;
}

void ExplorerLogic::bclick0() { buscarfiles_.fin(); }

void ExplorerLogic::rows(int pass, QList<QStringList> batch)
{
    if (pass != shownPass_ || pass != buscarfiles_.pass()) return;
    grid_.appendRows(std::move(batch));
    grid_.repaint();
}

void ExplorerLogic::onmessage(int pass, const QString& word)
{
    if (pass == buscarfiles_.pass() && word == QLatin1String("Finish")) setSearching(false);
}

void ExplorerLogic::setSearching(bool on)
{
    searching_ = on;
    if (listener.searching) listener.searching(on);
}

std::optional<QString> ExplorerLogic::typedKey(int key) const
{
    if (iskeyboard || key <= 48 || key > 0xFFFF) return std::nullopt;
    const QChar c{char16_t(key)};
    if (!c.isPrint() || c.isSpace()) return std::nullopt;
    return QString(c);
}

void ExplorerLogic::edit1focus()
{
    if (main_) main_->postHint(QStringLiteral("NOKEY"));
}

void ExplorerLogic::edit1nofocus()
{
    if (main_) main_->postHint(QStringLiteral("KEY"));
}
