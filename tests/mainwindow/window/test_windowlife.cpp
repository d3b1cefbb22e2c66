// The main window's deck handlers on its own controls, its close question and shut-down, and
// an exception thrown in a handler. Offscreen, in a private HOME, with the program's own
// application object.
#include <cstdlib>
#include <gtest/gtest.h>

#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <stdexcept>
#include <thread>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/deckmessagebox.h"
#include "library/tmsql.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/ostrelapplication.h"
#include "mainwindow/songpanelviews.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/vr/tvrquorangularmeter.h"
#include "snkins/vs/tvsbutton.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/mainwindow/support/windowrig.h"

namespace {

OstrelApplication& app()
{
    static PrivateHome home;
    static OstrelApplication* a = [] {
        home.enter();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_SCALE_FACTOR", "1");
        static int argc = 1;
        static char arg0[] = "windowlife_test";
        static char* argv[] = {arg0, nullptr};
        return new OstrelApplication(argc, argv);
    }();
    return *a;
}

struct Rig : WindowRig {
    Rig() : WindowRig((app(), std::function<void(const QString&)>{})) {}
    // a tone dropped on deck n (1 left half, 2 right half of the window)
    bool loadTone(int n)
    {
        const QString path = dir.filePath(QStringLiteral("tone%1.wav").arg(n));
        deckrig::tone(path, 44100, 8, 440, 0.3);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at(n == 1 ? 100 : 900, 100);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &dropped);
        carga* p = n == 1 ? form->adj->carga1 : form->adj->carga2;
        return waitUntil([&] { return p->loaded && !form->loader.loading(n); });
    }
    // a press and release in the middle of the named control
    void click(const char* name)
    {
        auto* w = form->get<QWidget>(QLatin1String(name));
        ASSERT_TRUE(w) << name;
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(w, &release);
    }
};

class Thrower : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) throw std::runtime_error("a handler failed");
        if (e->type() == QEvent::User + 1) ++after;
        return QObject::event(e);
    }
    int after = 0;
};

}  // namespace

TEST(TransportWindow, SkinButtonsDriveTheDecks)
{
    Rig rig;
    Tform1& f = *rig.form;
    ASSERT_TRUE(rig.loadTone(1));
    rig.click("btnplay1");
    EXPECT_EQ(f.adj->carga1->basseqfx->Fstatus.load(), sPlay);
    f.Timer1Timer();
    EXPECT_TRUE(f.get<TVsButton>(QStringLiteral("btnplay1"))->Down());
    // CUE on a playing deck stops it at the cue point, and switches automix off: its button
    // up and the Playlists panel's playlist tree enabled again
    f.adj->autoenable = true;
    ButtonView* automix = f.buttonView(QStringLiteral("auto_enable"));
    ASSERT_TRUE(automix && f.ep3 && f.ep3->panel()->dt);
    automix->setDown(true);
    f.ep3->panel()->dt->setEnabled(false);
    rig.click("btncue1");
    EXPECT_EQ(f.adj->carga1->basseqfx->Fstatus.load(), sStop);
    EXPECT_FALSE(f.adj->autoenable.load());
    EXPECT_FALSE(automix->down());
    EXPECT_TRUE(f.ep3->panel()->dt->isEnabled());
    // the kill switch of deck A's bass, then the hot cue memory on slot 1
    rig.click("kb1");
    EXPECT_TRUE(f.adj->carga1->kb.load());
    f.adj->carga1->basseqfx->tiempopcm = 88200;
    rig.click("memory1");
    rig.click("cue11");
    EXPECT_EQ(f.adj->carga1->basseqfx->tag[1].load(), 88200);
    EXPECT_EQ(f.get<TVsButton>(QStringLiteral("cue11"))->GraphicName(), QStringLiteral("ca1.bmp"));
}

