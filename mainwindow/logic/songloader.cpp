#include "mainwindow/logic/songloader.h"

#include <algorithm>
#include <chrono>

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/decklibrary.h"
#include "engine/mainservices.h"
#include "engine/precord.h"
#include "controllers/dispatch/controllervalues.h"
#include "mainwindow/logic/browserpanel.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/droppedfile.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/mixercontrols.h"
#include "mainwindow/logic/playlistpanel.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/songgrid.h"

struct SongLoader::Request {
    int deck = 1;
    bool empty = false;  // the deck showed "No Song" at LOAD
    SongGrid* source = nullptr;
    int rowIndex = 0;
    QStringList row;     // the source row's cells, copied at LOAD
    bool fromPlaylists = false;
    QString path;
};

namespace {
// a grid cell read as a number; empty or not a number reads 0
double number(const QString& cell)
{
    bool ok = false;
    const double v = cell.trimmed().toDouble(&ok);
    return ok ? v : 0;
}

bool refusedExtension(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().left(3).toUpper();
    return ext == QLatin1String("AVI") || ext == QLatin1String("MPG");
}

bool onCdrom(const QString& path)
{
    const QByteArray fs = QStorageInfo(path).fileSystemType().toLower();
    return fs == "iso9660" || fs == "udf";
}
}  // namespace

SongLoader::SongLoader(DeckControls& deckA, DeckControls& deckB, MixerControls& mixer, LoadSource& source,
                       MainServices& main)
    : isCdrom(onCdrom), a_(deckA), b_(deckB), mixer_(mixer), source_(source), main_(main)
{
}

SongLoader::~SongLoader() { shutdown(); }

void SongLoader::shutdown()
{
    closing_ = true;
    for (std::thread& t : workers_)
        if (t.joinable()) t.join();
}

bool SongLoader::loading(int n) const { return (n == 2 ? b_ : a_).loadPending; }

bool SongLoader::automix() const
{
    audiobase* adj = a_.adj;
    return adj && adj->autoenable;
}

std::array<BrowserPanel*, 3> SongLoader::panels() const { return {ep3, ep2, ep}; }

void SongLoader::run(int n, std::function<void()> work)
{
    std::thread& t = workers_[size_t(n == 2)];
    // the deck's previous step has handed its result over and is ending
    if (t.joinable()) t.join();
    t = std::thread(std::move(work));
}

// The step crosses to the UI thread under our own lock; the queued call only wakes it, one
// call for each step, so the steps run in the order they were handed over.
void SongLoader::post(int, std::function<void()> step)
{
    {
        const std::lock_guard<std::mutex> lock(handedLock_);
        handed_.push_back(std::move(step));
    }
    QMetaObject::invokeMethod(this, &SongLoader::takeHanded, Qt::QueuedConnection);
}

void SongLoader::takeHanded()
{
    std::function<void()> step;
    {
        const std::lock_guard<std::mutex> lock(handedLock_);
        if (handed_.empty()) return;
        step = std::move(handed_.front());
        handed_.pop_front();
    }
    if (!closing_) step();
}

void SongLoader::btnloadMouseDown(int n)
{
    DeckControls& d = deck(n);
    carga* p = d.player();
    if (!p || d.loadPending || p->loading) return;
    if (hooks.updatemidilights) hooks.updatemidilights();
    for (int i = 0; i < 6; ++i) {
        ButtonView* cue = d.cue[size_t(i)];
        if (!cue) continue;
        cue->setGraphicName(QStringLiteral("%1%2.bmp").arg(n == 1 ? QStringLiteral("cb") : QStringLiteral("cbv")).arg(i + 1));
        if (n == 1) cue->setDown(false);
    }
    start(n);
}

void SongLoader::start(int n)
{
    DeckControls& d = deck(n);
    Request r;
    r.deck = n;
    r.empty = d.artist && d.artist->caption() == QLatin1String("No Song");
    if (r.empty) {
        if (d.displaygrande) d.displaygrande->fillParent();
        if (d.displaypeq) d.displaypeq->fillParent();
    }
    r.source = source_.msender;
    if (r.source) {
        r.rowIndex = r.source->currentRow();
        r.row = r.source->row(r.rowIndex);
    } else {
        for (int c = 0; c < gridcol::count; ++c) r.row << QString();
    }
    r.fromPlaylists = ep3 && r.source && r.source == ep3->grid();
    r.path = r.row.value(gridcol::path);
    d.loadPending = true;
    run(n, [this, r] {
        const bool exists = QFileInfo(r.path).isFile();
        post(r.deck, [this, r, exists] { checked(r, exists); });
    });
}

