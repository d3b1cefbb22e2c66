// The configuration dialog's widgets, offscreen: the frame, the pages, opening without a nested
// event loop, closing from its signal, the boxes that ask and warn, and the widgets handing the
// user's choices to the model, and the MIDI port lists waiting for the worker that reads them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "mainwindow/config/routingcheck.h"
#include "mainwindow/config/ttabsheet.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "tests/mainwindow/config/widgetrig.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

using M = ConfigDialogModel;

void clickButton(QWidget* w) {
    click(w, QPoint(w->width() / 2, w->height() / 2));
}

void answer(QMessageBox* box, QMessageBox::StandardButton b) {
    ASSERT_NE(box, nullptr);
    box->button(b)->click();
    WidgetRig::settle();
}

TEST(ConfigDialogWidgets, FrameAndPages) {
    WidgetRig rig;
    Tfnewconfig* d = rig.openDialog();
    EXPECT_EQ(Tfnewconfig::fnewconfig(), d);
    EXPECT_EQ(d->windowTitle(), "Configuration");
    EXPECT_EQ(d->size(), QSize(939, 660));
    EXPECT_TRUE(d->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(d->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->JvPageControl1->currentIndex(), M::TabSheet1);
    for (int p = 0; p < M::kPages; ++p) {
        EXPECT_EQ(d->JvPageControl1->tabText(p), M::pageCaption(p));
        EXPECT_EQ(d->JvPageControl1->isTabVisible(p), M::pageShown(p));
        EXPECT_EQ(d->pages[size_t(p)]->Color(), M::pageShown(p) ? QColor(51, 51, 51) : QColor());
    }
    EXPECT_FALSE(d->pages[M::TabSheet4]->isEnabled());
    EXPECT_EQ(d->QuorPanel1->geometry(), d->rect());
    EXPECT_EQ(d->JvPageControl1->geometry().topLeft(), QPoint(10, 10));
    // the model's state is shown
    EXPECT_TRUE(d->rdm2->Down());
    EXPECT_FALSE(d->rdm1->Down());
    EXPECT_EQ(d->dev[0]->count(), 3);
    EXPECT_EQ(d->cha[0]->currentText(), "Stereo (Left + Right) ");
    EXPECT_FALSE(d->dev[1]->isVisibleTo(d));
    EXPECT_EQ(d->auto1->text(), "10");
    EXPECT_EQ(d->cbrake->currentText(), "10");
    EXPECT_EQ(d->bend->currentText(), "12");
    EXPECT_EQ(d->updatescom->currentText(), "Yes");
    EXPECT_TRUE(d->ph->isChecked());
    EXPECT_FALSE(rig.services.mainRunning());
}

TEST(ConfigDialogWidgets, OkClosesFromTheSignalAndFreesTheDialog) {
    WidgetRig rig;
    Tfnewconfig* d = rig.openDialog();
    d->auto1->setText("75");
    emit d->auto1->textEdited("75");
    clickButton(d->JvHTButton2);
    WidgetRig::settle();
    EXPECT_EQ(rig.closes, std::vector<bool>{true});
    EXPECT_TRUE(rig.dialog.isNull());
    EXPECT_EQ(Tfnewconfig::fnewconfig(), nullptr);
    EXPECT_TRUE(rig.services.mainRunning());
    EXPECT_EQ(rig.engine.cfg.dr, 75);
}

TEST(ConfigDialogWidgets, CancelAndEscapeStoreNothing) {
    for (const bool escape : {false, true}) {
        WidgetRig rig;
        Tfnewconfig* d = rig.openDialog();
        d->auto1->setText("33");
        emit d->auto1->textEdited("33");
        if (escape)
            d->reject();
        else
            clickButton(d->JvHTButton1);
        WidgetRig::settle();
        EXPECT_EQ(rig.closes, std::vector<bool>{false});
        EXPECT_TRUE(rig.dialog.isNull());
        EXPECT_EQ(rig.engine.cfg.dr, 10);
        EXPECT_TRUE(rig.services.mainRunning());
    }
}

TEST(ConfigDialogWidgets, ABadFadeTimeWarnsAndKeepsTheDialogOpen) {
    WidgetRig rig;
    Tfnewconfig* d = rig.openDialog();
    d->auto2->setText("1.5");
    emit d->auto2->textEdited("1.5");
    clickButton(d->JvHTButton2);
    WidgetRig::settle();
    QMessageBox* box = rig.box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Warning ");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(rig.closes.empty());
    EXPECT_EQ(d->JvPageControl1->currentIndex(), M::TabSheet6);
    answer(box, QMessageBox::Ok);
    EXPECT_FALSE(rig.dialog.isNull());
    EXPECT_EQ(rig.engine.cfg.lr, 10);
}

TEST(ConfigDialogWidgets, TheDriverSwitchAsksAndListsTheOtherDriver) {
    WidgetRig rig;
    Tfnewconfig* d = rig.openDialog();
    clickButton(d->rdm1);
    QMessageBox* box = rig.box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), " This action will stop the music. Do you want to continue?");
    answer(box, QMessageBox::No);
    EXPECT_TRUE(d->rdm2->Down());
    EXPECT_FALSE(d->rdm1->Down());
    EXPECT_EQ(rig.engine.cfg.devicemode, 1);

    // the label beside the switch does the same
    click(d->Label67, QPoint(20, 10));
    answer(rig.box(), QMessageBox::Yes);
    EXPECT_TRUE(d->rdm1->Down());
    EXPECT_FALSE(d->rdm2->Down());
    EXPECT_EQ(rig.engine.cfg.devicemode, 0);
    EXPECT_EQ(rig.engine.stops, 1);
    EXPECT_EQ(d->workmode->title(), "JACK Work Mode");
    EXPECT_EQ(d->dev[0]->itemText(0), "system");
    EXPECT_EQ(d->dev[0]->currentIndex(), 1);
}

