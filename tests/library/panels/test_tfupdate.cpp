#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include "library/panels/tfupdate.h"
#include "snkins/vr/tvrprogressbar.h"
#include "tests/snkins/quor/kitapp.h"

TEST(ExplorerUpdateForm, VersionAndCheck)
{
    const QString v = TFupdate::GetAppVersion();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(v).hasMatch()) << v.toStdString();
    EXPECT_TRUE(v.startsWith(QStringLiteral(OSTREL_VERSION_TEST))) << v.toStdString();
    EXPECT_TRUE(TFupdate::checkit(v));
    EXPECT_TRUE(TFupdate::checkit(QStringLiteral("9.9.9.9")));
}

TEST(ExplorerUpdateForm, TheFormAndItsCancel)
{
    kitApp();
    TFupdate form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Korvanta Update"));
    EXPECT_EQ(form.size(), QSize(604, 301));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Welcome to Korvanta Update"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("A new version is released and you can download and install it."));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("This new version has new features and fixes some bugs."));
    EXPECT_EQ(form.Label4->text(), QStringLiteral("We strongly recommend installing this update."));
    EXPECT_EQ(form.VrProgressBar1->Position(), 50);
    EXPECT_EQ(form.VrProgressBar1->geometry(), QRect(181, 221, 396, 19));
    EXPECT_FALSE(form.Image1->pixmap().isNull()) << "the picture is in the explorer set";
    EXPECT_EQ(form.Image1->pos(), QPoint(8, 8));
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Update Now"));
    form.show();
    ASSERT_TRUE(form.isVisible());
    form.Button1->click();
    EXPECT_TRUE(form.isVisible()) << "Update Now does nothing";
    form.Button2->click();
    EXPECT_FALSE(form.isVisible());
}