void SongLoader::finish(int n, bool ok)
{
    deck(n).loadPending = false;
    if (onLoadFinished) onLoadFinished(n, ok);
}

// steps 2 to 17, on the UI thread
void SongLoader::checked(const Request& r, bool exists)
{
    const int n = r.deck;
    DeckControls& d = deck(n);
    carga* p = d.player();
    if (!exists || !p) {
        if (automix()) main_.postHint(n == 1 ? QStringLiteral("ECARGACANCION1") : QStringLiteral("ECARGACANCION2"));
        finish(n, false);
        return;
    }
    PRecord& rec = *p->basseqfx;
    if (rec.Fstatus != sStop) {
        finish(n, false);
        return;
    }

    // loop and effect reset: no loop stored, the lit states off, the effects off as well
    p->syncloop[0] = 100;
    p->syncloop[1] = 100;
    rec.freloop = false;
    for (ButtonView* b : {d.loopreloop, d.echo, d.flange, d.wah, d.loopa, d.loopb})
        if (b) b->setTag(0);
    p->UpdateEcho(p->echomix, 0, p->echodelay, false);
    p->UpdateFlange(0, p->flangerspeed, false);
    p->UpdateWah(p->wahmix, p->wahinput, false);
    d.loop = 0;

    if (!QFileInfo(r.path).isFile()) {
        finish(n, false);
        return;
    }

    p->Unload();
    if (Shared<bool>* link = d.followsThis()) *link = false;
    d.diseq = true;

    if (ep3 && !r.fromPlaylists && !(isCdrom && isCdrom(r.path))) ep3->altadeplaylist(n, r.row);
    else if (d.track) d.track->setCaption(r.row.value(gridcol::order));

    if (d.panelwheel && !d.panelwheel->visible()) d.panelwheel->setVisible(true);
    p->filename = r.path;
    d.fichero = r.path;
    if (d.artist) d.artist->setCaption(r.row.value(gridcol::artist));
    if (d.title) d.title->setCaption(r.row.value(gridcol::title));

    const double bpm = number(r.row.value(gridcol::bpm));
    const int volume = d.trackvolume ? d.trackvolume->position() : 127;
    rec.vol = std::clamp(volume * 127 / 100, 0, 100);
    rec.duration = r.row.value(gridcol::time);
    rec.tag[tagslot::bpm] = bpm;
    for (int slot = 1; slot <= tagslot::cue11; ++slot) rec.tag[size_t(slot)] = number(r.row.value(tagSlotColumn(slot)));
    rec.bas = 0;
    rec.mid = 0;
    rec.tre = 0;
    rec.gain = 10;

    const int veces = int(number(r.row.value(gridcol::veces)));
    if (audiobase* adj = d.adj) (n == 1 ? adj->veces1 : adj->veces2) = veces;
    if (ep3) ep3->setntrack(n, r.fromPlaylists ? int(number(r.row.value(gridcol::order))) : 0);

    for (BrowserPanel* panel : panels())
        if (panel) {
            panel->setDeckFile(n, r.path);
            panel->load();
        }
    if (hooks.trackfrequencyChange) hooks.trackfrequencyChange(n);
    if (hooks.scroll)
        hooks.scroll(n, (d.artist ? d.artist->caption() : QString()) + QStringLiteral(" - ") +
                            (d.title ? d.title->caption() : QString()));

    if (refusedExtension(r.path)) {
        settle(r);
        return;
    }
    run(n, [this, r, p] {
        if (r.empty) p->Load(r.path);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const bool ok = p->Load(r.path);
        post(r.deck, [this, r, ok] { loaded(r, ok); });
    });
}

