// A song grid of the kit (TquorGrid) as a SongGrid. Cells and counts are safe from any thread
// (the grid carries writes from other threads to its own).
#pragma once

#include <QPointer>

#include "mainwindow/logic/songgrid.h"
#include "snkins/quor/tquorgrid.h"

class GridView : public SongGrid {
public:
    explicit GridView(TquorGrid* grid) : g_(grid) {}
    TquorGrid* widget() const { return g_; }

    int rowCount() const override { return g_ ? g_->RowCount() : 0; }
    QString cell(int column, int row) const override { return g_ ? g_->Cells(column, row) : QString(); }
    void setCell(int column, int row, const QString& text) override
    {
        if (g_) g_->setCells(column, row, text);
    }
    void repaint() override
    {
        if (g_) g_->repaint();
    }

    QString gridName() const override { return g_ ? g_->objectName() : QString(); }
    int currentRow() const override { return g_ ? g_->Row() : -1; }
    void setCurrentRow(int row) override
    {
        if (g_) g_->setRow(row);
    }
    void setRowCount(int rows) override
    {
        if (g_) g_->setRowCount(rows);
    }
    bool tienefoco() const override { return g_ && g_->tienefoco; }
    void settienefoco(bool on) override
    {
        if (g_) g_->tienefoco = on;
    }
    QString nfocus() const override { return g_ ? g_->nfocus : QString(); }
    void setnfocus(const QString& text) override
    {
        if (g_) g_->nfocus = text;
    }

    bool canFocus() const override
    {
        return g_ && g_->focusPolicy() != Qt::NoFocus && g_->isEnabled() && g_->isVisible();
    }
    bool takeFocus() override
    {
        if (!g_) return false;
        g_->setFocus(Qt::OtherFocusReason);
        return g_->hasFocus() || !g_->window()->isActiveWindow();
    }
    bool focused() const override { return g_ && g_->hasFocus(); }

private:
    QPointer<TquorGrid> g_;
};
