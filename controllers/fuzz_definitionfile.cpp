// libFuzzer target: the MIDI definition loader (controller 1 or 2 by the input's length) and the
// keyboard map loader on any bytes. Every load must end, write inside its tables and at worst show the load's message.
#include <cstdint>

#include <QByteArray>

#include "controllers/controllertables.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/tcontroladora.h"

namespace {

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
    JogMouse jogMouse(int) const override { return {}; }
    void setPanelsIskeyboard(bool) override {}
    void ShowMessage(const QString&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietSurface surface;
    static ControllerTables tables;
    TControladora loader(tables, surface, QString());
    loader.pauseMs = 0;
    const QByteArray xml(reinterpret_cast<const char*>(data), int(size));
    // one controller's load per input (each clears two tables of 65,536 entries), then the keyboard map
    loader.loadcontrollerData(size % 2 == 0 ? 1 : 2, xml);
    loader.loadtecladoData(xml);
    return 0;
}
