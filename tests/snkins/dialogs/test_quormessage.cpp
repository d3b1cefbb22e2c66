#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <thread>

#include "snkins/dialogs/mainloophook.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "tests/snkins/quor/kitapp.h"
#include "tests/support/fakemainservices.h"

namespace {

class QuorMessage : public ::testing::Test {
protected:
    void SetUp() override
    {
        kitApp();
        setMainLoopHost(&main);
    }
    void TearDown() override { setMainLoopHost(nullptr); }

    // presses and releases a switch of the box, as the user does
    static void pressSwitch(TQuorSwitch1* b) { click(b, QPoint(40, 10)); }

    FakeMainServices main;
};

TEST_F(QuorMessage, CreationPausesTheMainLoop)
{
    Ttquormessage box;
    ASSERT_EQ(main.calls.size(), 1u);
    EXPECT_FALSE(main.calls[0]);
    EXPECT_FALSE(main.mainRunning());
    EXPECT_FALSE(box.isVisible());
}

TEST_F(QuorMessage, TimeOutAnswersTrueAndLetsTheMainLoopRun)
{
    Ttquormessage box;
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(box.MessageDlg(QStringLiteral("Warning "), QStringLiteral("Audio format not sopported !  "), 150, 0, 1));
    EXPECT_GE(clock.elapsed(), 140);
    EXPECT_TRUE(main.mainRunning());
    EXPECT_EQ(main.calls, (std::vector<bool>{false, true}));
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.waiting());
}

TEST_F(QuorMessage, TwoButtonsSitLeftAndRightAndCancelAnswersFalse)
{
    Ttquormessage box;
    bool checked = false;
    QObject::connect(&box, &Ttquormessage::shownWaiting, &box, [&] {
        QTimer::singleShot(0, &box, [&] {
            checked = true;
            EXPECT_TRUE(box.isVisible());
            EXPECT_EQ(box.pdt->tcaplabel->text(), QStringLiteral("Remove"));
            EXPECT_EQ(box.Label1->text(), QStringLiteral("Are you sure?"));
            EXPECT_TRUE(box.bffd1->isVisible());
            EXPECT_TRUE(box.bffd2->isVisible());
            EXPECT_EQ(box.bffd1->x(), 10);
            EXPECT_EQ(box.bffd2->x(), box.width() - 108);
            pressSwitch(box.bffd2);
        });
    });
    EXPECT_FALSE(box.MessageDlg(QStringLiteral("Remove"), QStringLiteral("Are you sure?"), 0, 1, 2));
    EXPECT_TRUE(checked);
    EXPECT_TRUE(main.mainRunning());
}

TEST_F(QuorMessage, OneButtonSitsInTheMiddleAndAcceptAnswersTrue)
{
    Ttquormessage box;
    QObject::connect(&box, &Ttquormessage::shownWaiting, &box, [&] {
        QTimer::singleShot(0, &box, [&] {
            EXPECT_FALSE(box.bffd2->isVisible());
            EXPECT_EQ(box.bffd1->x(), (box.width() - 98) / 2);
            pressSwitch(box.bffd1);
        });
    });
    EXPECT_TRUE(box.MessageDlg(QStringLiteral("Warning "), QStringLiteral("Can't start Asio Output !  "), 0, 0, 1));
}

// Box B opens while box A waits. Each caller gets its own box's answer; the inner wait ends
// first whichever box is answered first.
TEST_F(QuorMessage, ABoxOpenedWhileAnotherWaitsKeepsItsOwnAnswer)
{
    for (bool innerFirst : {true, false}) {
        SCOPED_TRACE(innerFirst);
        Ttquormessage a, b;
        std::vector<QString> log;
        bool answerB = false;
        QObject::connect(&a, &Ttquormessage::shownWaiting, &a, [&] {
            QTimer::singleShot(0, &a, [&] {
                answerB = b.MessageDlg(QStringLiteral("B"), QStringLiteral("inner"), 0, 0, 2);
                log.push_back(QStringLiteral("B returned"));
            });
        });
        QObject::connect(&b, &Ttquormessage::shownWaiting, &b, [&] {
            QTimer::singleShot(0, &b, [&] {
                if (innerFirst) {
                    pressSwitch(b.bffd2);  // B: Cancel
                    QTimer::singleShot(0, &a, [&] { pressSwitch(a.bffd1); });  // then A: Accept
                } else {
                    pressSwitch(a.bffd1);  // A: Accept while B still waits
                    EXPECT_TRUE(b.waiting());
                    QTimer::singleShot(0, &b, [&] { pressSwitch(b.bffd2); });
                }
            });
        });
        const bool answerA = a.MessageDlg(QStringLiteral("A"), QStringLiteral("outer"), 0, 0, 2);
        log.push_back(QStringLiteral("A returned"));
        EXPECT_TRUE(answerA);
        EXPECT_FALSE(answerB);
        EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("B returned"), QStringLiteral("A returned")}));
        EXPECT_FALSE(a.waiting());
        EXPECT_FALSE(b.waiting());
    }
}

TEST_F(QuorMessage, TheSameBoxAskedAgainWhileItWaitsOpensASecondBox)
{
    Ttquormessage box;
    bool inner = true;
    QObject::connect(&box, &Ttquormessage::shownWaiting, &box, [&] {
        QTimer::singleShot(0, &box, [&] {
            // the second message times out by itself; then the first is cancelled
            inner = box.MessageDlg(QStringLiteral("Warning "), QStringLiteral("second"), 50, 0, 1);
            EXPECT_EQ(box.Label1->text(), QStringLiteral("first"));
            pressSwitch(box.bffd2);
        });
    });
    EXPECT_FALSE(box.MessageDlg(QStringLiteral("Warning "), QStringLiteral("first"), 0, 0, 2));
    EXPECT_TRUE(inner);
}

TEST_F(QuorMessage, AWorkerThreadsBoxOpensOnTheUiThreadAndTheWorkerGoesOn)
{
    Ttquormessage box;
    QSignalSpy shown(&box, &Ttquormessage::shownWaiting);
    bool answered = false;
    std::thread worker([&] {
        answered = box.MessageDlg(QStringLiteral("Warning "), QStringLiteral("Audio format not sopported !  "), 0, 0, 1);
    });
    worker.join();  // returned without anyone answering
    EXPECT_TRUE(answered);
    EXPECT_EQ(shown.count(), 0);
    EXPECT_FALSE(box.isVisible());
    // the box opens when the UI thread takes the posted call; answer it from inside the wait
    QObject::connect(&box, &Ttquormessage::shownWaiting, &box, [&] {
        QTimer::singleShot(0, &box, [&] {
            EXPECT_TRUE(box.isVisible());
            EXPECT_EQ(box.Label1->text(), QStringLiteral("Audio format not sopported !  "));
            pressSwitch(box.bffd1);
        });
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.count() == 1 && !box.waiting(); }, 5000));
    EXPECT_FALSE(box.isVisible());
}

TEST_F(QuorMessage, DestroyingAWaitingBoxLetsItsCallerGo)
{
    auto* box = new Ttquormessage;
    QObject::connect(box, &Ttquormessage::shownWaiting, box, [box] { QTimer::singleShot(0, [box] { delete box; }); });
    EXPECT_FALSE(box->MessageDlg(QStringLiteral("Warning "), QStringLiteral("gone"), 0, 0, 1));
}

}  // namespace