// step 19, on the UI thread
void SongLoader::loaded(const Request& r, bool ok)
{
    const int n = r.deck;
    DeckControls& d = deck(n);
    carga* p = d.player();
    if (!ok) {
        if (automix()) main_.postHint(n == 1 ? QStringLiteral("CARGACANCION1") : QStringLiteral("CARGACANCION2"));
        d.diseq = false;
        finish(n, false);
        return;
    }
    PRecord& rec = *p->basseqfx;
    const QString duration = rec.duration;
    if (r.row.value(gridcol::time) != duration) {
        if (r.source && r.source->cell(gridcol::path, r.rowIndex) == r.path)
            r.source->setCell(gridcol::time, r.rowIndex, duration);
        if (d.adj && d.adj->mquorsql) d.adj->mquorsql->salvatag(rec, r.path);
    }
    if (audiobase* adj = d.adj) (n == 1 ? adj->posada1 : adj->posada2) = false;
    p->cargacue = 0;
    if (ControllerValues* v = d.values) {
        (n == 1 ? v->quorgain1 : v->quorgain2) = rec.gain;
        (n == 1 ? v->quorbass1 : v->quorbass2) = rec.bas + 15;
        (n == 1 ? v->quormid1 : v->quormid2) = rec.mid + 15;
        (n == 1 ? v->quortre1 : v->quortre2) = rec.tre + 15;
    }
    if (PositionView* ruler = d.dmcslider) {
        ruler->setEnabled(false);
        ruler->setMaximum(p->dmcslidermin);
        ruler->setMinimum(p->dmcslidermax);
        ruler->setMaximum(p->dmcslidermin);
        ruler->setEnabled(true);
    }
    settle(r);
}

// steps 20 to 22, on the UI thread
void SongLoader::settle(const Request& r)
{
    const int n = r.deck;
    DeckControls& d = deck(n);
    carga* p = d.player();
    if (hooks.trackfrequencyChange) hooks.trackfrequencyChange(n);
    d.diseq = false;
    p->Stop();
    if (hooks.lucescues) hooks.lucescues(n);
    if (hooks.lucesloop) hooks.lucesloop(n);
    audiobase* adj = d.adj;
    if (adj && mixer_.crossfader) adj->setcrossfader(mixer_.crossfader->position());

    if (adj && adj->autoenable && primeraautomix == 1) {
        carga* x = a_.player();
        carga* y = b_.player();
        if (x && y && x->basseqfx->Fstatus == sStop && y->basseqfx->Fstatus == sStop) {
            p->Play();
            primeraautomix = 0;
        }
    }
    if (source_.msender != source_.msenderold) source_.msender = source_.msenderold;
    finish(n, p->loaded);
}

void SongLoader::dragDrop(int n, SongGrid* source)
{
    if (!source) return;
    source_.msender = source;
    if (ep3 && source == ep3->grid() && source->currentRow() != ep3->originaldrag())
        source->setCurrentRow(ep3->originaldrag());
    btnloadMouseDown(n);
    source->takeFocus();
}

void SongLoader::dropFiles(const QStringList& files, QPoint at)
{
    if (!sgdrag || files.isEmpty()) return;
    if (sgdrag->rowCount() < 2) sgdrag->setRowCount(2);
    const QStringList blank = DroppedFile::blankRow();
    for (int c = 0; c < gridcol::count; ++c) sgdrag->setCell(c, 1, blank[c]);
    source_.msenderold = source_.msender;
    source_.msender = sgdrag;
    const QStringList row = DroppedFile::row(files.first());
    for (int c = 0; c < gridcol::count; ++c) sgdrag->setCell(c, 1, row[c]);
    sgdrag->setCurrentRow(1);
    if (const int zone = DroppedFile::zone(at)) btnloadMouseDown(zone);
}

void SongLoader::altademosongs(const QString& profile)
{
    const QDir folder(profile + QStringLiteral("demosongs/"));
    if (!sgdrag || !folder.exists()) return;
    const QFileInfoList files = folder.entryInfoList(QDir::Files, QDir::Name);
    source_.msenderold = source_.msender;
    source_.msender = sgdrag;
    sgdrag->setRowCount(int(files.size()) + 1);
    for (int i = 0; i < files.size(); ++i) {
        const QStringList row = DroppedFile::row(files[i].absoluteFilePath(), true);
        for (int c = 0; c < gridcol::count; ++c) sgdrag->setCell(c, i + 1, row[c]);
        sgdrag->setCurrentRow(i + 1);
        if (ep3) ep3->altademosong(row);
    }
}
