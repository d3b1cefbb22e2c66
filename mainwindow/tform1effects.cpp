// Effects and sampler controls: per deck the dry and wet dials, the echo, flanger and auto-wah
// switches and the beat fractions (EffectControls); the two samplers on deck players 3 and 4
// (SamplerControls); the centre selectors (CentreSelectors).
#include <QLabel>

#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/tform1.h"

namespace {

// A deck's effect setters: the player the deck holds now (none before the engine exists).
class DeckEffectTarget : public EffectTarget {
public:
    explicit DeckEffectTarget(DeckControls& d) : d_(d) {}
    double bpm() const override
    {
        carga* p = d_.player();
        return p && p->loaded ? p->fbpm.load() : 0.0;
    }
    void UpdateWah(float mix, float input, bool on) override
    {
        if (carga* p = d_.player()) p->UpdateWah(mix, input, on);
    }
    void UpdateFlange(float level, float speed, bool on) override
    {
        if (carga* p = d_.player()) p->UpdateFlange(level, speed, on);
    }
    void UpdateEcho(float mix, float level, float delay, bool on) override
    {
        if (carga* p = d_.player()) p->UpdateEcho(mix, level, delay, on);
    }

private:
    DeckControls& d_;
};

// A sampler's deck player (3 or 4).
class DeckSampler : public SamplerPlayer {
public:
    DeckSampler(Tform1& w, int n) : w_(w), n_(n) {}
    bool playing() const override
    {
        carga* p = player();
        return p && p->basseqfx->Fstatus == sPlay;
    }
    void stop() override
    {
        if (carga* p = player()) p->Stop();
    }
    QString fileName() const override
    {
        carga* p = player();
        return p ? p->filename.get() : QString();
    }
    void load(const QString& file) override
    {
        if (carga* p = player()) {
            p->filename.set(file);
            p->Load(file);
        }
    }
    void setVolume(int v) override
    {
        if (carga* p = player()) p->SetVolume(v);
    }
    void play() override
    {
        if (carga* p = player()) p->Play();
    }

private:
    carga* player() const { return w_.adj ? w_.adj->deck(n_) : nullptr; }
    Tform1& w_;
    int n_;
};

}  // namespace

void Tform1::wireEffects()
{
    effectTargets_[0] = std::make_unique<DeckEffectTarget>(deckA);
    effectTargets_[1] = std::make_unique<DeckEffectTarget>(deckB);
    effectsA.setTarget(effectTargets_[0].get());
    effectsB.setTarget(effectTargets_[1].get());

    samplerPlayers_[0] = std::make_unique<DeckSampler>(*this, 3);
    samplerPlayers_[1] = std::make_unique<DeckSampler>(*this, 4);
    for (int s = 0; s < 2; ++s) {
        SamplerControls::Side& side = samplers.side[size_t(s)];
        side.player = samplerPlayers_[size_t(s)].get();
        const QString pad = s == 0 ? QStringLiteral("vl") : QStringLiteral("vr");
        for (int i = 0; i < 6; ++i) side.pads[size_t(i)] = buttonView(pad + QString::number(i + 1));
        side.stop = buttonView(pad + QStringLiteral("7"));
        side.volume = positionView(s == 0 ? QStringLiteral("samplevolume") : QStringLiteral("samplevolume2"));
    }

    selectors.bmix = buttonView(QStringLiteral("bmix"));
    selectors.bfx = buttonView(QStringLiteral("bfx"));
    selectors.bax = buttonView(QStringLiteral("bax"));
    selectors.bsampler = buttonView(QStringLiteral("bsampler"));
    selectors.effects = controlView(QStringLiteral("effects"));
    selectors.pautomix = controlView(QStringLiteral("pautomix"));
    selectors.sampler = controlView(QStringLiteral("sampler"));
    selectors.bifx = controlView(QStringLiteral("bifx"));
    selectors.biautomix = controlView(QStringLiteral("biautomix"));
    selectors.bisampler = controlView(QStringLiteral("bisampler"));
    selectors.pancentral = controlView(QStringLiteral("pancentral"));
    selectors.raise = [this](ControlView* v) {
        for (const char* n : {"effects", "pautomix", "sampler"})
            if (controlView(QLatin1String(n)) == v)
                if (QWidget* w = get<QWidget>(QLatin1String(n))) w->raise();
    };
    selectors.lower = [this](ControlView* v) {
        QWidget* todo = get<QWidget>(QStringLiteral("todo"));
        for (const char* n : {"effects", "pautomix", "sampler"})
            if (controlView(QLatin1String(n)) == v)
                if (QWidget* w = get<QWidget>(QLatin1String(n)); w && todo && w->parentWidget() == todo->parentWidget())
                    w->stackUnder(todo);
    };
    selectors.raiseClock = [this] {
        if (QWidget* w = get<QWidget>(QStringLiteral("PANELRELOJ"))) w->raise();
    };
    selectors.playlistsAlone = [this] {
        panels.vex = false;
        panels.vgr = false;
        panels.vpl = true;
        if (panels.bpexplorer) panels.bpexplorer->setDown(false);
        if (panels.bggrupos) panels.bggrupos->setDown(false);
        if (panels.bpplaylist) panels.bpplaylist->setDown(true);
        alineopanels();
    };

    // the effect switches, beat fractions and pads are wired with the controllers' table
    onMouseDown(QStringLiteral("bmix"), &Tform1::bmixMouseDown);
    onMouseDown(QStringLiteral("bfx"), &Tform1::bfxMouseDown);
    onMouseDown(QStringLiteral("bax"), &Tform1::baxMouseDown);
    onMouseDown(QStringLiteral("bsampler"), &Tform1::bsamplerMouseDown);
}

