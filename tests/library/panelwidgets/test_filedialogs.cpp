// The folder objects, the folder tree and file list, and the three file dialogs (offscreen):
// folders with dots in the tree, the eight audio types in any case, the home folder shown
// first, and each dialog's Accept, Cancel and Close, "Add files" and "Files From Directory"
// driving the Groups panel's adding.
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QWheelEvent>

#include "library/shell/filedialogs.h"
#include "library/shell/tshellfolder.h"
#include "snkins/quor/tquorswitch1.h"
#include "tests/library/panelwidgets/widgetrig.h"

namespace {

void touch(const QString& path, const QByteArray& bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool waitFor(const std::function<bool()>& done) { return WidgetRig::runUntil(done); }

QStringList listed(TShellListView2* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << QFileInfo(list->pathAt(i)).fileName();
    return names;
}

void click(TQuorSwitch1* b) { QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10)); }

TEST(ShellFolder, NamesFlagsOrderAndRoots)
{
    QTemporaryDir d;
    touch(d.filePath("Vol.1/a.mp3"));
    touch(d.filePath("b.MP3"));
    QDir().mkpath(d.filePath("empty"));
    TShellFolder root(nullptr, d.path());
    TShellFolder vol(&root, d.filePath("Vol.1")), b(&root, d.filePath("b.MP3")), empty(&root, d.filePath("empty"));
    TShellFolder inner(&vol, d.filePath("Vol.1/a.mp3"));
    EXPECT_EQ(vol.DisplayName(), "Vol.1");
    EXPECT_TRUE(vol.IsFolder());
    EXPECT_FALSE(b.IsFolder());
    EXPECT_TRUE(root.SubFolders());
    EXPECT_FALSE(vol.SubFolders());
    EXPECT_TRUE(vol.HasSubItems(otNonFolders));
    EXPECT_FALSE(empty.HasSubItems(otFolders | otNonFolders));
    EXPECT_EQ(vol.Level(), 0);
    EXPECT_EQ(inner.Level(), 1);
    EXPECT_TRUE(TShellFolder::lessThan(empty, b));  // folders first
    EXPECT_TRUE(TShellFolder::lessThan(vol, empty) == (QString("Vol.1").compare("empty", Qt::CaseInsensitive) < 0));

    EXPECT_EQ(CreateRootFolder("rfDesktop")->PathName(), "/");
    EXPECT_EQ(CreateRootFolder(d.path())->PathName(), QDir::cleanPath(d.path()));
    EXPECT_EQ(GetCSIDLType("rfPersonal"), int(rfPersonal));
    EXPECT_EQ(GetCSIDLType("/tmp"), -1);
    EXPECT_EQ(RootPath("C:"), "C:/");
    for (const QString& bad : {QString(), d.filePath("missing"), QString("rfPrinters")}) {
        try {
            CreateRootFolder(bad);
            ADD_FAILURE() << bad.toStdString();
        } catch (const ShellError& e) {
            EXPECT_EQ(e.text(), QString("Error setting path: \"%1\"").arg(bad));
        }
    }
    for (const char* name : {"a.mp3", "A.MP3", "a.Flac", "x.aiff", "y.WMA", "z.mp1", "z.Mp2", "w.wav", "o.OGG"})
        EXPECT_TRUE(isAudioFileName(name)) << name;
    for (const char* name : {"a.mp4", "a.txt", "mp3", "a.mp3.part"}) EXPECT_FALSE(isAudioFileName(name)) << name;
}

struct FileDialogs : WidgetRig {
    QByteArray oldHome = qgetenv("HOME");
    QString home;
    void SetUp() override
    {
        WidgetRig::SetUp();
        home = dir.filePath("home");
        QDir().mkpath(home);
        qputenv("HOME", home.toUtf8());
    }
    void TearDown() override
    {
        WidgetRig::TearDown();
        qputenv("HOME", oldHome);
    }
};

