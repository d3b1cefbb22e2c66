// grid_bench: 100,000 prepared rows of 25 texts handed to the song grid in one batch, a sort
// by BPM, then a scroll from top to bottom one page at a time, each page painted into a
// QImage. Peers measured in the same run: building the rows' strings, and a sort that
// compares the texts pair by pair with the collator.
// Last line: "grid fill ms: F, sort ms: S, page repaint us: P".
#include <QApplication>
#include <QCollator>
#include <QElapsedTimer>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "snkins/quor/tquorgrid.h"

namespace {

constexpr int kRows = 100000;

QList<QStringList> prepareRows()
{
    static const char* const words[] = {"Night", "Drive", "Blue", "Echo", "Summer", "Bass", "Deep", "Love",
                                        "Storm", "Velvet", "Rise", "Zero", "Ámbar", "Öland", "éclair", "Mirror"};
    QRandomGenerator rng(17);
    QList<QStringList> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        QStringList cells(25);
        auto word = [&] { return QString::fromUtf8(words[rng.bounded(16)]); };
        cells[1] = QString::number(i + 1).rightJustified(4, u'0');
        cells[2] = QString::asprintf("%07.3f", 60 + rng.bounded(12000) / 100.0);
        cells[3] = word() + u' ' + word();
        cells[4] = word() + u' ' + word() + u' ' + word();
        cells[5] = QString::asprintf("%02d:%02d", 2 + rng.bounded(6), rng.bounded(60));
        cells[6] = QStringLiteral("/music/library/%1/track%2.mp3").arg(i % 97).arg(i);
        for (int c = 7; c <= 16; ++c) cells[c] = QString::number(rng.bounded(1000000));
        for (int c = 17; c <= 20; ++c) cells[c] = QStringLiteral("0");
        cells[21] = QString::number(i + 1);
        cells[22] = QString::number(rng.bounded(4));
        cells[23] = cells[24] = QStringLiteral("0");
        rows << cells;
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    QElapsedTimer clock;
    clock.start();
    const QList<QStringList> rows = prepareRows();
    const double buildMs = clock.nsecsElapsed() / 1e6;

    TquorGrid grid;
    grid.init(nullptr);
    grid.resize(1000, 600);
    const int widths[] = {38, 55, 83, 245, 245, 109};
    for (int c = 0; c < 25; ++c) grid.setColWidths(c, c < 6 ? widths[c] : 0);
    grid.show();
    QApplication::processEvents();

    clock.restart();
    grid.setSongRows(rows);
    QApplication::processEvents();
    const double fillMs = clock.nsecsElapsed() / 1e6;

    clock.restart();
    grid.SortGrid(2, true);
    QApplication::processEvents();
    const double sortMs = clock.nsecsElapsed() / 1e6;

    // every text distinct: one key a row
    clock.restart();
    grid.SortGrid(6, true);
    QApplication::processEvents();
    const double distinctMs = clock.nsecsElapsed() / 1e6;
    grid.SortGrid(2, true);

    // the peer sort: one locale compare per pair, on the same texts
    std::vector<QString> bpms;
    bpms.reserve(kRows);
    for (const QStringList& r : rows) bpms.push_back(r[2]);
    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    clock.restart();
    std::sort(bpms.begin(), bpms.end(), [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    const double pairSortMs = clock.nsecsElapsed() / 1e6;

    QScrollBar* bar = grid.verticalScrollBar();
    QImage page(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int pages = 0;
    qint64 paintNs = 0;
    for (int value = bar->minimum();; value += bar->pageStep()) {
        bar->setValue(std::min(value, bar->maximum()));
        clock.restart();
        {
            QPainter p(&page);
            grid.viewport()->render(&p);
        }
        paintNs += clock.nsecsElapsed();
        ++pages;
        if (value >= bar->maximum()) break;
    }
    const double pageUs = paintNs / 1e3 / std::max(pages, 1);

    std::printf("rows: %d, pages: %d, rows a page: %d\n", grid.RowCount() - 1, pages, bar->pageStep());
    std::printf("peer: building the rows' strings ms: %.1f (fill is %.2f of it)\n", buildMs, fillMs / buildMs);
    std::printf("peer: sort comparing pairs with the collator ms: %.1f (keyed sort is %.2f of it)\n", pairSortMs,
                sortMs / pairSortMs);
    std::printf("sort by file path, every text distinct, ms: %.1f\n", distinctMs);
    std::printf("first BPM %s, last BPM %s\n", qPrintable(grid.Cells(2, 1)), qPrintable(grid.Cells(2, grid.RowCount() - 1)));
    std::printf("grid fill ms: %.1f, sort ms: %.1f, page repaint us: %.0f\n", fillMs, sortMs, pageUs);
    return 0;
}
