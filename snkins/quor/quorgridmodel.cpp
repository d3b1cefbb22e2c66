#include "snkins/quor/quorgridmodel.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QThread>
#include <algorithm>
#include <mutex>
#include <optional>
#include <thread>
#include <iterator>

namespace {
// A shared lock for a reader on another thread; none on the writer's own thread.
class ReadGuard {
public:
    ReadGuard(std::shared_mutex& m, bool own) : m_(own ? nullptr : &m)
    {
        if (m_) m_->lock_shared();
    }
    ~ReadGuard()
    {
        if (m_) m_->unlock_shared();
    }
    ReadGuard(const ReadGuard&) = delete;
    ReadGuard& operator=(const ReadGuard&) = delete;

private:
    std::shared_mutex* m_;
};
}  // namespace

QuorGridModel::QuorGridModel(QObject* parent) : QAbstractTableModel(parent)
{
    rows.resize(2, blankRow());
}

bool QuorGridModel::ownThread() const { return QThread::currentThread() == thread(); }

QuorGridModel::Row QuorGridModel::blankRow() const
{
    Row r;
    r.cells = QStringList(QList<QString>(colCount));
    return r;
}

int QuorGridModel::RowCount() const
{
    ReadGuard g(lock, ownThread());
    return int(rows.size());
}

int QuorGridModel::ColCount() const
{
    ReadGuard g(lock, ownThread());
    return colCount;
}

void QuorGridModel::setRowCount(int n)
{
    n = std::max(n, fixedRows);
    const int old = int(rows.size());
    if (n == old) return;
    if (n > old) {
        beginInsertRows(QModelIndex(), old - fixedRows, n - fixedRows - 1);
        {
            std::unique_lock w(lock);
            rows.resize(size_t(n), blankRow());
        }
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), n - fixedRows, old - fixedRows - 1);
        {
            std::unique_lock w(lock);
            for (int r = n; r < old; ++r)
                if (rows[size_t(r)].height >= 0) --customHeights;
            rows.resize(size_t(n));
        }
        endRemoveRows();
    }
}

void QuorGridModel::setColCount(int n)
{
    n = std::max(n, 1);
    if (n == colCount) return;
    beginResetModel();
    {
        std::unique_lock w(lock);
        colCount = n;
        for (Row& r : rows) {
            while (r.cells.size() < n) r.cells.append(QString());
            while (r.cells.size() > n) r.cells.removeLast();
        }
    }
    endResetModel();
}

void QuorGridModel::setFixedRows(int n)
{
    n = std::clamp(n, 0, 1);
    if (n == fixedRows) return;
    beginResetModel();
    {
        std::unique_lock w(lock);
        fixedRows = n;
        if (int(rows.size()) < n) rows.resize(size_t(n), blankRow());
    }
    endResetModel();
}

QString QuorGridModel::cell(int col, int row) const
{
    ReadGuard g(lock, ownThread());
    if (row < 0 || row >= int(rows.size()) || col < 0 || col >= colCount) return QString();
    return rows[size_t(row)].cells.at(col);
}

QStringList QuorGridModel::rowCells(int row) const
{
    ReadGuard g(lock, ownThread());
    if (row < 0 || row >= int(rows.size())) return QStringList();
    return rows[size_t(row)].cells;
}

