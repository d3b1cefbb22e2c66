// The configuration bridge: the configuration row into the engine and the window
// (asignoconfig). The configuration button (bconfigMouseDown) and the row written at shut-down
// (graboconfig) come with the configuration dialog.
#include <QFileInfo>

#include "controllers/profilepath.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "library/tmsql.h"
#include "mainwindow/logic/configrow.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/tform1.h"

void Tform1::asignoconfig()
{
    if (!adj || !quorsql) return;
    PSoundConfig& cfg = *adj->soundcfg;

    // steps 1 and 2
    const int pitchA = deckA.trackfrequency ? deckA.trackfrequency->position() : 63;
    const int pitchB = deckB.trackfrequency ? deckB.trackfrequency->position() : 63;
    if (!ConfigRow::read(*quorsql, cfg))
        tell(QStringLiteral("The stored settings could not be read. The default settings are used."));

    // steps 3 and 4: six files that exist, or the six default samples
    static const char* const defaults[] = {"ALARM 1.mp3", "ALARM 2.mp3", "POLICE.mp3",
                                           "SPIRAL.mp3",  "THRILL 1.mp3", "THRILL 2.mp3"};
    bool usable = true;
    for (int i = 1; i <= 6; ++i) {
        const QString file = cfg.sample(i)->get();
        sp[size_t(i - 1)] = file;
        if (file.isEmpty() || file == QLatin1String("xxx") || !QFileInfo(file).isFile()) usable = false;
    }
    if (!usable)
        for (int i = 0; i < 6; ++i)
            sp[size_t(i)] = ProfilePath::find(myApplicationdir, QStringLiteral("samples/") + QLatin1String(defaults[i]));

    // step 5
    sampleCaptions();

    // step 6
    if (PositionView* ffout = positionView(QStringLiteral("ffout"))) ffout->setPosition(cfg.dr);
    if (PositionView* ffin = positionView(QStringLiteral("ffin"))) ffin->setPosition(cfg.lr);

    // steps 7 to 10
    const QString range = QString::number(cfg.pitch) + QLatin1Char('%');
    for (DeckControls* d : {&deckA, &deckB})
        if (d->lpitp) d->lpitp->setCaption(range);
    for (DeckControls* d : {&deckA, &deckB}) {
        carga* p = d->player();
        PositionView* slider = d->trackfrequency;
        if (!p || !slider) continue;
        const int position = p->SetPitchv(cfg.pitch);
        if (slider->position() == 127) slider->setPosition(126);
        if (slider->position() == 0) slider->setPosition(1);
        slider->setPosition(position);
        if (!p->loaded) slider->setPosition(d->deck == 1 ? pitchA : pitchB);
    }
    for (DeckControls* d : {&deckA, &deckB})
        if (d->lpitp) d->lpitp->setCaption(range);
}
