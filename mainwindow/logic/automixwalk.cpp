#include "mainwindow/logic/automixwalk.h"

#include <algorithm>

#include "engine/carga.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/songgrid.h"

AutomixWalk::AutomixWalk(DeckControls& deckA, DeckControls& deckB, LoadSource& source)
    : a_(deckA), b_(deckB), source_(source)
{
}

int AutomixWalk::number(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

QString AutomixWalk::threeDigits(int n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); }

int AutomixWalk::orderAt(int r) const
{
    if (!playlist || r < 1 || r >= playlist->rowCount()) return -1;
    bool ok = false;
    const int n = playlist->cell(gridcol::order, r).trimmed().toInt(&ok);
    return ok ? n : -1;
}

bool AutomixWalk::stop(SongGrid* restore)
{
    source_.msender = restore;
    if (hooks.automixOff) hooks.automixOff();
    return false;
}

bool AutomixWalk::step(int deck, bool missingFile)
{
    DeckControls& d = deck == 2 ? b_ : a_;
    DeckControls& o = deck == 2 ? a_ : b_;
    SongGrid* before = source_.msender;
    if (!playlist) return stop(before);
    source_.msender = playlist;
    const int own = number(d.track ? d.track->caption() : QString());
    const int theirs = number(o.track ? o.track->caption() : QString());
    int& cpn = *this->cpn;
    bool& currentplayfinded = *found;

    carga* p = d.player();
    if (currentplayfinded && p && p->dioerror) {
        if (own >= cpn) cpn = own + 1;
    } else if (missingFile) {
        if (own >= cpn) cpn = own + 1;
        if (theirs >= cpn) cpn = theirs + 1;
    } else {
        cpn = std::max(own, theirs) + 1;
    }
    currentplayfinded = false;
    const int track1 = number(a_.track ? a_.track->caption() : QString());
    const int track2 = number(b_.track ? b_.track->caption() : QString());
    if (pasafinautomix == 1) {
        cpn = track1 + 1;
        pasafinautomix = 0;
    }
    if (pasafinautomix == 2) {
        cpn = track2 + 1;
        pasafinautomix = 0;
    }

    for (int r = 1; r < playlist->rowCount(); ++r) {
        if (orderAt(r) == cpn) {
            currentplayfinded = true;
            playlist->setCurrentRow(r);
            break;
        }
    }
    const int first = orderAt(1);
    if (first < 0) return stop(before);  // an empty playlist
    if (!currentplayfinded) {
        // past the end of the playlist: from the top again
        if (missingFile) {
            pasafinautomix = deck;
            playlist->setCurrentRow(1);
            cpn = first;
        } else {
            playlist->setCurrentRow(1);
            cpn = theirs == 1 ? orderAt(2) : first;
            if (cpn < 1 || cpn >= playlist->rowCount()) return stop(before);
            playlist->setCurrentRow(cpn);
        }
    }
    ++cpn;
    if (d.track) d.track->setCaption(threeDigits(first));
    if (hooks.btnloadMouseDown) hooks.btnloadMouseDown(deck);
    if (LabelView* counter = deck == 2 ? laut_t2 : laut_t1)
        counter->setCaption(threeDigits(number(d.track ? d.track->caption() : QString())));
    return true;
}