TEST(TransportWindow, BarsSeekAndRangeMenusSetTheirOwnDeck)
{
    Rig rig;
    Tform1& f = *rig.form;
    ASSERT_TRUE(rig.loadTone(1));
    ASSERT_TRUE(rig.loadTone(2));
    // a press in the middle of a progress bar or an overview takes its deck half way
    const struct {
        const char* bar;
        int deck;
    } bars[] = {{"pro1", 1}, {"pro2", 2}, {"displaypeq1", 1}, {"displaypeq2", 2}};
    for (const auto& b : bars) {
        carga* mine = b.deck == 1 ? f.adj->carga1 : f.adj->carga2;
        carga* other = b.deck == 1 ? f.adj->carga2 : f.adj->carga1;
        mine->SetPositionm(100, 100);
        const double whole = double(mine->Getposition());
        ASSERT_GT(whole, 0) << b.bar;
        mine->SetPositionm(0, 100);
        other->SetPositionm(0, 100);
        rig.click(b.bar);
        EXPECT_NEAR(double(mine->Getposition()), whole / 2, whole * 0.05) << b.bar;
        EXPECT_LT(double(other->Getposition()), whole * 0.05) << b.bar << ": the other deck stays";
    }
    // a pitch range menu item shows its range on its own deck's label
    const struct {
        const char* menu;
        const char* mine;
        const char* other;
    } menus[] = {{"JvPopupMenu1", "lpitp1", "lpitp2"}, {"JvPopupMenu2", "lpitp2", "lpitp1"}};
    for (const auto& m : menus) {
        auto* menu = f.get<QMenu>(QLatin1String(m.menu));
        ASSERT_TRUE(menu && !menu->actions().isEmpty()) << m.menu;
        auto* other = f.get<QLabel>(QLatin1String(m.other));
        ASSERT_TRUE(other) << m.other;
        const QString before = other->text();
        for (QAction* item : menu->actions()) {
            item->trigger();
            EXPECT_EQ(f.get<QLabel>(QLatin1String(m.mine))->text(), QString::number(item->data().toInt()) + "%")
                << m.menu << " " << item->text().toStdString();
        }
        EXPECT_EQ(other->text(), before) << m.menu;
    }
}

TEST(MixerWindow, EveryStepButtonMovesItsOwnDeckDialOneStep)
{
    Rig rig;
    Tform1& f = *rig.form;
    using D = DeckControls;
    const struct {
        const char* button;
        int deck;
        PositionView* D::*dial;
        int step;
    } cases[] = {
        {"g1mas", 1, &D::gain, 1},  {"g1menos", 1, &D::gain, -1}, {"h1mas", 1, &D::tre, 1}, {"h1menos", 1, &D::tre, -1},
        {"m1mas", 1, &D::mid, 1},   {"m1menos", 1, &D::mid, -1},  {"l1mas", 1, &D::bas, 1}, {"l1menos", 1, &D::bas, -1},
        {"g2mas", 2, &D::gain, 1},  {"g2menos", 2, &D::gain, -1}, {"h2mas", 2, &D::tre, 1}, {"h2menos", 2, &D::tre, -1},
        {"m2mas", 2, &D::mid, 1},   {"m2menos", 2, &D::mid, -1},  {"l2mas", 2, &D::bas, 1}, {"l2menos", 2, &D::bas, -1},
    };
    for (const auto& c : cases) {
        PositionView* mine = (c.deck == 1 ? f.deckA : f.deckB).*c.dial;
        PositionView* other = (c.deck == 1 ? f.deckB : f.deckA).*c.dial;
        ASSERT_TRUE(mine && other) << c.button;
        const int middle = (mine->minimum() + mine->maximum()) / 2;
        mine->setPosition(middle);
        other->setPosition(middle);
        rig.click(c.button);
        EXPECT_EQ(mine->position(), middle + c.step) << c.button;
        EXPECT_EQ(other->position(), middle) << c.button << ": the other deck's dial stays";
    }
}

TEST(HotCueWindow, EveryHotCueGraphicKeepsTheButtonAtItsDesignedSize)
{
    Rig rig;
    Tform1& f = *rig.form;
    const char* const buttons[2][6] = {{"cue11", "cue12", "cue13", "cue14", "cue15", "CUE16"},
                                       {"cue21", "cue22", "cue23", "cue24", "cue25", "CUE26"}};
    for (int deck = 1; deck <= 2; ++deck) {
        for (int slot = 1; slot <= 6; ++slot) {
            auto* b = f.get<TVsButton>(QLatin1String(buttons[deck - 1][slot - 1]));
            ASSERT_TRUE(b);
            const QSize designed = b->size();
            for (int look = 0; look < 3; ++look) {
                const QString g = HotCues::cueGraphic(deck, slot, look);
                f.buttonView(b->objectName())->setGraphicName(g);
                EXPECT_EQ(b->GraphicName(), g);
                EXPECT_EQ(b->size(), designed) << g.toStdString();
            }
        }
    }
}

