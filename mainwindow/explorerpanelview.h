// The Explorer panel (library/panels) as the window sees a library panel (BrowserPanel): its
// grid "sgexplorer", the deck marks, the text size, the folder tree's stepping and the keyboard
// flag. The window builds the panel (fields, then init), then wraps it here; the view does not
// own it. Every call is the UI thread's.
#pragma once

#include "library/panels/tdirectorytree2.h"
#include "library/panels/tnskinexplore.h"
#include "mainwindow/panelview.h"
#include "mainwindow/views/gridview.h"

class ExplorerPanelView : public BrowserPanel, public PanelView {
public:
    explicit ExplorerPanelView(Tnskinexplore* panel) : panel_(panel), grid_(panel->sg) {}

    Tnskinexplore* panel() const { return panel_; }

    SongGrid* grid() override { return &grid_; }
    void setDeckFile(int deck, const QString& path) override { panel_->setDeckFile(deck, path); }
    void load() override { panel_->load(); }
    void setTextSize(const PanelTextSize& size) override
    {
        panel_->setTextSize(size.font, size.rowHeight, size.titleHeight, size.titleFont, size.statusHeight,
                            size.searchFont);
    }

    BrowserPanel& browser() override { return *this; }
    TquorGrid* sg() const override { return grid_.widget(); }
    QWidget* tree() const override { return panel_->dt; }
    void dtabajo() override
    {
        if (panel_->dt) panel_->dt->dtabajo();
    }
    void dtarriba() override
    {
        if (panel_->dt) panel_->dt->dtarriba();
    }
    void setselected() override
    {
        if (panel_->dt) panel_->dt->SetSelected();
    }
    void setKeyboard(bool on) override { panel_->setIskeyboard(on); }

private:
    Tnskinexplore* panel_;
    GridView grid_;
};
