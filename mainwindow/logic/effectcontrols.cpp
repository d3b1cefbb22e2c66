#include "mainwindow/logic/effectcontrols.h"

#include "engine/bpmresult.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/positionview.h"
#include "controllers/dispatch/controllervalues.h"

std::optional<double> EffectControls::beatsOf(int fraction)
{
    switch (fraction) {
    case 1: return 4.0;
    case 2: return 2.0;
    case 3: return 1.0;
    case 4: return 0.5;
    case 5: return 0.25;
    default: return std::nullopt;
    }
}

std::optional<float> EffectControls::echoDelay(double bpm, int fraction)
{
    const std::optional<double> beats = beatsOf(fraction);
    if (!beats) return std::nullopt;
    const double beat = bpmresult::known(bpm) ? 60.0 / bpm : 0.0;
    return float(beat * *beats);
}

bool EffectControls::on(const ButtonView* b) { return b && b->tag() == 1; }

void EffectControls::dryChange()
{
    const int dry = deck_.dry ? deck_.dry->position() : 500;
    const int wet = deck_.wet ? deck_.wet->position() : 525;
    if (deck_.values) {
        (deck_.deck == 1 ? deck_.values->quordry1 : deck_.values->quordry2) = dry;
        (deck_.deck == 1 ? deck_.values->quorpara1 : deck_.values->quorpara2) = wet;
    }
    if (on(deck_.echo)) updateecho();
    if (!target_) return;
    target_->UpdateWah(float(dry) / 1000.0f, float(wet), on(deck_.wah));
    target_->UpdateFlange(float(dry) / 1000.0f, float(wet) / 500.0f, on(deck_.flange));
}

void EffectControls::updateecho()
{
    if (const std::optional<float> d = echoDelay(target_ ? target_->bpm() : 0.0, *fx)) mdel = *d;
    if (!target_) return;
    const int dry = deck_.dry ? deck_.dry->position() : 500;
    const int wet = deck_.wet ? deck_.wet->position() : 525;
    target_->UpdateEcho(float(dry) * 1.5f / 1000.0f, float(wet) / 1000.0f, mdel, on(deck_.echo));
}

void EffectControls::effectMouseDown(ButtonView* sender)
{
    if (!sender) return;
    sender->setTag(sender->tag() == 0 ? 1 : 0);
    sender->setDown(sender->tag() == 1);
    bool any = false;
    for (ButtonView* b : deck_.beat) any = any || (b && b->down());
    if (!any)
        for (size_t i = 0; i < deck_.beat.size(); ++i)
            if (deck_.beat[i]) deck_.beat[i]->setDown(i == 2);
    updateecho();
    dryChange();
}

void EffectControls::beatMouseDown(ButtonView* sender)
{
    if (!sender) return;
    if (sender->tag() == *fx) sender->setDown(true);
    else *fx = sender->tag();
    for (ButtonView* b : deck_.beat)
        if (b && b->tag() != *fx) b->setDown(false);
    dryChange();
}
