#include "mainwindow/logic/samplercontrols.h"

#include "engine/microsf.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/positionview.h"

void SamplerControls::padMouseDown(int sampler, ButtonView* pad)
{
    if (!pad || sampler < 0 || sampler > 1) return;
    side[size_t(sampler)].selected = pad->tag();
    playsample(sampler, pad->tag());
}

void SamplerControls::stopMouseDown(int sampler)
{
    if (sampler < 0 || sampler > 1) return;
    Side& s = side[size_t(sampler)];
    for (ButtonView* p : s.pads)
        if (p) p->setDown(false);
    if (s.player) s.player->stop();
}

void SamplerControls::playsample(int sampler, int n)
{
    if (sampler < 0 || sampler > 1) return;
    Side& s = side[size_t(sampler)];
    if (n >= 1 && n <= 9) samplename = shortName ? shortName(sp[size_t(n - 1)]) : ShortFileName(sp[size_t(n - 1)]);
    if (!s.player) return;
    const bool wasPlaying = s.player->playing();
    s.player->stop();
    bool fresh = false;
    if (s.player->fileName() != samplename) {
        s.player->load(samplename);
        s.player->setVolume(s.volume ? s.volume->position() : 50);
        fresh = true;
    }
    stopMouseDown(sampler);
    if (fresh || !wasPlaying) {
        s.player->play();
        s.playing = true;
    }
}

void SamplerControls::volumeChange(int sampler)
{
    if (sampler < 0 || sampler > 1) return;
    Side& s = side[size_t(sampler)];
    if (!s.volume) return;
    if (s.player) s.player->setVolume(s.volume->position());
    if (s.volumeCopy) *s.volumeCopy = s.volume->position();
}
