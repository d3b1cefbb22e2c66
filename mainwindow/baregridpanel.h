// A library panel that is only its song grid: what the window shows in a panel's host until
// that panel's own widget is built. Its grid is a load source like any other; the deck marks,
// the text size and the grid's name are the panel's. The Playlists panel's history and numbers
// are kept by the panel's own logic, so here they do nothing.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "mainwindow/logic/playlistpanel.h"
#include "mainwindow/views/gridview.h"

class TQuorPanel;
class TquorGrid;

class BareGridPanel : public PlaylistPanel {
public:
    // A grid named gridName ("sg", "sggroups", "sgexplorer") filling host's client area.
    BareGridPanel(TQuorPanel* host, const QString& gridName, QWidget* mainform);

    TquorGrid* sg() const { return grid_.widget(); }

    SongGrid* grid() override { return &grid_; }
    void setDeckFile(int deck, const QString& path) override { (deck == 2 ? loadb : loada) = path; }
    void load() override;
    void setTextSize(const PanelTextSize& size) override;

    void altadeplaylist(int, const QStringList&) override {}
    void altademosong(const QStringList&) override {}
    void setntrack(int deck, int order) override { (deck == 2 ? ntrack2 : ntrack1) = order; }
    int originaldrag() const override { return 0; }

    QString loada, loadb;
    int ntrack1 = 0, ntrack2 = 0;

private:
    GridView grid_;
};
