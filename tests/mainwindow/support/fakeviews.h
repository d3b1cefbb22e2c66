// Stand-ins for the main window's controls as the handlers see them: buttons, sliders and
// dials, labels, plain controls, song grids and library panels. Each keeps what it is given;
// a slider runs onChange when setPosition moves it, as the window's controls run their change
// handlers.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QStringList>

#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/mixercontrols.h"
#include "mainwindow/logic/playlistpanel.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/songgrid.h"

template <class View>
class FakeControlOf : public View {
public:
    bool visible() const override { return visible_; }
    void setVisible(bool on) override { visible_ = on; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool on) override { enabled_ = on; }
    QRect bounds() const override { return bounds_; }
    void setBounds(const QRect& r) override { bounds_ = r; }
    void fillParent() override { ++filled; }

    bool visible_ = true, enabled_ = true;
    QRect bounds_;
    int filled = 0;
};

using FakeControl = FakeControlOf<ControlView>;

class FakeButton : public FakeControlOf<ButtonView> {
public:
    bool down() const override { return down_; }
    void setDown(bool d) override { down_ = d; }
    QString graphicName() const override { return graphic_; }
    void setGraphicName(const QString& g) override { graphic_ = g; }
    int tag() const override { return tag_; }
    void setTag(int t) override { tag_ = t; }
    QString hint() const override { return hint_; }
    bool down_ = false;
    QString graphic_, hint_;
    int tag_ = 0;
};

class FakePosition : public FakeControlOf<PositionView> {
public:
    FakePosition(int lo = 0, int hi = 100, int at = 0) : lo_(lo), hi_(hi), at_(at) {}
    int position() const override { return at_; }
    void setPosition(int p) override
    {
        p = std::clamp(p, lo_, std::max(lo_, hi_));
        if (p == at_) return;
        at_ = p;
        if (onChange) onChange();
    }
    int minimum() const override { return lo_; }
    int maximum() const override { return hi_; }
    void setMinimum(int v) override
    {
        if (v < hi_) lo_ = v;
        at_ = std::max(at_, lo_);
    }
    void setMaximum(int v) override
    {
        if (v > lo_) hi_ = v;
        at_ = std::min(at_, hi_);
    }
    std::function<void()> onChange;
    int lo_, hi_, at_;
};

class FakeLabel : public FakeControlOf<LabelView> {
public:
    explicit FakeLabel(const QString& text = {}) : text_(text) {}
    QString caption() const override { return text_; }
    void setCaption(const QString& t) override { text_ = t; }
    QString text_;
};

// A song grid of rows of 25 cells (row 0 the title row).
class FakeSongGrid : public SongGrid {
public:
    explicit FakeSongGrid(const QString& name, int rows = 2) : name_(name) { setRowCount(rows); }

    int rowCount() const override { return int(rows_.size()); }
    QString cell(int c, int r) const override
    {
        return r >= 0 && r < rowCount() && c >= 0 && c < gridcol::count ? rows_[size_t(r)][c] : QString();
    }
    void setCell(int c, int r, const QString& t) override
    {
        if (r >= 0 && r < rowCount() && c >= 0 && c < gridcol::count) rows_[size_t(r)][c] = t;
    }
    void repaint() override {}
    QString gridName() const override { return name_; }
    int currentRow() const override { return current_; }
    void setCurrentRow(int r) override { current_ = r; }
    void setRowCount(int n) override
    {
        rows_.resize(size_t(std::max(n, 0)));
        for (QStringList& r : rows_)
            while (r.size() < gridcol::count) r << QString();
    }
    bool tienefoco() const override { return tienefoco_; }
    void settienefoco(bool on) override { tienefoco_ = on; }
    QString nfocus() const override { return nfocus_; }
    void setnfocus(const QString& t) override { nfocus_ = t; }
    bool canFocus() const override { return canFocus_; }
    bool takeFocus() override
    {
        if (!canFocus_) return false;
        if (focusedGrids) for (FakeSongGrid* g : *focusedGrids) g->focused_ = false;
        focused_ = true;
        return true;
    }
    bool focused() const override { return focused_; }

