#include "mainwindow/baregridpanel.h"

#include <QVBoxLayout>

#include "engine/precord.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"

namespace {
TquorGrid* makeGrid(TQuorPanel* host, const QString& name, QWidget* mainform)
{
    auto* g = new TquorGrid(host->client());
    g->setObjectName(name);
    g->init(mainform, gridcol::count, 1);
    // the shown columns: deck marks, order, BPM, artist, title, time; the rest are the row's data
    const int widths[] = {28, 40, 64, 300, 380, 72};
    for (int c = 0; c < gridcol::count; ++c) g->setColWidths(c, c < 6 ? widths[c] : 0);
    auto* layout = new QVBoxLayout(host->client());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(g);
    return g;
}
}  // namespace

BareGridPanel::BareGridPanel(TQuorPanel* host, const QString& gridName, QWidget* mainform)
    : grid_(makeGrid(host, gridName, mainform))
{
}

void BareGridPanel::load()
{
    TquorGrid* g = sg();
    if (!g) return;
    g->BeginUpdate();
    for (int r = 1; r < g->RowCount(); ++r) {
        const QString file = g->Cells(gridcol::path, r);
        QString marks;
        if (!file.isEmpty() && file == loada) marks += QLatin1Char('A');
        if (!file.isEmpty() && file == loadb) marks += QLatin1Char('B');
        if (g->Cells(gridcol::deck, r) != marks) g->setCells(gridcol::deck, r, marks);
    }
    g->EndUpdate();
}

void BareGridPanel::setTextSize(const PanelTextSize& size)
{
    TquorGrid* g = sg();
    if (!g) return;
    QFont f = g->font();
    f.setPointSize(size.font);
    g->setFont(f);
    g->setDefaultRowHeight(size.rowHeight);
}