void QuorGridModel::cellChanged(int col, int row)
{
    if (updateDepth > 0) {
        dirty = true;
        return;
    }
    if (row < fixedRows) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const QModelIndex i = index(row - fixedRows, col);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void QuorGridModel::setCell(int col, int row, const QString& text)
{
    if (row < 0 || col < 0 || col >= colCount) return;
    {
        std::unique_lock w(lock);
        if (row >= int(rows.size())) return;
        Row& r = rows[size_t(row)];
        r.cells[col] = text;
        if (col == pathColumn) r.exists = -1;
    }
    cellChanged(col, row);
}

void QuorGridModel::setRowCells(int row, const QStringList& cells)
{
    if (row < 0) return;
    {
        std::unique_lock w(lock);
        if (row >= int(rows.size())) return;
        Row& r = rows[size_t(row)];
        r.cells = cells;
        while (r.cells.size() < colCount) r.cells.append(QString());
        while (r.cells.size() > colCount) r.cells.removeLast();
        r.exists = -1;
    }
    if (updateDepth > 0) {
        dirty = true;
    } else if (row < fixedRows) {
        emit headerDataChanged(Qt::Horizontal, 0, colCount - 1);
    } else {
        emit dataChanged(index(row - fixedRows, 0), index(row - fixedRows, colCount - 1), {Qt::DisplayRole});
    }
}

void QuorGridModel::setSongRows(QList<QStringList> songs)
{
    // removal and insertion rather than a reset: a reset would also drop the column widths
    const int oldSongs = int(rows.size()) - fixedRows;
    if (oldSongs > 0) {
        beginRemoveRows(QModelIndex(), 0, oldSongs - 1);
        {
            std::unique_lock w(lock);
            rows.resize(size_t(fixedRows));
            customHeights = 0;
            for (const Row& r : rows)
                if (r.height >= 0) ++customHeights;
        }
        endRemoveRows();
    }
    std::vector<Row> fresh;
    fresh.reserve(size_t(std::max<qsizetype>(songs.size(), 1)));
    for (QStringList& cells : songs) {
        Row r;
        r.cells = std::move(cells);
        if (r.cells.size() != colCount) {
            while (r.cells.size() < colCount) r.cells.append(QString());
            while (r.cells.size() > colCount) r.cells.removeLast();
        }
        fresh.push_back(std::move(r));
    }
    if (fresh.empty()) fresh.push_back(blankRow());
    beginInsertRows(QModelIndex(), 0, int(fresh.size()) - 1);
    {
        std::unique_lock w(lock);
        rows.insert(rows.end(), std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    }
    endInsertRows();
}

int QuorGridModel::insertRow(int index)
{
    const int count = RowCount();
    index = std::clamp(index, fixedRows, count);
    beginInsertRows(QModelIndex(), index - fixedRows, index - fixedRows);
    {
        std::unique_lock w(lock);
        rows.insert(rows.begin() + index, blankRow());
    }
    endInsertRows();
    return index;
}

void QuorGridModel::moveRow(int from, int to)
{
    const int count = RowCount();
    if (from < fixedRows || to < fixedRows || from >= count || to >= count || from == to) return;
    // the view's numbering counts the destination before the row leaves its place
    const int dest = to > from ? to + 1 : to;
    if (!beginMoveRows(QModelIndex(), from - fixedRows, from - fixedRows, QModelIndex(), dest - fixedRows)) return;
    {
        std::unique_lock w(lock);
        Row moving = std::move(rows[size_t(from)]);
        rows.erase(rows.begin() + from);
        rows.insert(rows.begin() + to, std::move(moving));
    }
    endMoveRows();
}

namespace {
struct Keyed {
    QCollatorSortKey key;
    int id;
};

// The case-insensitive collation keys of `texts` in `locale`. A long list is keyed by a few
// threads, each with its own collator (a collator serves one thread at a time).
std::vector<Keyed> sortKeys(const std::vector<const QString*>& texts, const QLocale& locale)
{
    const size_t n = texts.size();
    const size_t threads = n < 16384 ? 1 : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
    std::vector<std::optional<QCollatorSortKey>> keys(n);
    auto work = [&](size_t from, size_t to) {
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (size_t i = from; i < to; ++i) keys[i].emplace(collator.sortKey(*texts[i]));
    };
    std::vector<std::thread> helpers;
    const size_t slice = (n + threads - 1) / threads;
    for (size_t t = 1; t < threads; ++t) helpers.emplace_back(work, std::min(n, t * slice), std::min(n, (t + 1) * slice));
    work(0, std::min(n, slice));
    for (std::thread& h : helpers) h.join();
    std::vector<Keyed> keyed;
    keyed.reserve(n);
    for (size_t i = 0; i < n; ++i) keyed.push_back({std::move(*keys[i]), int(i)});
    return keyed;
}
}  // namespace

void QuorGridModel::sortByColumn(int col, bool ascending)
{
    if (col < 0 || col >= colCount) return;
    const int count = int(rows.size());
    if (count - fixedRows < 1) return;

    // One collation key a text, not one comparison a pair: the distinct texts of the column
    // are keyed and ranked once, then the rows are ordered by their text's rank. Qt's C locale
    // keys by code point and with case; without a locale, the root order.
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);

    std::vector<int> blanks;
    QHash<QString, int> textIds;  // text -> index into `texts`
    textIds.reserve(std::min(count, 1 << 16));
    std::vector<const QString*> texts;
    std::vector<std::pair<int, int>> byText;  // (text id, row)
    byText.reserve(size_t(count - fixedRows));
    for (int r = fixedRows; r < count; ++r) {
        const QString& text = rows[size_t(r)].cells.at(col);
        if (text.trimmed().isEmpty()) {
            blanks.push_back(r);
            continue;
        }
        auto it = textIds.constFind(text);
        if (it == textIds.cend()) {
            it = textIds.insert(text, int(texts.size()));
            texts.push_back(&text);
        }
        byText.emplace_back(*it, r);
    }
    std::vector<Keyed> keyed = sortKeys(texts, locale);
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.key.compare(b.key) < 0; });
    // equal keys share a rank, so that rows of texts that compare equal keep their order
    std::vector<int> rank(texts.size());
    for (size_t i = 0, r = 0; i < keyed.size(); ++i) {
        if (i > 0 && keyed[i].key.compare(keyed[i - 1].key) != 0) r = i;
        rank[size_t(keyed[i].id)] = int(r);
    }
    for (auto& [id, row] : byText) id = rank[size_t(id)];
    std::stable_sort(byText.begin(), byText.end(),
                     [](const std::pair<int, int>& a, const std::pair<int, int>& b) { return a.first < b.first; });

    // order[i]: the row that goes to place i; applied in place, cycle by cycle
    std::vector<int> order;
    order.reserve(size_t(count));
    for (int r = 0; r < fixedRows; ++r) order.push_back(r);
    order.insert(order.end(), blanks.begin(), blanks.end());
    for (const auto& [id, r] : byText) order.push_back(r);
    if (!ascending) std::reverse(order.begin() + fixedRows, order.end());
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    {
        std::unique_lock w(lock);
        std::vector<bool> placed(size_t(count), false);
        for (int start = 0; start < count; ++start) {
            if (placed[size_t(start)]) continue;
            Row held = std::move(rows[size_t(start)]);
            int at = start;
            while (order[size_t(at)] != start) {
                rows[size_t(at)] = std::move(rows[size_t(order[size_t(at)])]);
                placed[size_t(at)] = true;
                at = order[size_t(at)];
            }
            rows[size_t(at)] = std::move(held);
            placed[size_t(at)] = true;
        }
    }
    // the current row keeps its number, as in a grid whose rows are exchanged
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int QuorGridModel::rowHeight(int row) const
{
    ReadGuard g(lock, ownThread());
    if (row < 0 || row >= int(rows.size())) return -1;
    return rows[size_t(row)].height;
}

