// The library panels' arrangement, their text size, the load source and the focus. The logic is
// PanelArrangement's; here the window's events reach it.
#include <QApplication>

#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/tform1.h"
#include "snkins/quor/tnslider.h"
#include "snkins/quor/tquorgrid.h"

void Tform1::wirePanels()
{
    onClick(QStringLiteral("bpplaylist"), &Tform1::bpplaylistClick);
    onClick(QStringLiteral("bggrupos"), &Tform1::bggruposClick);
    onClick(QStringLiteral("VsButton2"), &Tform1::bggruposClick);
    onClick(QStringLiteral("bpexplorer"), &Tform1::bpexplorerClick);
    if (auto* zoom = get<TnSlider>(QStringLiteral("nzoom"))) connect(zoom, &TnSlider::Onchange, this, &Tform1::nzoomchange);
    panels.focusWindow = [this] {
        activateWindow();
        setFocus(Qt::OtherFocusReason);
    };
    connect(qApp, &QApplication::focusChanged, this, &Tform1::focusChanged);
}

// The grids' mouse enter and leave events, once the panels exist.
void Tform1::wirePanelGrids()
{
    const struct {
        PanelView* panel;
        void (PanelArrangement::*enter)();
        void (PanelArrangement::*leave)();
    } grids[] = {{ep.get(), &PanelArrangement::epMouseEnter, &PanelArrangement::epMouseleave},
                 {ep3.get(), &PanelArrangement::ep3MouseEnter, &PanelArrangement::ep3Mouseleave},
                 {ep2.get(), &PanelArrangement::ep2MouseEnter, &PanelArrangement::ep2Mouseleave}};
    for (const auto& g : grids) {
        if (!g.panel || !g.panel->sg()) continue;
        connect(g.panel->sg(), &TquorGrid::mouseEnter, this, [this, e = g.enter] { (panels.*e)(); });
        connect(g.panel->sg(), &TquorGrid::mouseLeave, this, [this, l = g.leave] { (panels.*l)(); });
    }
}

std::array<PanelView*, 3> Tform1::panelViews() const { return {ep.get(), ep3.get(), ep2.get()}; }

PanelView* Tform1::panelView(LibraryPanel p) const
{
    switch (p) {
    case LibraryPanel::groups: return ep.get();
    case LibraryPanel::playlists: return ep3.get();
    case LibraryPanel::explorer: return ep2.get();
    }
    return nullptr;
}

QWidget* Tform1::panelTree(LibraryPanel p) const
{
    const PanelView* v = panelView(p);
    return v ? v->tree() : nullptr;
}

// the Playlists panel's playlist tree (dt)
QWidget* Tform1::playlistTree() const { return panelTree(LibraryPanel::playlists); }

void Tform1::alineopanels() { panels.alineopanels(); }
void Tform1::bpplaylistClick(QObject*) { panels.bpplaylistClick(); }
void Tform1::bggruposClick(QObject*) { panels.bggruposClick(); }
void Tform1::bpexplorerClick(QObject*) { panels.bpexplorerClick(); }
void Tform1::setzoom(int n) { panels.setzoom(n); }
void Tform1::nzoomchange() { panels.nzoomchange(); }
void Tform1::PlaylistEnter() { panels.PlaylistEnter(); }
void Tform1::gruposEnter() { panels.gruposEnter(); }
void Tform1::explorerEnter() { panels.explorerEnter(); }
void Tform1::devuelvofoco() { panels.devuelvofoco(); }

void Tform1::focusea(QWidget* control)
{
    if (!control || control->focusPolicy() == Qt::NoFocus || !control->isEnabled() || !control->isVisible()) return;
    control->setFocus(Qt::OtherFocusReason);
    if (!control->hasFocus() && isActiveWindow()) setFocus(Qt::OtherFocusReason);
}

// A panel host's enter event: the focus came into it from outside.
void Tform1::focusChanged(QWidget* old, QWidget* now)
{
    const std::pair<const char*, void (Tform1::*)()> hosts[] = {
        {"playlist", &Tform1::PlaylistEnter}, {"grupos", &Tform1::gruposEnter}, {"explorer", &Tform1::explorerEnter}};
    for (const auto& [name, enter] : hosts) {
        QWidget* host = get<QWidget>(QLatin1String(name));
        if (!host || !now) continue;
        if (host->isAncestorOf(now) && !(old && host->isAncestorOf(old))) (this->*enter)();
    }
}
