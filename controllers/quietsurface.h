// A surface that does nothing and reads as an idle window: for the fuzz targets, which run the
// loaders and the dispatcher on any bytes without a main window.
#pragma once

#include "controllers/dispatch/controllersurface.h"

class QuietSurface : public ControllerSurface {
public:
    void MouseDown(SurfaceButton) override {}
    void MouseUp(SurfaceButton) override {}
    void Click(SurfaceButton) override {}
    bool Down(SurfaceButton) const override { return false; }
    void SetDown(SurfaceButton, bool) override {}
    bool Enabled(SurfaceButton) const override { return true; }
    int Position(SurfaceControl) const override { return 0; }
    void SetPosition(SurfaceControl, int) override {}
    int Min(SurfaceControl) const override { return 0; }
    int Max(SurfaceControl) const override { return 127; }
    QString Caption(SurfaceLabel) const override { return {}; }
    void SetCaption(SurfaceLabel, const QString&) override {}
    bool deckPlaying(int) const override { return false; }
    bool deckSearchMode(int) const override { return false; }
    void setvalorbend(int, int) override {}
    int grabapeak() const override { return 0; }
    bool deckLoaded(int) const override { return true; }
    bool deckLoopActive(int) const override { return false; }
    int deckcargacue(int) const override { return cargacue; }
    void setdeckcargacue(int, int slot) override { cargacue = slot; }
    bool deckHeadphones(int) const override { return false; }
    QString deckDuration(int) const override { return {}; }
    int deckBpmn(int) const override { return 0; }
    int deckPitchn(int) const override { return 0; }
    void deckSetPositions(int, int, int) override {}
    void deckSetPositionm(int, int, int) override {}
    int deckSetPitchv(int, int) override { return 63; }
    void deckSetSliders(int, bool) override {}
    void setdecksliders(int, bool) override {}
    void deckSetScratchOff(int) override {}
    void setheadphones(bool, int) override {}
    bool bmutemic() const override { return false; }
    HotCueLook hotCue(int, int) const override { return HotCueLook::empty; }
    bool blink(int) const override { return false; }
    bool borrar(int) const override { return false; }
    QString msenderName() const override { return QStringLiteral("sg"); }
    int sourceRow() const override { return row; }
    int sourceRowCount() const override { return 10; }
    void setSourceRow(int r) override { row = r; }
    void dtabajo(LibraryPanel) override {}
    void dtarriba(LibraryPanel) override {}
    void setselected(LibraryPanel) override {}
    void focusea(FocusTarget) override {}
    bool panelShown(LibraryPanel) const override { return true; }
    void setPanelShown(LibraryPanel, bool) override {}
    void alineopanels() override {}
    JogMouse jogMouse(int) const override { return {}; }
    void setPanelsIskeyboard(bool) override {}
    void ShowMessage(const QString&) override {}

    int cargacue = 0;
    int row = 1;
};