TEST_F(FileDialogs, TheTreeShowsFoldersWithDotsAndStartsAtHome)
{
    QDir().mkpath(home + "/Vol.1/Disc 2");
    QDir().mkpath(home + "/My.Music");
    QDir().mkpath(home + "/.hidden");
    touch(home + "/file.mp3");
    TTquorfilesdir2 form;
    form.show();
    EXPECT_EQ(form.windowTitle(), "Files From Directory");
    EXPECT_EQ(form.tffd->GetPath(), QDir::cleanPath(home));
    QFileSystemModel* m = form.tffd->fsModel();
    const QModelIndex h = m->index(home);
    EXPECT_EQ(form.tffd->rootIndex(), m->index("/"));
    EXPECT_TRUE(form.tffd->isExpanded(h));
    ASSERT_TRUE(waitFor([&] { return m->rowCount(h) == 2; })) << m->rowCount(h);
    QStringList names;
    for (int i = 0; i < m->rowCount(h); ++i) names << m->fileName(m->index(i, 0, h));
    names.sort();
    EXPECT_EQ(names, QStringList({"My.Music", "Vol.1"}));
    // the wheel over the tree moves the selection by one folder, towards the user downwards:
    // from the expanded home folder into its first folder and back
    form.tffd->SetPath(home);
    QWheelEvent down(QPointF(20, 20), form.tffd->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form.tffd->viewport(), &down);
    EXPECT_EQ(QFileInfo(form.tffd->GetPath()).path(), QDir::cleanPath(home));
    QWheelEvent up(QPointF(20, 20), form.tffd->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form.tffd->viewport(), &up);
    EXPECT_EQ(form.tffd->GetPath(), QDir::cleanPath(home));
    form.tffd->SetPath(home + "/Vol.1/Disc 2");
    EXPECT_EQ(form.tffd->GetPath(), home + "/Vol.1/Disc 2");
    EXPECT_THROW(form.tffd->SetPath(home + "/none"), ShellError);
}

TEST_F(FileDialogs, FilesFromDirectoryTreeTakingTheFocusWithNothingSelectedSelectsTheFirstFolder)
{
    TTquorfilesdir2 form;
    form.show();
    const QString home = form.tffd->GetPath();
    // a current folder is kept
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(form.tffd, &in);
    EXPECT_EQ(form.tffd->GetPath(), home);
    // with none, the first folder under the root becomes current
    form.tffd->setCurrentIndex(QModelIndex());
    ASSERT_EQ(form.tffd->GetPath(), QString());
    QApplication::sendEvent(form.tffd, &in);
    const QModelIndex first = form.tffd->model()->index(0, 0, form.tffd->rootIndex());
    ASSERT_TRUE(first.isValid());
    EXPECT_EQ(form.tffd->currentIndex(), first);
    EXPECT_FALSE(form.tffd->GetPath().isEmpty());
}

TEST_F(FileDialogs, AddFilesOffersTheEightTypesInAnyCase)
{
    const QString in = home + "/in";
    for (const char* n : {"song.MP3", "b.mp3", "a.Flac", "c.aiff", "d.WAV", "e.ogg", "f.Mp1", "g.mp2", "h.wma", "notes.txt",
                          "clip.mp4"})
        touch(in + "/" + n);
    QDir().mkpath(in + "/sub.dir");
    TTquoropendialog2 form;
    form.show();
    bool read = false;
    QObject::connect(form.fb1, &TShellListView2::populated, [&] { read = true; });
    form.tffd->SetPath(in);
    ASSERT_TRUE(waitFor([&] { return read; }));
    EXPECT_EQ(listed(form.fb1), QStringList({"a.Flac", "b.mp3", "c.aiff", "d.WAV", "e.ogg", "f.Mp1", "g.mp2", "h.wma",
                                             "song.MP3"}));
}

