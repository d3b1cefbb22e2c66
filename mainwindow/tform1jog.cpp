// Jog wheels and mouse scratching: doPlaying, run by the main loop on every pass, the wheels'
// and the big waveform displays' mouse handlers, and the actjo timer. Deck A's and deck B's
// handlers forward to one implementation given the deck (JogWheel).
#include <QImage>

#include "controllers/controllerset.h"
#include "mainwindow/tform1.h"
#include "mainwindow/views/mouserelay.h"
#include "snkins/quor/tquordial.h"

namespace {
const char* wheelName(int deck) { return deck == 1 ? "vrwheela" : "vrWheelb"; }
}  // namespace

void Tform1::doPlaying() { jog.doPlaying(); }

void Tform1::actjoTimer()
{
    if (auto* w = get<TQuorDial>(QLatin1String(wheelName(1)))) jog.actjo(deckA, w->Position());
    if (auto* w = get<TQuorDial>(QLatin1String(wheelName(2)))) jog.actjo(deckB, w->Position());
}

// clang-format off
void Tform1::vrwheelaMouseDown(QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int X, int Y) { jog.wheelMouseDown(deckA, b == Qt::LeftButton, X, Y); }
void Tform1::vrwheelaMouseMove(QObject*, Qt::KeyboardModifiers, int X, int Y) { jog.wheelMouseMove(deckA, X, Y); }
void Tform1::vrwheelaMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { jog.wheelMouseUp(deckA); }
void Tform1::vrWheelbMouseDown(QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int X, int Y) { jog.wheelMouseDown(deckB, b == Qt::LeftButton, X, Y); }
void Tform1::vrWheelbMouseMove(QObject*, Qt::KeyboardModifiers, int X, int Y) { jog.wheelMouseMove(deckB, X, Y); }
void Tform1::vrWheelbMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { jog.wheelMouseUp(deckB); }
void Tform1::display1grandeMouseDown(QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int X, int) { jog.displayMouseDown(deckA, b == Qt::LeftButton, X); }
void Tform1::display1grandeMouseMove(QObject*, Qt::KeyboardModifiers, int X, int) { jog.displayMouseMove(deckA, X); }
void Tform1::display1grandeMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { jog.displayMouseUp(deckA); }
void Tform1::display2grandeMouseDown(QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int X, int) { jog.displayMouseDown(deckB, b == Qt::LeftButton, X); }
void Tform1::display2grandeMouseMove(QObject*, Qt::KeyboardModifiers, int X, int) { jog.displayMouseMove(deckB, X); }
void Tform1::display2grandeMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { jog.displayMouseUp(deckB); }
// clang-format on

// The platter picture turned to alpha degrees on the deck's wheel.
void Tform1::ScaleRot(int deck, float alpha)
{
    auto* w = get<TQuorDial>(QLatin1String(wheelName(deck)));
    if (!w) return;
    static QImage platters[2];
    QImage& platter = platters[deck == 1 ? 0 : 1];
    if (platter.isNull())
        platter = QImage(QStringLiteral(":/skin/form/") + w->property("Picture").toString())
                      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    w->ScaleRot(platter, w->Bitmap(), alpha);
}

void Tform1::wireJog()
{
    jog.hooks.wheelCount = [this](int deck) {
        auto* w = get<TQuorDial>(QLatin1String(wheelName(deck)));
        const int count = set ? (deck == 1 ? set->values.quorwhel1 : set->values.quorwhel2) : 0;
        return w ? count / std::max(1, w->step()) : 0;
    };
    jog.hooks.nobend = [this](int deck) { return set && (deck == 1 ? set->tables.nobenda : set->tables.nobendb); };
    jog.hooks.rotate = [this](int deck, float r) { ScaleRot(deck, r); };
    if (auto* w = get<TQuorDial>(QStringLiteral("vrwheela"))) {
        jog.wheelWidth = w->width();
        jog.wheelHeight = w->height();
    }
    const struct {
        int deck;
        MouseHandler down, up;
        void (Tform1::*move)(QObject*, Qt::KeyboardModifiers, int, int);
    } wheels[] = {{1, &Tform1::vrwheelaMouseDown, &Tform1::vrwheelaMouseUp, &Tform1::vrwheelaMouseMove},
                  {2, &Tform1::vrWheelbMouseDown, &Tform1::vrWheelbMouseUp, &Tform1::vrWheelbMouseMove}};
    for (const auto& e : wheels) {
        auto* w = get<TQuorDial>(QLatin1String(wheelName(e.deck)));
        if (!w) continue;
        connect(w, &TQuorDial::mouseDown, this,
                [this, w, h = e.down](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) { (this->*h)(w, b, m, x, y); });
        connect(w, &TQuorDial::mouseMove, this,
                [this, w, h = e.move](Qt::KeyboardModifiers m, int x, int y) { (this->*h)(w, m, x, y); });
        connect(w, &TQuorDial::mouseUp, this,
                [this, w, h = e.up](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) { (this->*h)(w, b, m, x, y); });
    }
    const struct {
        const char* name;
        MouseHandler down, up;
        void (Tform1::*move)(QObject*, Qt::KeyboardModifiers, int, int);
    } displays[] = {
        {"display1grande", &Tform1::display1grandeMouseDown, &Tform1::display1grandeMouseUp, &Tform1::display1grandeMouseMove},
        {"display2grande", &Tform1::display2grandeMouseDown, &Tform1::display2grandeMouseUp, &Tform1::display2grandeMouseMove}};
    for (const auto& e : displays) {
        auto* w = get<QWidget>(QLatin1String(e.name));
        if (!w) continue;
        new MouseRelay(
            w, [this, w, h = e.down](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) { (this->*h)(w, b, m, x, y); },
            [this, w, h = e.move](Qt::KeyboardModifiers m, int x, int y) { (this->*h)(w, m, x, y); },
            [this, w, h = e.up](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) { (this->*h)(w, b, m, x, y); });
    }
}
