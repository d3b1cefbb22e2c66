// The Groups and Playlists panels (library/panels) as the window sees a library panel
// (BrowserPanel, PlaylistPanel): what the window can show in a host in place of its bare grid.
// The window builds the panel (fields, then init), then wraps it here; the view does not own it
// (the panel lives with its host). Every call is the UI thread's.
#pragma once

#include "library/panels/snskinfiles.h"
#include "library/panels/snskinplay.h"
#include "mainwindow/logic/playlistpanel.h"
#include "mainwindow/panelview.h"
#include "mainwindow/views/gridview.h"
#include "snkins/quor/tquortreeview.h"

template <class Panel, class Base>
class SongPanelView : public Base, public PanelView {
public:
    explicit SongPanelView(Panel* panel) : panel_(panel), grid_(panel->sg) {}

    Panel* panel() const { return panel_; }
    TquorGrid* sg() const override { return grid_.widget(); }
    BrowserPanel& browser() override { return *this; }
    QWidget* tree() const override { return panel_->dt; }
    void dtabajo() override { panel_->dtabajo(); }
    void dtarriba() override { panel_->dtarriba(); }
    void setselected() override { panel_->setselected(); }
    void setKeyboard(bool on) override { panel_->setKeyboard(on); }

    SongGrid* grid() override { return &grid_; }
    void setDeckFile(int deck, const QString& path) override { panel_->setDeckFile(deck, path); }
    void load() override { panel_->load(); }
    void setTextSize(const PanelTextSize& size) override
    {
        panel_->setTextSize(size.font, size.rowHeight, size.statusHeight, size.searchFont);
    }

protected:
    Panel* panel_;
    GridView grid_;
};

using GroupsPanelView = SongPanelView<Tnskinfiles, BrowserPanel>;

class PlaylistsPanelView : public SongPanelView<Tnskinplay, PlaylistPanel> {
public:
    using SongPanelView::SongPanelView;
    void altadeplaylist(int deck, const QStringList& row) override { panel_->altadeplaylist(deck, row); }
    void altademosong(const QStringList& row) override { panel_->altademosong(row); }
    void setntrack(int deck, int order) override { panel_->setntrack(deck, order); }
    int originaldrag() const override { return panel_->originaldrag(); }
};
