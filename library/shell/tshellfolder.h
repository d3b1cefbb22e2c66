// The folder objects that the file dialogs' tree and list show: one TShellFolder per folder or
// file, with its name, path, folder and has-subfolder flags, icon and sort order, read from the
// file system (QFileInfo, QFileIconProvider). Context-menu verbs, detail providers and property
// sheets are not offered.
//
// Roots: a root text is a root name ("rfDesktop", "rfPersonal", ...) or a path. The desktop of
// this system is the file system's root "/"; the other names are the user's folders.
#pragma once

#include <memory>
#include <stdexcept>

#include <QFileInfo>
#include <QIcon>
#include <QString>
#include <QStringList>

enum TShellObjectType { otFolders = 1, otNonFolders = 2, otHidden = 4 };

enum TRootFolder {
    rfDesktop, rfMyComputer, rfNetwork, rfRecycleBin, rfAppData, rfCommonDesktopDirectory,
    rfCommonPrograms, rfCommonStartMenu, rfCommonStartup, rfControlPanel, rfDesktopDirectory,
    rfFavorites, rfFonts, rfInternet, rfPersonal, rfPrinters, rfPrintHood, rfPrograms, rfRecent,
    rfSendTo, rfStartMenu, rfStartup, rfTemplates
};

// A failure of a folder operation; its text is the user's message.
class ShellError : public std::runtime_error {
public:
    explicit ShellError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    QString text() const { return text_; }

private:
    QString text_;
};

class TShellFolder {
public:
    // an item of parent's folder (parent null: an item with no parent, a root)
    TShellFolder(const TShellFolder* parent, const QString& path);

    const TShellFolder* Parent() const { return parent_; }
    int Level() const { return level_; }  // ancestors above the parent
    QString PathName() const { return path_; }
    QString DisplayName() const;
    bool IsFolder() const { return info_.isDir(); }
    bool SubFolders() const;  // a folder holding at least one folder (links to folders not counted)
    // whether the folder holds at least one item of the kinds (otFolders | otNonFolders | otHidden)
    bool HasSubItems(int objectTypes) const;
    QIcon ImageIcon(bool open = false) const;

    // The list's order: folders before files, then by name ignoring case (then exactly).
    static bool lessThan(const TShellFolder& a, const TShellFolder& b);

private:
    const TShellFolder* parent_;
    int level_ = 0;
    QString path_;
    QFileInfo info_;
};

// The root named by text: a TRootFolder name or a path (a path ending in ":" is taken as a
// folder). Throws ShellError "Error setting path: \"text\"" for a missing path or an empty text.
std::unique_ptr<TShellFolder> CreateRootFolder(const QString& root);
// The folder a root text stands for, or nothing.
QString RootPath(const QString& root);
// The TRootFolder of a name, -1 for a path or an unknown name.
int GetCSIDLType(const QString& name);

// The audio files that adding accepts, as name patterns of the dialogs' lists (any case).
QStringList audioFilePatterns();
// the patterns' test for one name, ignoring case
bool isAudioFileName(const QString& name);
