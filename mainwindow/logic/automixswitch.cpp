#include "mainwindow/logic/automixswitch.h"

#include <QTimer>

#include "engine/precord.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/songgrid.h"

namespace {
QString threeDigits(int n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); }
}  // namespace

std::optional<int> AutomixSwitch::entryOf(const QString& label)
{
    if (label == QLatin1String("----")) return 0;
    bool ok = false;
    const int n = label.trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return n;
}

void AutomixSwitch::schedule(int ms, std::function<void()> f)
{
    const unsigned g = generation_;
    auto guarded = [this, g, f = std::move(f)] {
        if (g == generation_) f();
    };
    if (after) after(ms, std::move(guarded));
    else QTimer::singleShot(ms, std::move(guarded));
}

int AutomixSwitch::rowOf(int number) const
{
    if (!playlist) return 0;
    for (int r = 1; r < playlist->rowCount(); ++r) {
        bool ok = false;
        if (playlist->cell(gridcol::order, r).trimmed().toInt(&ok) == number && ok) return r;
    }
    return 0;
}

// Selects the row of CURRENTPLAYNUMBER; row 1, whose number becomes current, when none has it.
void AutomixSwitch::selectCurrent()
{
    if (!playlist) return;
    int r = rowOf(*number);
    if (r == 0) {
        r = 1;
        bool ok = false;
        const int n = playlist->cell(gridcol::order, 1).trimmed().toInt(&ok);
        if (ok) (*number) = n;
    }
    playlist->setCurrentRow(r);
}

void AutomixSwitch::switchOff()
{
    ++generation_;
    phase_ = Phase::idle;
    if (auto_enable) auto_enable->setDown(false);
    host_.setAutoenable(false);
}

void AutomixSwitch::auto_enableMouseDown()
{
    // a press while automix runs, or while it starts, always switches it off
    if (host_.autoenable() || phase_ != Phase::idle) {
        switchOff();
        return;
    }
    // step 1
    if (!playlist || playlist->rowCount() < 4) {
        if (auto_enable) auto_enable->setDown(false);
        host_.warning(tooFewText());
        return;
    }
    // step 2
    host_.setFades(ffout ? ffout->position() : 10, ffin ? ffin->position() : 10);
    // step 3: a label that is no number ends the press here
    const std::optional<int> a = entryOf(track1 ? track1->caption() : QStringLiteral("----"));
    const std::optional<int> b = entryOf(track2 ? track2->caption() : QStringLiteral("----"));
    if (!a || !b) {
        if (auto_enable) auto_enable->setDown(false);
        return;
    }
    a_ = *a;
    b_ = *b;
    // steps 5 to 7
    if (auto_enable) auto_enable->setDown(true);
    (*number) = a_ == 0 && b_ == 0 ? 1 : std::max(a_, b_) + 1;
    host_.playlistsAlone();
    host_.setAutoenable(true);
    // step 8
    if (playlist) {
        const int r = rowOf(*number);
        (*found) = r > 0;
        if (r > 0) playlist->setCurrentRow(r);
    }
    // step 9
    if (host_.stopped(1) && host_.stopped(2) && a_ > 0 && a_ == b_ && host_.loaded(1) && host_.loaded(2))
        host_.setLoaded(2, false);
    // step 10
    if (host_.stopped(1)) {
        if (!host_.loaded(1)) {
            selectCurrent();
            host_.load(1);
            ++(*number);
        } else if (host_.stopped(2) && (a_ <= b_ || b_ == 0)) {
            host_.play(1);
        }
    }
    // step 11
    phase_ = Phase::settle;
    schedule(kSettleMs, [this] { deckBStep(); });
}

// step 12
void AutomixSwitch::deckBStep()
{
    if (!host_.stopped(2)) {
        finishStart();
        return;
    }
    if (host_.loaded(2)) {
        if (host_.stopped(1) && (b_ <= a_ || a_ == 0)) host_.play(2);
        finishStart();
        return;
    }
    if (host_.loaded(1)) {
        loadDeckB();
        return;
    }
    phase_ = Phase::waitDeckA;
    schedule(kDeckALimitMs, [this] {
        switchOff();
        host_.message(deckAFailedText());
    });
}

void AutomixSwitch::loadFinished(int deck, bool loaded)
{
    if (phase_ != Phase::waitDeckA || deck != 1 || !loaded || !host_.loaded(1)) return;
    ++generation_;  // the 10 s limit no longer applies
    loadDeckB();
}

void AutomixSwitch::loadDeckB()
{
    selectCurrent();
    host_.load(2);
    if (track2) track2->setCaption(threeDigits((*number)));
    ++(*number);
    finishStart();
}

// steps 13 and 14
void AutomixSwitch::finishStart()
{
    phase_ = Phase::idle;
    if (host_.stopped(1) && host_.stopped(2) && primeraautomix) *primeraautomix = b_ < a_ ? 2 : 1;
    for (auto [from, to] : {std::pair{track1, laut_t1}, {track2, laut_t2}}) {
        if (!from || !to) continue;
        if (const std::optional<int> n = entryOf(from->caption())) to->setCaption(threeDigits(*n));
    }
}

void AutomixSwitch::mixnowMouseDown()
{
    host_.resetMix();
    if (host_.autoenable()) host_.toggleMixnow();
}

void AutomixSwitch::ffoutChange()
{
    if (!ffout) return;
    if (lfout) lfout->setCaption(QString::number(ffout->position()));
    host_.setFadeOut(ffout->position());
}

void AutomixSwitch::ffinChange()
{
    if (!ffin) return;
    if (lfin) lfin->setCaption(QString::number(ffin->position()));
    host_.setFadeIn(ffin->position());
}

void AutomixSwitch::randomMouseDown() { host_.shuttlepress(!host_.shuttle()); }

void AutomixSwitch::randomMouseUp()
{
    if (random) random->setDown(host_.shuttle());
}

void AutomixSwitch::newlistMouseDown()
{
    if (host_.shuttle()) host_.shuttlepress(true);
}
