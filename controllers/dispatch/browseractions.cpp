// Browser navigation actions: the rows of the load-source grid, the tree of its panel, switching
// between row and tree browsing, and cycling the shown library panel. The load source (msender)
// is set by the panels; until one has set it (the MIDI set-up runs at start-up, before any panel
// does), every step that works on it does nothing.
#include <functional>
#include <optional>

#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/deckbuttons.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/potrules.h"

using namespace deckbuttons;

namespace {

enum Code {
    folderUpDown = 146, folder = 147, expUp = 148, expDown = 149, expLeft = 150, expRight = 151,
    fileUpDown = 169, folderSel = 170, explorerView = 198, folderUp = 203, folderDown = 204,
    fileUpDown2 = 208, folderUpDown2 = 209, folderSel2 = 210, dire = 215, file = 234, file2 = 262,
    folder2 = 263, potFile = 266, potFile2 = 267,
};

std::optional<LibraryPanel> panelOf(const QString& name)
{
    if (name == QLatin1String("sggroups")) return LibraryPanel::groups;
    if (name == QLatin1String("sg")) return LibraryPanel::playlists;
    if (name == QLatin1String("sgexplorer")) return LibraryPanel::explorer;
    return std::nullopt;
}

}  // namespace

void ActionDispatcher::addBrowserActions()
{
    for (int code : {folderUpDown, folder, expUp, expDown, expLeft, expRight, fileUpDown, folderSel, explorerView,
                     folderUp, folderDown, fileUpDown2, folderUpDown2, folderSel2, dire, file, file2, folder2, potFile,
                     potFile2})
        set(code, &ActionDispatcher::browserAction, 0, code);
}

bool ActionDispatcher::haveSource() const { return !surface_.msenderName().isEmpty(); }

void ActionDispatcher::treeStep(bool down)
{
    if (const auto p = panelOf(surface_.msenderName())) down ? surface_.dtabajo(*p) : surface_.dtarriba(*p);
}

void ActionDispatcher::treeSelect()
{
    if (const auto p = panelOf(surface_.msenderName())) surface_.setselected(*p);
}

void ActionDispatcher::rowStep(bool down)
{
    const int row = surface_.sourceRow();
    // row 0 is the title row: browsing stops at row 1
    if (down && row + 1 < surface_.sourceRowCount()) surface_.setSourceRow(row + 1);
    else if (!down && row >= 2) surface_.setSourceRow(row - 1);
}

// "sgexplorer": open the folder; "sg": list the playlist and go to its grid. The callers add the
// Groups panel's own step.
void ActionDispatcher::selectAndFocus()
{
    const auto p = panelOf(surface_.msenderName());
    if (p == LibraryPanel::explorer) {
        surface_.setselected(LibraryPanel::explorer);
    } else if (p == LibraryPanel::playlists) {
        surface_.setselected(LibraryPanel::playlists);
        state_.seledirectorio = 0;
        surface_.focusea(FocusTarget::sg);
    }
}

void ActionDispatcher::browsePot(const TInfo& e, bool tree)
{
    bool down;
    if (PotRules::relative(e)) {
        down = PotRules::up(e);
    } else {
        down = e.valor > values_.quorrow;
        values_.quorrow = e.valor;
    }
    tree ? treeStep(down) : rowStep(down);
}

// Playlists, then Groups, then Explorer
void ActionDispatcher::nextPanelView()
{
    const bool pl = surface_.panelShown(LibraryPanel::playlists);
    const bool gr = surface_.panelShown(LibraryPanel::groups);
    const bool ex = surface_.panelShown(LibraryPanel::explorer);
    const auto show = [&](LibraryPanel only) {
        for (LibraryPanel p : {LibraryPanel::groups, LibraryPanel::explorer, LibraryPanel::playlists})
            surface_.setPanelShown(p, p == only);
    };
    if (pl) show(LibraryPanel::groups);
    else if (gr) show(LibraryPanel::explorer);
    else if (ex) show(LibraryPanel::playlists);
    surface_.alineopanels();
}