TEST(CloseQueryWindow, EmptyDecksCloseWithoutAskingAndShutDownOnce)
{
    Rig rig;
    Tform1& f = *rig.form;
    f.deckA.scratch->setDown(true);
    const int released = rig.sleep.released;
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(f.shutdown.begun());
    EXPECT_FALSE(f.closeBox);
    EXPECT_EQ(rig.sleep.released, released + 1);
    for (const char* vu : {"vu1", "vu2"}) {
        auto* meter = f.findChild<TVrQuorAngularMeter*>(QLatin1String(vu));
        ASSERT_TRUE(meter) << vu;
        EXPECT_FALSE(meter->timer_enabled()) << vu << "'s needle still falls after shut-down";
    }
    // the window's own state went into the configuration row
    EXPECT_EQ(f.adj->soundcfg->wmode1.load(), 1);
    f.FormClose();  // again: nothing
    EXPECT_EQ(rig.sleep.released, released + 1);
    rig.form.reset();
    EXPECT_EQ(rig.sleep.released, released + 1);
}

TEST(CloseQueryWindow, ALoadedDeckAsksAndNoKeepsTheProgramRunning)
{
    Rig rig;
    Tform1& f = *rig.form;
    f.show();
    ASSERT_TRUE(rig.loadTone(2));
    f.adj->carga2->Play();
    EXPECT_FALSE(f.close());
    auto* box = qobject_cast<QMessageBox*>(f.closeBox.data());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), QStringLiteral("The music is playing. Are you sure to exit ? "));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Warning "));
    box->button(QMessageBox::No)->click();
    waitUntil([&] { return !f.closeBox; }, 2000);
    EXPECT_FALSE(f.shutdown.begun());
    EXPECT_TRUE(f.isVisible());
    f.adj->carga2->Pause();
    EXPECT_FALSE(f.close());
    box = qobject_cast<QMessageBox*>(f.closeBox.data());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), QStringLiteral("Are you sure to close Korvanta?"));
    box->button(QMessageBox::Yes)->click();
    EXPECT_TRUE(waitUntil([&] { return f.shutdown.begun(); }, 5000));
    EXPECT_FALSE(f.isVisible());
}

TEST(CloseQueryWindow, AnExceptionInAHandlerIsDroppedWithTheProgramRunning)
{
    Rig rig;
    Thrower t;
    QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&t, new QEvent(QEvent::Type(QEvent::User + 1)));
    EXPECT_TRUE(waitUntil([&] { return t.after == 1; }, 2000));
    EXPECT_FALSE(rig.form->shutdown.begun());
    EXPECT_TRUE(app().onException != nullptr);
}

TEST(CloseQueryWindow, AnExceptionAfterShutDownBeganEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Rig rig;
            EXPECT_TRUE(rig.form->close()) << "no deck holds a track: nothing to ask";
            Thrower t;
            QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
            waitUntil([] { return false; }, 2000);
            std::_Exit(0);  // not reached when the exception ends the program
        },
        ::testing::ExitedWithCode(1), "a handler failed");
}

TEST(CloseQueryWindow, ACloseWhileALoadRunsWaitsForItAndShowsNoBox)
{
    Rig rig;
    Tform1& f = *rig.form;
    const QString path = rig.dir.filePath(QStringLiteral("long.wav"));
    deckrig::tone(path, 44100, 30, 440, 0.3);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &enter);
    QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &dropped);
    ASSERT_TRUE(f.loader.loading(1));
    // a loading thread asks for its deck's box: the answer comes at once, the box is posted
    bool answer = false;
    std::thread asker([&] { answer = f.adj->carga1->message1->MessageDlg("Load", "asked late", 0, 0, 1); });
    asker.join();
    EXPECT_TRUE(answer);
    EXPECT_TRUE(f.close()) << "no deck holds a track yet: nothing to ask";
    EXPECT_TRUE(f.shutdown.begun());
    // what the load and the box would still have handed over is dropped
    waitUntil([] { return false; }, 300);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<Ttquormessage*>(w) && w->isVisible()) << "a box was shown";
}
