// What the window reaches in each of its three library panels beyond the BrowserPanel view:
// the grid widget, the tree's stepping and selection, and the keyboard flag. The views of the
// Groups, Playlists (songpanelviews.h) and Explorer (explorerpanelview.h) panels implement it.
#pragma once

#include "mainwindow/logic/browserpanel.h"

class QWidget;
class TquorGrid;

class PanelView {
public:
    virtual ~PanelView() = default;
    virtual BrowserPanel& browser() = 0;
    virtual TquorGrid* sg() const = 0;
    virtual QWidget* tree() const = 0;  // dt
    // the tree: the next / previous node, and the selected node's action
    virtual void dtabajo() = 0;
    virtual void dtarriba() = 0;
    virtual void setselected() = 0;
    // iskeyboard: the grid's typed keys go to the keyboard map, not to the search box
    virtual void setKeyboard(bool on) = 0;
};