    // a data row: path, artist, title and the other cells given by column
    void setRow(int r, const std::map<int, QString>& cells)
    {
        if (r >= rowCount()) setRowCount(r + 1);
        for (const auto& [c, t] : cells) setCell(c, r, t);
    }

    QString name_;
    std::vector<QStringList> rows_;
    int current_ = 1;
    bool tienefoco_ = false, canFocus_ = true, focused_ = false;
    QString nfocus_;
    std::vector<FakeSongGrid*>* focusedGrids = nullptr;  // grids that share one focus
};

// A library panel around a FakeSongGrid; the Playlists panel's history is recorded.
class FakePanel : public PlaylistPanel {
public:
    explicit FakePanel(const QString& gridName) : grid_(gridName) {}
    SongGrid* grid() override { return &grid_; }
    void setDeckFile(int deck, const QString& path) override { (deck == 2 ? loadb : loada) = path; }
    void load() override { ++loads; }
    void setTextSize(const PanelTextSize& s) override { size = s; }
    void altadeplaylist(int deck, const QStringList& row) override { history.push_back({deck, row}); }
    void altademosong(const QStringList& row) override { demos.push_back(row); }
    void setntrack(int deck, int order) override { (deck == 2 ? ntrack2 : ntrack1) = order; }
    int originaldrag() const override { return originaldrag_; }

    FakeSongGrid grid_;
    QString loada, loadb;
    int loads = 0, ntrack1 = -1, ntrack2 = -1, originaldrag_ = 0;
    PanelTextSize size;
    std::vector<std::pair<int, QStringList>> history;
    std::vector<QStringList> demos;
};

// A full set of fake views for a deck, bound by the deck's binding tables.
class FakeDeckViews {
public:
    explicit FakeDeckViews(DeckControls& d) : deck_(d.deck)
    {
        for (const auto& s : DeckControls::buttonSlots()) s.ref(d) = add(buttons, d.name(s.a, s.b));
        for (const auto& s : DeckControls::positionSlots()) s.ref(d) = add(positions, d.name(s.a, s.b));
        for (const auto& s : DeckControls::labelSlots()) s.ref(d) = add(labels, d.name(s.a, s.b));
        for (const auto& s : DeckControls::controlSlots()) s.ref(d) = add(controls, d.name(s.a, s.b));
        position("trackvolume", "trackvolume2").lo_ = 0;
        for (FakePosition* p : {&position("trackvolume", "trackvolume2"), &position("trackfrequency", "trackfrequency2")})
            p->hi_ = 127;
        position("trackvolume", "trackvolume2").at_ = 127;
        position("trackfrequency", "trackfrequency2").at_ = 63;
        label("artist1", "artist2").text_ = QStringLiteral("No Song");
    }
    FakeButton& button(const char* a, const char* b) { return *buttons.at(deck_ == 1 ? a : b); }
    FakePosition& position(const char* a, const char* b) { return *positions.at(deck_ == 1 ? a : b); }
    FakeLabel& label(const char* a, const char* b) { return *labels.at(deck_ == 1 ? a : b); }
    FakeControl& control(const char* a, const char* b) { return *controls.at(deck_ == 1 ? a : b); }

    std::map<std::string, std::unique_ptr<FakeButton>> buttons;
    std::map<std::string, std::unique_ptr<FakePosition>> positions;
    std::map<std::string, std::unique_ptr<FakeLabel>> labels;
    std::map<std::string, std::unique_ptr<FakeControl>> controls;

private:
    template <class F>
    static F* add(std::map<std::string, std::unique_ptr<F>>& m, const char* name)
    {
        auto& p = m[name];
        p = std::make_unique<F>();
        return p.get();
    }
    int deck_ = 1;
};