TEST(ConfigDialogWidgets, ChoicesReachTheModel) {
    WidgetRig rig;
    rig.midi.set({"A0", "B0"});
    Tfnewconfig* d = rig.openDialog();
    ConfigDialogModel& m = d->model();

    // a work mode and a device: the rows follow
    d->rw[4]->click();
    EXPECT_EQ(m.audio.mode, 5);
    EXPECT_TRUE(d->dev[1]->isVisibleTo(d));
    EXPECT_EQ(d->titledc->text(), "Multi Audio External Mixer");
    d->dev[0]->setCurrentIndex(1);
    emit d->dev[0]->activated(1);
    EXPECT_EQ(m.audio.dev[0].index, 1);
    EXPECT_EQ(d->cha[0]->count(), 3);

    // a port checked in list 1, then the same in list 2: refused
    QTreeWidget* l1 = d->lists[ControllerPages::listview1];
    QTreeWidget* l4 = d->lists[ControllerPages::ListView4];
    ASSERT_EQ(l1->topLevelItemCount(), 2);
    l1->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(rig.pending.portconin, "B0");
    l4->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(l4->topLevelItem(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(rig.pending.portconin2, "");

    // delete a sample: its box empties
    clickButton(d->del[2]);
    EXPECT_EQ(d->s[2]->text(), "");
    EXPECT_EQ(m.settings.s[2], "");

    // performance and brake
    d->pl->click();
    EXPECT_EQ(m.settings.performance, 2);
    emit d->cbrake->activated(2);
    EXPECT_EQ(m.settings.cbrake.index, 2);
}

TEST(ConfigDialogWidgets, AFailedRoutingCheckFocusesTheSelector) {
    WidgetRig rig;
    Tfnewconfig* d = rig.openDialog();
    d->activateWindow();
    d->rw[2]->click(); // mode 3, both on pair 1
    emit d->cha[1]->activated(0);
    d->JvPageControl1->setCurrentIndex(M::TabSheet3);
    clickButton(d->JvHTButton2);
    WidgetRig::settle();
    QMessageBox* box = rig.box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), RoutingCheck::kSameMasterChannel);
    EXPECT_EQ(d->JvPageControl1->currentIndex(), M::TabSheet1);
    answer(box, QMessageBox::Ok);
    EXPECT_TRUE(rig.closes.empty());
}

TEST(ConfigDialogWidgets, OneDialogAtATimeAndItsTabsDoNotChangeTheDialogSize) {
    WidgetRig rig;
    Tfnewconfig* d = rig.openDialog();
    for (int p = 0; p < M::kPages; ++p) {
        if (!M::pageShown(p)) continue;
        d->JvPageControl1->setCurrentIndex(p);
        EXPECT_EQ(d->model().page, p);
    }
    EXPECT_EQ(d->size(), QSize(939, 660));
}

// ---- the MIDI port list read on the reader's worker

// Runs the event loop until `done` holds, for 10 s at most.
bool settleUntil(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000)
        WidgetRig::settle(5);
    return done();
}

QStringList itemTexts(QTreeWidget* t) {
    QStringList l;
    for (int i = 0; i < t->topLevelItemCount(); ++i)
        l << t->topLevelItem(i)->text(0);
    return l;
}

