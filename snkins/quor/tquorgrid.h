// The song grid of the library panels: rows of 25 text columns under one title row, painted
// in the dark style (row colours, play-count and missing-file text colours, the sort arrow of
// Tag), with row insertion, sorting and row moving.
//
// Grid numbering: row 0 is the title row (shown as the header), song rows start at 1; Cells,
// Row, RowCount and the heights use it. A row of height 0 is hidden. Tag is the sort
// indicator: |Tag| the sorted column, negative for descending, 0 none.
//
// Threads: every read (Cells, RowCount, Row) is safe from any thread; a write from a thread
// other than the grid's is carried to the grid's thread in order and done there.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QStringList>
#include <QTableView>
#include <atomic>

#include "engine/songgridlink.h"

class QuorGridModel;

class TquorGrid : public QTableView, public SongGridLink {
    Q_OBJECT
public:
    explicit TquorGrid(QWidget* parent = nullptr);

    QColor tbackcolor{0, 0, 0};    // Backcolor: grid colour, odd song rows
    QColor tparcolor{21, 21, 21};  // Parcolor: even song rows
    QColor ttitlecolor{68, 68, 68};  // TitleColor: the title when titlefill is on
    bool ftitlefill = false;       // titlefill: title drawn flat instead of from bitmaps
    QColor tfontcolor{221, 221, 221};  // TreeFontColor
    QColor tpencolor;              // Pencolor: kept for hosts
    int ondeveces = 1;             // Veces: kept for hosts
    int ondenofile = -1;           // NofileCol: kept for hosts
    QImage st1, st2, st3;          // title cell: middle (stretched), left edge, right edge
    QImage arriba, abajo;          // sort arrows, RGB(128, 128, 128) see-through
    QImage st4, sem1, sem2, sem3;  // loaded, not drawn
    QImage bnofile;                // empty; hosts may assign one
    QString nfocus;                // "True" whenever a cell is selected; hosts reset it
    bool tienefoco = false;        // kept for hosts: which grid has the focus
    QWidget* mainform = nullptr;
    int normalfont = 0;            // font size at creation
    int Tag = 0;                   // sort indicator

    // Loads the bitmaps and sets the look: colours, Arial bold, no border, 2 rows of 18
    // pixels, one fixed row, column sizing and whole-row selection. The second form sets the
    // column count and the fixed rows (0 or 1).
    void init(QWidget* mainform);
    void init(QWidget* mainform, int colCount, int fixedRows);

    QString Cells(int col, int row) const;
    void setCells(int col, int row, const QString& text);
    QStringList Rows(int row) const;
    void setRows(int row, const QStringList& cells);
    int RowCount() const;
    void setRowCount(int n);
    int ColCount() const;
    void setColCount(int n);
    int FixedRows() const;
    // the current row (a song row); -1 when the grid has none
    int Row() const { return currentRow.load(); }
    void setRow(int row);
    int DefaultRowHeight() const { return defaultRowHeight; }
    void setDefaultRowHeight(int h);
    int RowHeights(int row) const;
    void setRowHeights(int row, int height);
    int ColWidths(int col) const;
    void setColWidths(int col, int width);

    // A listing in one batch: every song row replaced by `rows` (25 texts each); an empty list
    // leaves one blank song row. The current row keeps its number as far as the rows reach.
    void setSongRows(QList<QStringList> rows);
    // Inserts a blank row at `index` and returns it; indices below the first song row insert
    // at the first song row, those past the end append.
    int InsertRow(int index);
    // Row `from` leaves its place and goes in at `to`; heights move with their rows.
    void MoveRow(int from, int to);
    // Sorts the song rows by a column: blank cells first, then case-insensitive, locale-aware
    // text order; descending reverses every song row. Tag is the caller's to set.
    void SortGrid(int col, bool ascending);
    // Cell writes between these cause one repaint at the end.
    void BeginUpdate();
    void EndUpdate();

    // the cell under a point of the grid (title row included); false outside every cell
    bool MouseToCell(int x, int y, int& col, int& row) const;

    // SongGridLink
    int rowCount() const override { return RowCount(); }
    QString cell(int column, int row) const override { return Cells(column, row); }
    void setCell(int column, int row, const QString& text) override { setCells(column, row, text); }
    void repaint() override;

    QuorGridModel* gridModel() const { return model_; }
    const QImage& arribaKeyed() const { return arrowUp; }
    const QImage& abajoKeyed() const { return arrowDown; }

signals:
    void cellSelected(int col, int row);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    // positions in grid coordinates (title row at the top)
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseEnter();
    void mouseLeave();
    // a slot accepts the drag or the drop on the event
    void dragOver(QDragMoveEvent* event);
    void dragDrop(QDropEvent* event);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool onOwnThread() const;
    template <class F>
    bool carried(F&& f);
    void applyHeights();
    void restoreCurrent();
    void applyHeaderHeight();
    int visibleDown(int from) const;
    int visibleUp(int from) const;

    QuorGridModel* model_;
    std::atomic<int> currentRow{1};
    int defaultRowHeight = 18;
    bool viewHasCustomHeights = false;
    QImage arrowUp, arrowDown;
};
