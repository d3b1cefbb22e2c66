// The engine: the 5 ms tick. Recording level, play counting, beat-match follow, loop
// catch-up and automix.
#include "engine/audiobase.h"

#include "engine/audiodjbase.h"
#include "engine/carga.h"
#include "engine/deckmessagebox.h"
#include "engine/decklibrary.h"
#include "engine/decktime.h"
#include "engine/mainservices.h"
#include "engine/microsf.h"
#include "engine/songgridlink.h"

namespace {
constexpr int kPlayTicks = 1200;  // 6 s of playing counts as played
}

// A recording of the mix whose file stopped taking sound (a full disk, a write error, the
// size a WAV file can state) ends here: what was written stays readable, grabando clears and
// the user is told through the engine's message box, posted to the UI thread unawaited.
void audiobase::recordingstopped()
{
    grabaas();
    const QString text = QStringLiteral("Recording stopped: the file cannot take more !  ");
    if (adjmessage) postMessageDlg(adjmessage, QStringLiteral("Warning "), text, 0, 0, 1);
    else message(text);
}

void audiobase::OnChangeTimer()
{
    if (grabando && encoder && !sound::encoderActive(encoder)) recordingstopped();
    if (grabando) {
        sound::Level l;
        const sound::Handle src = soundcfg->recinternal || !recchan ? Grabacion.load() : recchan.load();
        grabapeak = sound::getLevel(src, l) ? (l.left + l.right) / 2 : 0;
    } else {
        grabapeak = 0;
    }

    countplay(carga1, puesta1, posada1, veces1);
    countplay(carga2, puesta2, posada2, veces2);

    if (carga1 && carga1->sliders) enlace1 = false;
    if (carga2 && carga2->sliders) enlace2 = false;
    follow(carga1, carga2, enlace1, asliderdmc2);
    follow(carga2, carga1, enlace2, asliderdmc1);

    if (carga1 && carga1->loaded) {
        loopcatchup(carga1);
        automix(carga1, carga2, 1);
    }
    if (carga2 && carga2->loaded) {
        loopcatchup(carga2);
        automix(carga2, carga1, 2);
    }
}

void audiobase::countplay(carga* x, Shared<int>& puesta, Shared<bool>& posada, Shared<int>& veces)
{
    if (!x || posada) return;
    PRecord& r = *x->basseqfx;
    if (r.Fstatus == sStop) {
        puesta = 0;
        return;
    }
    if (r.Fstatus != sPlay || ++puesta <= kPlayTicks) return;
    posada = true;
    puesta = 0;
    ++veces;
    r.veces = veces.load();
    const QString file = x->filename.get();
    if (mquorsql) mquorsql->salvatag(r, file);
    for (SongGridLink* grid : {msgfiles.load(), msgplay.load(), msgexplo.load()})
        writeDeckRows(grid, r, file, veces.load());
}

void audiobase::loopcatchup(carga* x)
{
    if (!x->basseqfx->loop || x->syncnow) return;
    const sound::Handle s = x->keylock ? x->ChannelTempo.load() : x->Channel.load();
    const int64_t pos = sound::getPosition(s);
    const int64_t start = x->syncloop[0], end = x->syncloop[1];
    if (!x->reversing) {
        if (pos >= end + 5000) x->SetPosition(start);
    } else if (pos <= start - 20000) {
        x->SetPosition(end);
    }
}

void audiobase::automix(carga* x, carga* y, int m)
{
    if (!autoenable) return;
    PRecord& r = *x->basseqfx;
    const int fade = dr, launch = lr;
    // both decks fade by the same rule; a fade time of 0 means no fade
    auto fadeto = [&](int left) {
        if (fade > 0 && left < fade) x->SetVolume(100 / fade * left);
    };
    auto launchother = [&] {
        if (y && y->loaded && y->basseqfx->Fstatus == sStop) {
            y->SetVolume(100);
            y->Stop();
            y->Play();
        }
    };
    if (mixnow && r.Fstatus == sPlay && newdl == 0 && mix1to2 == 0) {
        newdr = x->rem - fade;
        newdl = x->rem - fade;
        mix1to2 = m;
    }
    if (!mixnow) {
        const int left = x->rem;
        fadeto(left);
        if (left < launch) launchother();
        if (left < 1) endofmix(x, m);
    } else if (mix1to2 == m) {
        const int left = x->rem - newdr, start = x->rem - newdl;
        fadeto(left);
        if (start < launch) launchother();
        if (left < 1) endofmix(x, m);
    }
}

void audiobase::endofmix(carga* x, int m)
{
    x->Stop();
    x->loaded = false;
    x->basseqfx->loaded = false;
    x->basseqfx->Fstatus = sStop;
    x->rem = -1;
    if (winhandle) winhandle->postHint(m == 1 ? QStringLiteral("CARGACANCION1") : QStringLiteral("CARGACANCION2"));
    mixnow = false;
    mix1to2 = 0;
    newdl = 0;
    newdr = 0;
}
