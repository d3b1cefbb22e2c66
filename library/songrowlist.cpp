#include "library/songrowlist.h"

#include <algorithm>

#include <QCollator>

#include "engine/precord.h"
#include "library/songgridrow.h"

SongRowList::SongRowList(const QStringList& headers)
{
    rows_.push_back(sized(headers));
    rows_.push_back(songgridrow::blank());
}

QStringList SongRowList::sized(QStringList cells)
{
    while (cells.size() < gridcol::count) cells << QString();
    if (cells.size() > gridcol::count) cells = cells.mid(0, gridcol::count);
    return cells;
}

QString SongRowList::cell(int column, int row) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= gridcol::count) return QString();
    return rows_[size_t(row)][column];
}

void SongRowList::setCell(int column, int row, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= gridcol::count) return;
    rows_[size_t(row)][column] = text;
}

void SongRowList::setRows(QList<QStringList> rows)
{
    rows_.resize(1);
    rows_.reserve(size_t(rows.size()) + 1);
    for (QStringList& r : rows) rows_.push_back(sized(std::move(r)));
    if (rows_.size() == 1) rows_.push_back(songgridrow::blank());
    current_ = 1;
}

void SongRowList::insertRow(int row, const QStringList& cells)
{
    if (blankRow(1)) {
        rows_[1] = sized(cells);
        return;
    }
    row = std::clamp(row, 1, rowCount());
    rows_.insert(rows_.begin() + row, sized(cells));
    if (current_ >= row) ++current_;
}

void SongRowList::deleteRow(int row)
{
    if (row < 1 || row >= rowCount()) return;
    if (rowCount() == 2) {
        rows_[1] = songgridrow::blank();
        return;
    }
    rows_.erase(rows_.begin() + row);
    if (current_ > row || current_ >= rowCount()) current_ = std::max(1, current_ - 1);
}

void SongRowList::moveRow(int from, int to)
{
    if (from < 1 || from >= rowCount()) return;
    to = std::clamp(to, 1, rowCount() - 1);
    QStringList r = std::move(rows_[size_t(from)]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(r));
}

void SongRowList::sortRows(int column, bool ascending)
{
    if (column < 0 || column >= gridcol::count) return;
    auto first = rows_.begin() + 1;
    // blank cells first, in their order; then one collation key per row
    auto rest = std::stable_partition(first, rows_.end(),
                                      [column](const QStringList& r) { return r[column].trimmed().isEmpty(); });
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, size_t>> keys;
    const size_t base = size_t(rest - rows_.begin());
    // folded first: in the C locale a sort key keeps the case
    for (auto it = rest; it != rows_.end(); ++it)
        keys.emplace_back(collator.sortKey((*it)[column].toCaseFolded()), size_t(it - rows_.begin()));
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    std::vector<QStringList> sorted;
    sorted.reserve(keys.size());
    for (const auto& k : keys) sorted.push_back(std::move(rows_[k.second]));
    for (size_t i = 0; i < sorted.size(); ++i) rows_[base + i] = std::move(sorted[i]);
    if (!ascending) std::reverse(first, rows_.end());
}

void SongRowList::setCurrentRow(int row)
{
    current_ = std::clamp(row, 1, rowCount() - 1);
}