void ActionDispatcher::focusShownPanels()
{
    const struct {
        LibraryPanel panel;
        FocusTarget container, grid;
    } kViews[] = {{LibraryPanel::groups, FocusTarget::grupos, FocusTarget::sggroups},
                  {LibraryPanel::explorer, FocusTarget::explorer, FocusTarget::sgexplorer},
                  {LibraryPanel::playlists, FocusTarget::playlist, FocusTarget::sg}};
    for (const auto& v : kViews)
        if (surface_.panelShown(v.panel)) surface_.focusea(v.container);
    for (const auto& v : kViews)
        if (surface_.panelShown(v.panel)) surface_.focusea(v.grid);
}

void ActionDispatcher::alternateLoadSelect(int)
{
    if (!haveSource()) return;
    selectAndFocus();
    if (surface_.msenderName() == QLatin1String("sggroups")) surface_.setselected(LibraryPanel::groups);
}

void ActionDispatcher::browserAction(TInfo& e, int, int code)
{
    const bool groups = surface_.msenderName() == QLatin1String("sggroups");
    const bool source = haveSource();
    // select and focus, then the Groups panel's own step: its tree focused, or its node selected
    const auto selectFocusTree = [&] {
        selectAndFocus();
        if (groups) surface_.focusea(FocusTarget::dt);
    };
    const auto selectGroups = [&] {
        selectAndFocus();
        if (groups) surface_.setselected(LibraryPanel::groups);
    };
    const auto thirdPress = [&] {
        const auto p = panelOf(surface_.msenderName());
        if (p == LibraryPanel::explorer || p == LibraryPanel::playlists) surface_.setselected(*p);
        else if (groups) surface_.focusea(FocusTarget::dt);
    };
    const auto modeUpdate = [&] {
        state_.muevoexplorer = state_.seledirectorio != 0 ? QStringLiteral("EXPLORER") : QStringLiteral("FILES");
    };
    const bool press = e.valor == kPress, alternate = e.valor == kAlternate, third = e.valor == kThird;

    switch (code) {
    case folderUpDown:
    case folderUpDown2:
        if (source) browsePot(e, true);
        break;
    case fileUpDown:
    case fileUpDown2:
        if (source) browsePot(e, state_.seledirectorio != 0);
        break;
    case potFile:
    case potFile2:
        if (source) browsePot(e, false);
        break;
    case folder:
    case folder2: {
        if (!source) break;
        const std::function<void()> step =
            code == folder ? std::function<void()>(selectFocusTree) : std::function<void()>(selectGroups);
        if (press) {
            step();
            state_.seledirectorio = 1;
        } else if (alternate) {
            if (state_.seledirectorio == 1) step();
            else state_.seledirectorio = 1;
        } else if (third) {
            thirdPress();
        }
        break;
    }
    case expUp:
    case expDown:
        if (!source) break;
        if (press && state_.muevoexplorer == QLatin1String("EXPLORER")) treeStep(code == expDown);
        else if (press || alternate) rowStep(code == expDown);
        break;
    case expLeft:
        if (press) state_.muevoexplorer = QStringLiteral("EXPLORER");
        break;
    case expRight:
        if (press && source) {
            treeSelect();
            state_.muevoexplorer = QStringLiteral("FILES");
        }
        break;
    case folderSel:
    case folderSel2:
        if (press && source) {
            selectGroups();
        } else if (alternate) {
            nextPanelView();
            focusShownPanels();
        }
        break;
    case explorerView:
        if (press) nextPanelView();
        break;
    case folderUp:
    case folderDown:
        if (press && source) treeStep(code == folderDown);
        break;
    case dire:
        if (press) {
            state_.seledirectorio = state_.seledirectorio == 0 ? 1 : 0;
        } else if (alternate) {
            if (state_.seledirectorio != 1) state_.seledirectorio = 1;
            else if (source) selectFocusTree();
        }
        modeUpdate();
        break;
    case file:
    case file2:
        if (press) state_.seledirectorio = state_.seledirectorio == 0 ? 1 : 0;
        else if (alternate) state_.seledirectorio = 0;
        modeUpdate();
        break;
    default: break;
    }
}