EffectControls& Tform1::effectsOf(QObject* sender)
{
    for (const char* n : {"dry2", "wet2", "echo2", "flange2", "wah2", "t12", "t22", "t32", "t42", "t52"})
        if (sender && object(QLatin1String(n)) == sender) return effectsB;
    return effectsA;
}

EffectControls& Tform1::deckEffects(int deck)
{
    EffectControls& e = deck == 2 ? effectsB : effectsA;
    if (set) e.fx = deck == 2 ? &set->state.fx2 : &set->state.fx1;
    return e;
}

SamplerControls& Tform1::samplerSide(int side, bool withSamples)
{
    if (withSamples)
        for (size_t i = 0; i < sp.size(); ++i) samplers.sp[i] = sp[i];
    if (set) samplers.side[size_t(side)].volumeCopy = side == 1 ? &set->values.quorsam2 : &set->values.quorsam1;
    return samplers;
}

// clang-format off
void Tform1::dry1Change(QObject*) { deckEffects(1).dryChange(); }
void Tform1::dry2Change(QObject*) { deckEffects(2).dryChange(); }
void Tform1::updateecho() { deckEffects(1).updateecho(); }
void Tform1::updateecho2() { deckEffects(2).updateecho(); }
void Tform1::echoMouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { deckEffects(1).effectMouseDown(senderButton(Sender)); }
void Tform1::echo2MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { deckEffects(2).effectMouseDown(senderButton(Sender)); }
void Tform1::echoMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { devuelvofoco(); }
void Tform1::t1MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { deckEffects(1).beatMouseDown(senderButton(Sender)); }
void Tform1::t12MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { deckEffects(2).beatMouseDown(senderButton(Sender)); }
// clang-format on

void Tform1::playsample(int player, int number)
{
    for (size_t i = 0; i < sp.size(); ++i) samplers.sp[i] = sp[i];
    samplers.playsample(player == 4 ? 1 : 0, number);
}

// clang-format off
void Tform1::vl1MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { samplerSide(0, true).padMouseDown(0, senderButton(Sender)); }
void Tform1::vr1MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { samplerSide(1, true).padMouseDown(1, senderButton(Sender)); }
void Tform1::vl7MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { samplers.stopMouseDown(0); }
void Tform1::vr7MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { samplers.stopMouseDown(1); }
void Tform1::vl1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { devuelvofoco(); }
void Tform1::vr1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { devuelvofoco(); }
void Tform1::samplevolumeChange(QObject*) { samplerSide(0, false).volumeChange(0); }
void Tform1::samplevolume2Change(QObject*) { samplerSide(1, false).volumeChange(1); }
// clang-format on

void Tform1::bmixMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { selectors.bmixMouseDown(); }
void Tform1::bfxMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { selectors.bfxMouseDown(); }
void Tform1::baxMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { selectors.baxMouseDown(); }
void Tform1::bsamplerMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    selectors.bsamplerMouseDown();
}
