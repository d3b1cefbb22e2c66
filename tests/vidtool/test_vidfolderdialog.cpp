// The folder choice of the downloader's window: a missing folder opens the dialog at start,
// and the folder chosen, or the one shown when the dialog is cancelled, is written to cfg.txt.
#include <QSignalSpy>
#include <QTest>

#include "tests/vidtool/vidtestsupport.h"
#include "vidtool/tdownload.h"

using vidtest::PrivateRoot;

TEST(VidWindow, MissingFolderOpensTheDialogAndCancelStillRewritesCfg)
{
    vidtest::app();
    PrivateRoot root;
    const QString gone = root.path("gone");
    vidtest::writeFile(root.profile + "cfg.txt", gone.toUtf8() + "\n");
    tdownload w(root.profile, VideoEngine{});
    QSignalSpy chosen(&w, &tdownload::folderChosen);
    QTRY_VERIFY_WITH_TIMEOUT(w.jsd && w.jsd->isVisible(), 5000);
    w.jsd->reject();
    ASSERT_EQ(chosen.size(), 1);
    // the missing folder stays configured, now ending in "/"
    EXPECT_EQ(w.downloadto->text(), gone + "/");
    EXPECT_EQ(vidtest::readAll(root.profile + "cfg.txt"), gone + "/\n");
}

TEST(VidWindow, SelectDirWritesTheChosenFolder)
{
    vidtest::app();
    PrivateRoot root;
    tdownload w(root.profile, VideoEngine{});
    EXPECT_EQ(w.jsd, nullptr);  // made when first asked for
    const QString other = root.path("other");
    QDir().mkpath(other);
    QSignalSpy chosen(&w, &tdownload::folderChosen);
    w.QuorSwitch11Click();
    ASSERT_TRUE(w.jsd && w.jsd->isVisible());
    w.jsd->setDirectory(other);
    w.jsd->selectFile(other);
    static_cast<QDialog*>(w.jsd)->accept();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(w.downloadto->text(), other + "/");
    EXPECT_EQ(vidtest::readAll(w.cfgPath()), other + "/\n");
}
