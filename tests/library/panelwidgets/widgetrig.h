// The Groups and Playlists panels on screen (offscreen), each in a host panel of its own, over
// a library in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "engine/precord.h"
#include "library/panels/kitprompts.h"
#include "library/panels/snskinfiles.h"
#include "library/panels/snskinplay.h"
#include "library/songgridrow.h"
#include "library/tmsql.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "tests/library/panelfixture.h"
#include "tests/library/panelwidgets/panelhost.h"

// PanelRig's library, fakes and helpers, with an application that shows widgets
struct WidgetRig : PanelRig {
    static void SetUpTestSuite()
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_library_panelwidgets";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    std::unique_ptr<QWidget> window;
    TQuorPanel* grupos = nullptr;
    TQuorPanel* playlist = nullptr;
    Tnskinfiles* ep = nullptr;
    Tnskinplay* ep3 = nullptr;

    void TearDown() override { window.reset(); }
    // the window with both panels, built after the test has filled the library
    void build()
    {
        window = std::make_unique<QWidget>();
        window->resize(1200, 700);
        ep = hostedPanel<Tnskinfiles>(window.get(), QRect(0, 0, 1200, 340), sql.get(), &main);
        ep3 = hostedPanel<Tnskinplay>(window.get(), QRect(0, 350, 1200, 340), sql.get(), &main);
        grupos = ep->xmpanel1;
        playlist = ep3->xmpanel1;
        window->show();
    }

    using PanelRig::column;
    static QStringList column(TquorGrid* g, int c)
    {
        QStringList out;
        for (int r = 1; r < g->RowCount(); ++r) out << g->Cells(c, r);
        return out;
    }
    // the middle of a data row, in the viewport's coordinates
    static QPoint rowPoint(TquorGrid* g, int row)
    {
        const QRect cell = g->visualRect(g->model()->index(row - 1, 3));
        return cell.center();
    }
    // a drag over and a drop on the grid's viewport at p
    static bool dropOn(TquorGrid* g, QMimeData* mime, QPoint p)
    {
        std::unique_ptr<QMimeData> owned(mime);
        QDragMoveEvent move(p, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(p), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        // Qt passes a move and a drop only to a widget that took the drag's entry
        QDragEnterEvent enter(p, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(g->viewport(), &enter);
        QApplication::sendEvent(g->viewport(), &move);
        QApplication::sendEvent(g->viewport(), &drop);
        return drop.isAccepted();
    }
    static QMimeData* urls(const QStringList& files)
    {
        auto* m = new QMimeData;
        QList<QUrl> u;
        for (const QString& f : files) u << QUrl::fromLocalFile(f);
        m->setUrls(u);
        return m;
    }
};
