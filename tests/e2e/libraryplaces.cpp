#include "tests/e2e/libraryplaces.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <map>

#include "engine/precord.h"
#include "library/panels/snskinfiles.h"
#include "library/panels/snskinplay.h"
#include "library/tsqlitetable.h"
#include "library/shell/filedialogs.h"
#include "library/songgridrow.h"
#include "library/tmsql.h"
#include "mainwindow/logic/paneltextsize.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "snkins/quor/tquortreeview.h"
#include "tests/e2e/dialogplaces.h"
#include "tests/support/fakemainservices.h"

namespace e2e {

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

QRect placeIn(const QWidget* w, const QWidget* root) { return QRect(w->mapTo(root, QPoint(0, 0)), w->size()); }

}  // namespace

struct LibraryPlaces::Rig {
    QTemporaryDir dir;
    std::unique_ptr<Tmsql> sql;
    FakeMainServices main;
    struct Shown {
        std::unique_ptr<QWidget> window;
        TQuorPanel* host = nullptr;
        SongPanel* panel = nullptr;
    };
    std::map<Panel, Shown> shown;
    std::unique_ptr<TTquorfilesdir2> filesDir;
    std::unique_ptr<TTquorsavedialog2> recording;

    // the panel built as the window builds it (its fields, init, the host's style, the
    // start-up text size), in a host of `size`
    Shown& in(Panel which, QSize size)
    {
        Shown& s = shown[which];
        if (s.host && s.host->size() == size) return s;
        s.window = std::make_unique<QWidget>();
        s.window->resize(size);
        s.host = new TQuorPanel(s.window.get());
        s.host->setGeometry(QRect(QPoint(0, 0), size));
        s.host->init();
        SongPanel* p = nullptr;
        if (which == Panel::groups) {
            auto* g = new Tnskinfiles(s.host);
            g->name = QStringLiteral("ep");
            p = g;
        } else {
            auto* l = new Tnskinplay(s.host);
            l->name = QStringLiteral("ep3");
            p = l;
        }
        p->ptitle = QColor(192, 192, 192);
        p->mquorsql = sql.get();
        p->colnor = QColor(0, 0, 0);
        p->colpar = QColor(21, 21, 21);
        p->hide3dborder = true;
        p->main = &main;
        p->mainform = s.window.get();
        if (which == Panel::groups) static_cast<Tnskinfiles*>(p)->init();
        else static_cast<Tnskinplay*>(p)->init();
        s.panel = p;
        s.host->setColor(QColor(0, 0, 0));
        s.host->setbordercolor(QColor(0, 0, 0));
        s.host->SetShowtitle(false);
        const PanelTextSize text = PanelTextSize::of(2);
        p->setTextSize(text.font, text.rowHeight, text.statusHeight, text.searchFont);
        s.window->show();
        settle();
        p->sg->scrollToTop();
        settle();
        return s;
    }
};

LibraryPlaces::LibraryPlaces(int groupsRows, int playlistRows) : rig_(std::make_unique<Rig>())
{
    ensureOffscreenApplication();
    rig_->sql = std::make_unique<Tmsql>(rig_->dir.filePath(QStringLiteral("korvanta.db")));
    // the first playlist, which the Playlists panel lists at start
    double playlist = 0;
    if (auto t = rig_->sql->dametabla(QStringLiteral("SELECT id FROM grupos WHERE tipo = 1")); t && !t->GetEOF())
        playlist = t->FieldAsDouble(0);
    const auto add = [&](int rows, int tipo, double group) {
        for (int i = 1; i <= rows; ++i) {
            QStringList r = songgridrow::blank();
            r[gridcol::path] = rig_->dir.filePath(QStringLiteral("%1-%2.mp3").arg(tipo).arg(i, 2, 10, QLatin1Char('0')));
            r[gridcol::artist] = QStringLiteral("Artist %1").arg(i, 2, 10, QLatin1Char('0'));
            r[gridcol::title] = QStringLiteral("Title");
            rig_->sql->altadesg(r, tipo, tipo == 1 ? i : 0, group, group);
        }
    };
    add(groupsRows, 0, 1);
    add(playlistRows, 1, playlist);
}

LibraryPlaces::~LibraryPlaces() = default;

QRect LibraryPlaces::button(Panel panel, QSize host, const QString& caption)
{
    Rig::Shown& s = rig_->in(panel, host);
    for (TQuorSwitch1* b : {s.panel->B1, s.panel->B2, s.panel->B3, s.panel->B4, s.panel->B5})
        if (b && b->isVisible() && b->Caption() == caption) return placeIn(b, s.host);
    return {};
}

QRect LibraryPlaces::row(Panel panel, QSize host, int row)
{
    Rig::Shown& s = rig_->in(panel, host);
    TquorGrid* sg = s.panel->sg;
    if (row < 1 || row >= sg->RowCount()) return {};
    const QRect cell = sg->visualRect(sg->model()->index(row - 1, gridcol::artist));
    if (!cell.isValid()) return {};
    return QRect(sg->viewport()->mapTo(s.host, cell.topLeft()), cell.size());
}

QRect LibraryPlaces::grid(Panel panel, QSize host)
{
    Rig::Shown& s = rig_->in(panel, host);
    return placeIn(s.panel->sg->viewport(), s.host);
}

QRect LibraryPlaces::tree(Panel panel, QSize host)
{
    Rig::Shown& s = rig_->in(panel, host);
    return placeIn(s.panel->dt->viewport(), s.host);
}

namespace {

// a control of a library file dialog, shown offscreen once
template <class Form>
QRect formControl(std::unique_ptr<Form>& form, const QString& name)
{
    if (!form) {
        form = std::make_unique<Form>();
        form->show();
        settle();
    }
    const QWidget* w = name == QLatin1String("tffd") ? static_cast<QWidget*>(form->tffd)
                       : name == QLatin1String("bffd1") ? static_cast<QWidget*>(form->bffd1)
                                                        : nullptr;
    return w ? placeIn(w, form.get()) : QRect();
}

}  // namespace

QRect LibraryPlaces::filesDirControl(const QString& name) { return formControl(rig_->filesDir, name); }

QRect LibraryPlaces::recordingControl(const QString& name) { return formControl(rig_->recording, name); }

}  // namespace e2e
