// The rows of text cells behind the song grid. Rows are in grid numbering: the first
// FixedRows() rows (0 or 1) are the title row, shown by the header; the view's rows are the
// song rows after them. Cells are read from any thread (a shared lock) and written on the
// model's own thread only (TquorGrid carries other threads' writes over).
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <shared_mutex>
#include <vector>

class QuorGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QStringList cells;             // exactly ColCount() entries
        int height = -1;               // -1: the default row height; 0 hides the row
        mutable signed char exists = -1;  // file-exists cache for column 6: -1 unknown
    };

    explicit QuorGridModel(QObject* parent = nullptr);

    static constexpr int pathColumn = 6;
    static constexpr int playCountColumn = 22;

    int RowCount() const;
    void setRowCount(int n);
    int ColCount() const;
    void setColCount(int n);
    int FixedRows() const { return fixedRows; }
    void setFixedRows(int n);

    // "" outside the grid
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    QStringList rowCells(int row) const;
    void setRowCells(int row, const QStringList& cells);
    // Replaces every song row by `rows` (missing cells empty, extra ones dropped) in one step;
    // an empty list leaves one blank song row.
    void setSongRows(QList<QStringList> rows);
    // Inserts a blank row at `index` (clamped to the song rows and one past the last) and
    // returns the index used.
    int insertRow(int index);
    // Takes row `from` out and puts it in at `to`; heights move with their rows.
    void moveRow(int from, int to);
    // Song rows whose cell in `col` is empty after trimming first, in their order; the rest by
    // a case-insensitive, locale-aware collation key, one key a row. Descending reverses every
    // song row. Nothing happens for a column that does not exist.
    void sortByColumn(int col, bool ascending);

    int rowHeight(int row) const;
    void setRowHeight(int row, int height);
    bool hasCustomHeights() const { return customHeights > 0; }

    // Column 22 read leniently: text that is not all digits counts 0.
    bool played(int row) const;
    // Column 6 names no existing file; checked once and again after column 6 changes. UI thread.
    bool fileMissing(int row) const;

    // Cell writes between these send no per-cell change; the end sends one for everything.
    void beginUpdate() { ++updateDepth; }
    void endUpdate();

    // direct row access for painting (the model's own thread)
    const Row& at(int row) const { return rows[size_t(row)]; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Row blankRow() const;
    bool ownThread() const;
    void cellChanged(int col, int row);

    mutable std::shared_mutex lock;  // taken by writers, and by readers on other threads
    std::vector<Row> rows;
    int colCount = 25;
    int fixedRows = 1;
    int customHeights = 0;
    int updateDepth = 0;
    bool dirty = false;
};
