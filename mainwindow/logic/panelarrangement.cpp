#include "mainwindow/logic/panelarrangement.h"

#include "mainwindow/logic/browserpanel.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/paneltextsize.h"
#include "mainwindow/logic/playlistpanel.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/songgrid.h"

namespace {
constexpr int kExplorer = 1, kPlaylists = 2, kGroups = 3;
// from the top
constexpr int kStack[] = {kPlaylists, kGroups, kExplorer};
}  // namespace

PanelArrangement::PanelArrangement(LoadSource& source) : source_(source) {}

BrowserPanel* PanelArrangement::panel(int p) const
{
    return p == kExplorer ? ep2 : p == kPlaylists ? static_cast<BrowserPanel*>(ep3) : p == kGroups ? ep : nullptr;
}

SongGrid* PanelArrangement::gridOf(int p) const
{
    BrowserPanel* b = panel(p);
    return b ? b->grid() : nullptr;
}

ButtonView* PanelArrangement::button(int p) const
{
    return p == kExplorer ? bpexplorer : p == kPlaylists ? bpplaylist : bggrupos;
}

ControlView* PanelArrangement::host(int p) const
{
    return p == kExplorer ? explorer : p == kPlaylists ? playlist : grupos;
}

bool& PanelArrangement::flag(int p) { return p == kExplorer ? vex : p == kPlaylists ? vpl : vgr; }

void PanelArrangement::alineopanels()
{
    for (int p : kStack)
        if (ControlView* h = host(p)) h->setBounds(QRect(0, 0, 0, 0));
    if (!vpl && !vgr && !vex) {
        flag(lastexplorer) = true;
        if (ButtonView* b = button(lastexplorer)) b->setDown(true);
    }
    const int n = int(vpl) + int(vgr) + int(vex);
    const QRect area = todo ? todo->bounds() : QRect();
    int top = 0;
    for (int p : kStack) {
        const bool on = flag(p);
        if (ButtonView* b = button(p)) b->setDown(on);
        if (!on) continue;
        const QRect r(0, top, area.width() - 5, area.height() / n);
        if (ControlView* h = host(p)) h->setBounds(r);
        top += r.height();
    }
    for (int p : kStack)
        if (flag(p)) {
            lastcontrol = gridOf(p);
            break;
        }
}

void PanelArrangement::sideClick(int p)
{
    const int h = todo ? todo->bounds().height() : 0;
    muestropanel = h / 3 > 150 ? 3 : h / 2 > 150 ? 2 : 1;
    int others[2], k = 0;
    for (int q : kStack)
        if (q != p) others[k++] = q;
    if (muestropanel == 1) {
        for (int q : others) {
            flag(q) = false;
            if (ButtonView* b = button(q)) b->setDown(false);
        }
    } else if (muestropanel == 2 && flag(others[0]) && flag(others[1])) {
        flag(p) = false;
        if (ButtonView* b = button(p)) b->setDown(false);
        return;
    }
    ButtonView* b = button(p);
    flag(p) = b ? b->down() : !flag(p);
    lastexplorer = p;
    alineopanels();
}

void PanelArrangement::bpplaylistClick() { sideClick(kPlaylists); }
void PanelArrangement::bggruposClick() { sideClick(kGroups); }
void PanelArrangement::bpexplorerClick() { sideClick(kExplorer); }

void PanelArrangement::setzoom(int n)
{
    const PanelTextSize size = PanelTextSize::of(n);
    for (int p : kStack)
        if (BrowserPanel* b = panel(p)) b->setTextSize(size);
}

void PanelArrangement::nzoomchange()
{
    if (nzoom) setzoom(nzoom->position());
}

void PanelArrangement::enter(int p)
{
    SongGrid* g = gridOf(p);
    source_.msender = g;
    source_.msenderold = g;
    source_.loadfrom = p == kPlaylists ? QStringLiteral("Playlist") : p == kGroups ? QStringLiteral("Grupos")
                                                                                  : QStringLiteral("Explorer");
    for (int q : kStack)
        if (SongGrid* other = gridOf(q)) other->settienefoco(q == p);
}

void PanelArrangement::PlaylistEnter() { enter(kPlaylists); }
void PanelArrangement::gruposEnter() { enter(kGroups); }
void PanelArrangement::explorerEnter() { enter(kExplorer); }

void PanelArrangement::devuelvofoco()
{
    if (!source_.msender) return;
    const QString name = source_.msender->gridName();
    if (name == QLatin1String("sg")) focusea(gridOf(kPlaylists));
    else if (name == QLatin1String("sggroups")) focusea(gridOf(kGroups));
    else if (name == QLatin1String("sgexplorer")) focusea(gridOf(kExplorer));
}

void PanelArrangement::focusea(Focusable* c)
{
    if (!c || !c->canFocus()) return;
    if (!c->takeFocus() && focusWindow) focusWindow();
}

void PanelArrangement::mouseEnter(int p)
{
    for (int q : kStack)
        if (SongGrid* g = gridOf(q); g && g->focused()) {
            lastcontrol = g;
            break;
        }
    if (SongGrid* g = gridOf(p)) {
        focusea(g);
        g->setnfocus(QStringLiteral("False"));
    }
}

void PanelArrangement::mouseLeave(int p)
{
    SongGrid* g = gridOf(p);
    if (g && g->nfocus() == QLatin1String("True")) return;
    focusea(lastcontrol);
}

void PanelArrangement::epMouseEnter() { mouseEnter(kGroups); }
void PanelArrangement::epMouseleave() { mouseLeave(kGroups); }
void PanelArrangement::ep3MouseEnter() { mouseEnter(kPlaylists); }
void PanelArrangement::ep3Mouseleave() { mouseLeave(kPlaylists); }
void PanelArrangement::ep2MouseEnter() { mouseEnter(kExplorer); }
void PanelArrangement::ep2Mouseleave() { mouseLeave(kExplorer); }

void PanelArrangement::focusStart()
{
    if (vgr) focusea(gridOf(kGroups));
    if (vex) focusea(gridOf(kExplorer));
    if (vpl) focusea(gridOf(kPlaylists));
}

void PanelArrangement::wexpFlags(int wexp, bool& vex, bool& vpl, bool& vgr)
{
    switch (wexp) {
    case 0:
    case 1: vex = true, vpl = false, vgr = false; break;
    case 3: vex = false, vpl = true, vgr = false; break;
    case 4: vex = true, vpl = true, vgr = false; break;
    case 5: vex = false, vpl = false, vgr = true; break;
    case 6: vex = true, vpl = false, vgr = true; break;
    case 8: vex = false, vpl = true, vgr = true; break;
    case 9: vex = true, vpl = true, vgr = true; break;
    default: break;
    }
}