void QuorGridModel::setRowHeight(int row, int height)
{
    std::unique_lock w(lock);
    if (row < 0 || row >= int(rows.size())) return;
    int& h = rows[size_t(row)].height;
    if ((h >= 0) != (height >= 0)) customHeights += height >= 0 ? 1 : -1;
    h = height;
}

bool QuorGridModel::played(int row) const
{
    if (row < 0 || row >= int(rows.size()) || playCountColumn >= colCount) return false;
    const QString& text = rows[size_t(row)].cells.at(playCountColumn);
    if (text.isEmpty()) return false;
    bool anyNonZero = false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return false;
        if (c != u'0') anyNonZero = true;
    }
    return anyNonZero;
}

bool QuorGridModel::fileMissing(int row) const
{
    if (row < 0 || row >= int(rows.size()) || pathColumn >= colCount) return true;
    const Row& r = rows[size_t(row)];
    if (r.exists < 0) {
        const QString& path = r.cells.at(pathColumn);
        r.exists = !path.isEmpty() && QFileInfo(path).isFile() ? 1 : 0;
    }
    return r.exists == 0;
}

void QuorGridModel::endUpdate()
{
    if (updateDepth == 0 || --updateDepth > 0 || !dirty) return;
    dirty = false;
    if (fixedRows > 0) emit headerDataChanged(Qt::Horizontal, 0, colCount - 1);
    const int songs = int(rows.size()) - fixedRows;
    if (songs > 0) emit dataChanged(index(0, 0), index(songs - 1, colCount - 1), {Qt::DisplayRole});
}

int QuorGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return int(rows.size()) - fixedRows;
}

int QuorGridModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return colCount;
}

QVariant QuorGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole) return QVariant();
    return cell(index.column(), index.row() + fixedRows);
}

QVariant QuorGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Horizontal) return fixedRows > 0 ? cell(section, 0) : QVariant();
    return section + fixedRows;
}