TEST_F(FileDialogs, RecordingTakesTheNameOfADoubleClickedFile)
{
    QDir().mkpath(home + "/rec");
    touch(home + "/rec/mix.final.wav");
    for (const char* other : {"older.MP3", "b.ogg", "c.Wma", "d.flac", "e.txt"}) touch(home + "/rec/" + other);
    TTquorsavedialog2 form;
    form.show();
    EXPECT_EQ(form.Edit1->text(), "Recording");
    form.tffd->SetPath(home + "/rec");
    EXPECT_EQ(form.fileName(), home + "/rec/Recording.wav");
    ASSERT_TRUE(waitFor([&] { return form.fb1->count() == 4; })) << form.fb1->count();
    EXPECT_EQ(listed(form.fb1), QStringList({"b.ogg", "c.Wma", "mix.final.wav", "older.MP3"}));
    emit form.fb1->itemDoubleClicked(form.fb1->pathAt(2));
    EXPECT_EQ(form.Edit1->text(), "mix.final");
    EXPECT_EQ(form.fileName(), home + "/rec/mix.final.wav");
    // the main window binds Cancel itself: the form's own abort is off then
    bool cancelled = false;
    form.replaceCancel();
    QObject::connect(&form, &TQuorFileForm::cancelled, [&] { cancelled = true; });
    click(form.bffd2);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(form.abort);
    EXPECT_TRUE(form.isVisible());
    // Accept is the creator's; Close sets abort and shuts the form
    bool accepted = false, closed = false;
    QObject::connect(&form, &TQuorFileForm::accepted_, [&] { accepted = true; });
    QObject::connect(&form, &TQuorFileForm::closedByUser, [&] { closed = true; });
    click(form.bffd1);
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(form.isVisible());
    click(form.QuorSwitch13);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(form.abort);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(FileDialogs, AddFromDirAcceptScansTheFolderAndCloses)
{
    build();
    const QString in = home + "/scan";
    touch(in + "/b.mp3", mp3::frames(1));
    touch(in + "/A.WAV", "RIFF");
    touch(in + "/Vol.1/c.Flac", "fLaC");
    touch(in + "/Vol.1/readme.txt");
    ep->bclick3();
    TTquorfilesdir2* form = ep->mfilesdir;
    ASSERT_TRUE(form->isVisible()) << ep->logic().busqueda << " " << form->isHidden() << " " << form->parentWidget();
    EXPECT_FALSE(main.mainRunning());
    form->tffd->SetPath(in);
    click(form->bffd1);
    ASSERT_TRUE(waitFor([&] { return !form->isVisible(); }));
    EXPECT_TRUE(main.mainRunning());
    // the folder's own files by type, then its subfolder's
    EXPECT_EQ(sql->db().GetTableStrings("SELECT fichero FROM songs WHERE tipo = 0 ORDER BY id"),
              QStringList({in + "/b.mp3", in + "/A.WAV", in + "/Vol.1/c.Flac"}));
    EXPECT_EQ(ep->sg->RowCount(), 4);
    EXPECT_EQ(ep->sg->Row(), 3);  // the last row is current
}

TEST_F(FileDialogs, AddFilesAcceptAddsTheSelectionAndCloses)
{
    build();
    const QString in = home + "/in";
    touch(in + "/One - First.mp3", mp3::frames(2));
    touch(in + "/Two.FLAC", "fLaC");
    touch(in + "/skip.txt");
    ep->bclick1();
    TTquoropendialog2* form = ep->mfilesopen;
    ASSERT_TRUE(form->isVisible());
    EXPECT_FALSE(main.mainRunning());
    EXPECT_EQ(form->lffd->text(), " ");
    form->tffd->SetPath(in);
    ASSERT_TRUE(waitFor([&] { return form->fb1->count() == 2; }));
    form->fb1->selectAll();
    click(form->bffd1);
    ASSERT_TRUE(waitFor([&] { return !form->isVisible(); }));
    EXPECT_TRUE(main.mainRunning());
    EXPECT_EQ(ep->sg->RowCount(), 3);
    EXPECT_EQ(sql->db().GetTableStrings("SELECT artista FROM songs WHERE tipo = 0 ORDER BY artista"),
              QStringList({"One ", "TWO"}));
    EXPECT_EQ(form->pffd->value(), form->pffd->maximum());
}

TEST_F(FileDialogs, CancelStopsAddingAndKeepsTheFormOpenCloseShutsIt)
{
    build();
    const QString in = home + "/many";
    for (int i = 0; i < 400; ++i) touch(in + QString("/t%1.mp3").arg(i, 3, 10, QChar('0')), mp3::frames(1));
    ep->bclick3();
    TTquorfilesdir2* form = ep->mfilesdir;
    ASSERT_TRUE(form->isVisible());
    form->tffd->SetPath(in);
    click(form->bffd1);
    click(form->bffd2);  // before the worker's next file
    EXPECT_TRUE(form->abort);
    ASSERT_TRUE(waitFor([&] { return !ep->logic().addingRunning(); }));
    EXPECT_TRUE(form->isVisible());
    const int added = sql->db().GetTableValue("SELECT count(*) FROM songs WHERE tipo = 0");
    EXPECT_LT(added, 400);
    EXPECT_EQ(ep->sg->RowCount() - 1, std::max(added, 1));

    // Accept again goes on; Close stops and shuts the form
    click(form->bffd1);
    EXPECT_FALSE(form->abort);
    click(form->QuorSwitch13);
    EXPECT_TRUE(form->abort);
    EXPECT_FALSE(form->isVisible());
    ASSERT_TRUE(waitFor([&] { return !ep->logic().addingRunning(); }));
    EXPECT_TRUE(main.mainRunning());
    EXPECT_LE(sql->db().GetTableValue("SELECT count(*) FROM songs WHERE tipo = 0"), 400);
}

}  // namespace
