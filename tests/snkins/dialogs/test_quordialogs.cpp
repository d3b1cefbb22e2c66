#include <gtest/gtest.h>

#include <QClipboard>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include "snkins/dialogs/mainloophook.h"
#include "snkins/dialogs/tfinfo2.h"
#include "snkins/dialogs/tplimbprogress.h"
#include "snkins/dialogs/tsplashform.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "tests/snkins/quor/kitapp.h"
#include "tests/support/fakemainservices.h"

namespace {

class QuorDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        kitApp();
        setMainLoopHost(&main);
    }
    void TearDown() override
    {
        setMainLoopHost(nullptr);
        QLocale::setDefault(QLocale::c());
    }
    FakeMainServices main;
};

using QuorProgress = QuorDialogs;
using QuorInfo = QuorDialogs;
using QuorSplash = QuorDialogs;

TEST_F(QuorProgress, CancelFiresOnCancelBeforeTheDialogHides)
{
    TPlimbprogress dlg;
    EXPECT_EQ(dlg.size(), QSize(388, 176));
    EXPECT_EQ(dlg.Label1->text(), QStringLiteral("Files"));
    EXPECT_EQ(dlg.progress->value(), 0);
    EXPECT_FALSE(dlg.pdt->tcappanel->isVisibleTo(dlg.pdt));
    dlg.show();
    bool visibleAtCancel = false;
    QObject::connect(&dlg, &TPlimbprogress::OnCancel, [&] { visibleAtCancel = dlg.isVisible(); });
    click(dlg.bffd2, QPoint(40, 10));
    EXPECT_TRUE(visibleAtCancel);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(QuorInfo, BpmHalvedDoubledAndClearedInTheUsersLocale)
{
    struct Case {
        QLocale locale;
        const char *before, *halved, *doubled;
    };
    const Case cases[] = {
        {QLocale::c(), "128.000", "064.000", "256.000"},
        {QLocale(QLocale::German, QLocale::Germany), "128,000", "064,000", "256,000"},
        {QLocale::c(), "95.5", "047.750", "191.000"},
        {QLocale::c(), "1200", "600.000", "2400.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        QLocale::setDefault(c.locale);
        Tfinfo2 dlg;
        dlg.e1->setText(QString::fromLatin1(c.before));
        dlg.Button1->click();
        EXPECT_EQ(dlg.e1->text(), QString::fromLatin1(c.halved));
        dlg.e1->setText(QString::fromLatin1(c.before));
        dlg.Button2->click();
        EXPECT_EQ(dlg.e1->text(), QString::fromLatin1(c.doubled));
    }
    Tfinfo2 dlg;
    dlg.e1->setText(QStringLiteral("fast"));
    dlg.Button1->click();
    dlg.Button2->click();
    EXPECT_EQ(dlg.e1->text(), QStringLiteral("fast"));
    dlg.Button3->click();
    EXPECT_EQ(dlg.e1->text(), QStringLiteral("000,000"));
    EXPECT_EQ(dlg.TIPO->text(), QStringLiteral("AUDIO"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Track Info"));
}

TEST_F(QuorInfo, DoubleClickOnThePathCopiesIt)
{
    Tfinfo2 dlg;
    dlg.Label9->setText(QStringLiteral("/music/a b.mp3"));
    sendMouse(dlg.Label9, QEvent::MouseButtonDblClick, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/music/a b.mp3"));
}

TEST_F(QuorSplash, Image1ClicksWaitForTheStartUpToEnd)
{
    Tsplashform splash;
    splash.show();
    EXPECT_TRUE(splash.firsttime);
    EXPECT_TRUE(splash.Image1->isVisible());
    EXPECT_FALSE(splash.Image2->isVisible());
    main.calls.clear();
    click(splash.Image1, QPoint(300, 100));
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(main.calls.empty());

    splash.firsttime = false;
    click(splash.Image1, QPoint(300, 100));
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(main.calls, std::vector<bool>{true});
}

TEST_F(QuorSplash, Image2ClicksAlwaysClose)
{
    Tsplashform splash;
    splash.show();
    splash.Image2->show();
    splash.Image2->raise();
    main.calls.clear();
    click(splash.Image2, QPoint(300, 100));
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(main.calls, std::vector<bool>{true});
    // shown again: the start picture in front, the second hidden
    splash.show();
    EXPECT_TRUE(splash.Image1->isVisible());
    EXPECT_FALSE(splash.Image2->isVisible());
}

TEST_F(QuorSplash, FuchsiaIsCutOutOfTheWindow)
{
    Tsplashform splash;
    splash.show();
    const QRegion shape = splash.mask();
    ASSERT_FALSE(shape.isEmpty());
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(678, 320)));
    EXPECT_TRUE(shape.contains(QPoint(339, 160)));
    EXPECT_TRUE(shape.contains(QPoint(19, 0)));
    for (QWidget* w : {static_cast<QWidget*>(splash.sp1), static_cast<QWidget*>(splash.Loading),
                       static_cast<QWidget*>(splash.version)})
        EXPECT_TRUE(shape.contains(w->geometry().center()));
    EXPECT_EQ(splash.sp1->geometry(), QRect(560, 277, 104, 9));
    EXPECT_EQ(splash.Loading->text(), QStringLiteral("Loading..."));
    EXPECT_EQ(splash.version->text(), QStringLiteral("Release"));
    EXPECT_EQ(splash.sp1->value(), 5);
}

TEST_F(QuorSplash, ActivationPausesTheMainLoop)
{
    Tsplashform splash;
    splash.show();
    main.calls.clear();
    QApplication::setActiveWindow(&splash);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.calls.empty(); }, 2000));
    EXPECT_FALSE(main.calls.front());
}

}  // namespace
