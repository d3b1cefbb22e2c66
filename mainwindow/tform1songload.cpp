// Song loading: the LOAD buttons, grid rows dragged onto a deck, files dropped on the window and
// the demo songs. The steps are SongLoader's; the drive notices come with the mount watcher of
// the Explorer panel.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHash>
#include <QMimeData>
#include <QUrl>

#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/tform1.h"
#include "mainwindow/views/gridview.h"
#include "snkins/quor/tquorgrid.h"

void Tform1::wireSongLoad()
{
    onMouseDown(QStringLiteral("btnload1"), &Tform1::btnload1MouseDown);
    onMouseDown(QStringLiteral("btnload2"), &Tform1::btnload2MouseDown);
    loader.hooks.trackfrequencyChange = [this](int deck) {
        if (deck == 1) trackfrequencyChange(this);
        else trackfrequency2Change(this);
    };
    loader.hooks.lucescues = [this](int) { lucescues(); };
    loader.hooks.lucesloop = [this](int) { lucesloop(); };
}

void Tform1::btnload1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    loader.btnloadMouseDown(1);
}

void Tform1::btnload2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    loader.btnloadMouseDown(2);
}

SongGrid* Tform1::gridOf(QObject* source) const
{
    for (PanelView* p : panelViews())
        if (p && source && p->sg() == source) return p->browser().grid();
    if (source && source == sgdrag) return sgdragView_.get();
    return nullptr;
}

void Tform1::drag1DragDrop(QObject* Source) { loader.dragDrop(1, gridOf(Source)); }
void Tform1::drag2DragDrop(QObject* Source) { loader.dragDrop(2, gridOf(Source)); }

void Tform1::WMDropFiles(const QStringList& files, QPoint at) { loader.dropFiles(files, at); }

void Tform1::altademosongs() { loader.altademosongs(myApplicationdir); }

int Tform1::deckAt(QPoint at) const
{
    static const QHash<QString, int> decks = [] {
        QHash<QString, int> h;
        auto add = [&h](const auto& table) {
            for (const auto& s : table) {
                h.insert(QLatin1String(s.a), 1);
                h.insert(QLatin1String(s.b), 2);
            }
        };
        add(DeckControls::buttonSlots());
        add(DeckControls::positionSlots());
        add(DeckControls::labelSlots());
        add(DeckControls::controlSlots());
        h.insert(QStringLiteral("drag1"), 1);
        return h;
    }();
    for (QWidget* w = childAt(at); w && w != this; w = w->parentWidget())
        if (const int d = decks.value(w->objectName())) return d;
    return 0;
}

namespace {
QStringList localFiles(const QMimeData* mime)
{
    QStringList files;
    if (mime)
        for (const QUrl& u : mime->urls())
            if (u.isLocalFile()) files << u.toLocalFile();
    return files;
}

bool inside(const QWidget* w, QPoint at) { return w && w->isVisible() && w->geometry().contains(at); }
}  // namespace

void Tform1::dragEnterEvent(QDragEnterEvent* e)
{
    if (!localFiles(e->mimeData()).isEmpty() || qobject_cast<TquorGrid*>(e->source())) e->acceptProposedAction();
}

void Tform1::dragMoveEvent(QDragMoveEvent* e)
{
    const QPoint at = e->position().toPoint();
    // files dropped on a library panel are the panel's business; a row is taken over a deck
    const bool files = !localFiles(e->mimeData()).isEmpty();
    if (inside(get<QWidget>(QStringLiteral("todo")), at)) e->ignore();
    else if (files || (gridOf(e->source()) && deckAt(at))) e->acceptProposedAction();
    else e->ignore();
}

void Tform1::dropEvent(QDropEvent* e)
{
    const QPoint at = e->position().toPoint();
    if (inside(get<QWidget>(QStringLiteral("todo")), at)) return;
    const QStringList files = localFiles(e->mimeData());
    if (!files.isEmpty()) {
        e->acceptProposedAction();
        WMDropFiles(files, at);
        return;
    }
    const int d = gridOf(e->source()) ? deckAt(at) : 0;
    if (!d) return;
    e->acceptProposedAction();
    if (d == 1) drag1DragDrop(e->source());
    else drag2DragDrop(e->source());
}