TEST(ConfigDialogWidgets, ThePortListsWaitForTheWorkerWhileTheWindowRuns) {
    GatedReader gate;
    gate.ports.set({"A0", "B0", "C0"});
    WidgetRig rig;
    rig.settled();
    rig.ports = &gate.ports;
    rig.reader = &gate.reader;
    rig.engine.cfg.portconin = QStringLiteral("B0");
    rig.engine.cfg.portconin2 = QStringLiteral("-");
    Tfnewconfig* d = rig.openDialog();
    ConfigDialogModel& m = d->model();
    ASSERT_TRUE(settleUntil([&] { return gate.ports.reads() == 1; }));

    // the UI thread runs on while the read is held
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    ASSERT_TRUE(settleUntil([&] { return ticks >= 5; }));
    QTreeWidget* l1 = d->lists[ControllerPages::listview1];
    QTreeWidget* l4 = d->lists[ControllerPages::ListView4];
    EXPECT_EQ(itemTexts(l1), QStringList{"B0"});
    EXPECT_EQ(l1->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(itemTexts(l4), QStringList{"\u2026"});
    EXPECT_FALSE(l1->isEnabled());
    EXPECT_FALSE(l4->isEnabled());
    EXPECT_FALSE(d->JvHTButton12->isEnabled());
    EXPECT_EQ(gate.ports.recreated, 0);
    // asked again while it runs (the refresh, a second activation): the running read serves
    m.controllers.JvHTButton12Click();
    m.activate();
    WidgetRig::settle();
    EXPECT_EQ(gate.ports.reads(), 1);

    gate.ports.release();
    ASSERT_TRUE(settleUntil([&] { return !gate.reader.reading(); }));
    WidgetRig::settle();
    EXPECT_EQ(gate.ports.reads(), 1);
    EXPECT_EQ(gate.ports.recreated, 1);
    EXPECT_EQ(itemTexts(l1), (QStringList{"A0", "B0", "C0"}));
    EXPECT_EQ(l1->topLevelItem(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(l1->topLevelItem(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(itemTexts(l4), (QStringList{"A0", "B0", "C0"}));
    EXPECT_TRUE(l1->isEnabled());
    EXPECT_TRUE(d->JvHTButton12->isEnabled());
    EXPECT_GT(ticks, 5);

    // the user's choice of controller 2 goes in at OK
    l4->topLevelItem(2)->setCheckState(0, Qt::Checked);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.portconin.get(), "B0");
    EXPECT_EQ(rig.engine.cfg.portconin2.get(), "C0");
}

// Closed while the read is held: the list that comes later fills nothing and re-creates no port
// object, OK keeps the stored ports, and the reader serves the next dialog.
TEST(ConfigDialogWidgets, ADialogClosedBeforeThePortListArrivesTakesNothingFromIt) {
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "CANCEL");
        GatedReader gate;
        gate.ports.set({"A0", "B0"});
        WidgetRig rig;
        rig.settled();
        rig.ports = &gate.ports;
        rig.reader = &gate.reader;
        rig.engine.cfg.portconin = QStringLiteral("B0");
        rig.engine.cfg.portconin2 = QStringLiteral("A0");
        rig.pending.portconin = QStringLiteral("A0");
        Tfnewconfig* d = rig.openDialog();
        ASSERT_TRUE(settleUntil([&] { return gate.ports.reads() == 1; }));
        clickButton(ok ? d->JvHTButton2 : d->JvHTButton1);
        ASSERT_TRUE(settleUntil([&] { return rig.dialog.isNull(); }));
        EXPECT_EQ(rig.closes, std::vector<bool>{ok});
        EXPECT_EQ(rig.engine.cfg.portconin.get(), "B0");
        EXPECT_EQ(rig.engine.cfg.portconin2.get(), "A0");

        gate.ports.release();
        ASSERT_TRUE(settleUntil([&] { return !gate.reader.reading(); }));
        WidgetRig::settle();
        EXPECT_EQ(gate.ports.recreated, 0);

        Tfnewconfig* next = rig.openDialog();
        ASSERT_TRUE(settleUntil([&] { return !gate.reader.reading(); }));
        WidgetRig::settle();
        EXPECT_EQ(gate.ports.reads(), 2);
        EXPECT_EQ(gate.ports.recreated, 1);
        EXPECT_EQ(itemTexts(next->lists[ControllerPages::listview1]), (QStringList{"A0", "B0"}));
    }
}

} // namespace
