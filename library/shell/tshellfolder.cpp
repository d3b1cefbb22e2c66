#include "library/shell/tshellfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileIconProvider>
#include <QStandardPaths>

namespace {

const char* const kRootNames[] = {
    "rfDesktop", "rfMyComputer", "rfNetwork", "rfRecycleBin", "rfAppData", "rfCommonDesktopDirectory",
    "rfCommonPrograms", "rfCommonStartMenu", "rfCommonStartup", "rfControlPanel", "rfDesktopDirectory",
    "rfFavorites", "rfFonts", "rfInternet", "rfPersonal", "rfPrinters", "rfPrintHood", "rfPrograms", "rfRecent",
    "rfSendTo", "rfStartMenu", "rfStartup", "rfTemplates"};

QString standard(QStandardPaths::StandardLocation where)
{
    return QStandardPaths::writableLocation(where);
}

QFileIconProvider& icons()
{
    static QFileIconProvider provider;
    return provider;
}

}  // namespace

TShellFolder::TShellFolder(const TShellFolder* parent, const QString& path)
    : parent_(parent), path_(path), info_(path)
{
    for (const TShellFolder* p = parent ? parent->Parent() : nullptr; p; p = p->Parent()) ++level_;
}

QString TShellFolder::DisplayName() const
{
    const QString name = info_.fileName();
    return name.isEmpty() ? path_ : name;  // "/" shows as itself
}

bool TShellFolder::SubFolders() const { return IsFolder() && HasSubItems(otFolders); }

bool TShellFolder::HasSubItems(int objectTypes) const
{
    if (!IsFolder()) return false;
    QDir::Filters f = QDir::NoDotAndDotDot;
    if (objectTypes & otFolders) f |= QDir::Dirs;
    if (objectTypes & otNonFolders) f |= QDir::Files;
    if (objectTypes & otHidden) f |= QDir::Hidden;
    // an unreadable folder or an empty drive simply answers no
    QDirIterator it(path_, f);
    return it.hasNext();
}

QIcon TShellFolder::ImageIcon(bool open) const
{
    if (IsFolder()) return icons().icon(open ? QFileIconProvider::Folder : QFileIconProvider::Folder);
    return icons().icon(info_);
}

bool TShellFolder::lessThan(const TShellFolder& a, const TShellFolder& b)
{
    if (a.IsFolder() != b.IsFolder()) return a.IsFolder();
    const int c = QString::compare(a.DisplayName(), b.DisplayName(), Qt::CaseInsensitive);
    if (c != 0) return c < 0;
    return a.DisplayName() < b.DisplayName();
}

int GetCSIDLType(const QString& name)
{
    for (int i = 0; i < int(std::size(kRootNames)); ++i)
        if (name == QLatin1String(kRootNames[i])) return i;
    return -1;
}

QString RootPath(const QString& root)
{
    switch (GetCSIDLType(root)) {
    case rfDesktop:
    case rfMyComputer: return QStringLiteral("/");
    case rfPersonal: return standard(QStandardPaths::DocumentsLocation);
    case rfDesktopDirectory: return standard(QStandardPaths::DesktopLocation);
    case rfAppData: return standard(QStandardPaths::GenericDataLocation);
    case rfFonts: return standard(QStandardPaths::FontsLocation);
    case rfPrograms:
    case rfStartMenu: return standard(QStandardPaths::ApplicationsLocation);
    case rfTemplates: return QDir::home().filePath(QStringLiteral("Templates"));
    case -1: break;
    default: return QString();  // no such place here
    }
    if (root.isEmpty()) return QString();
    QString path = root;
    if (path.endsWith(QLatin1Char(':'))) path += QLatin1Char('/');
    return path;
}

std::unique_ptr<TShellFolder> CreateRootFolder(const QString& root)
{
    const QString path = RootPath(root);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        throw ShellError(QStringLiteral("Error setting path: \"%1\"").arg(root));
    return std::make_unique<TShellFolder>(nullptr, QDir::cleanPath(path));
}

QStringList audioFilePatterns()
{
    return {QStringLiteral("*.mp3"), QStringLiteral("*.wav"), QStringLiteral("*.ogg"), QStringLiteral("*.mp1"),
            QStringLiteral("*.mp2"), QStringLiteral("*.wma"), QStringLiteral("*.flac"), QStringLiteral("*.aiff")};
}

bool isAudioFileName(const QString& name)
{
    for (const QString& p : audioFilePatterns())
        if (name.endsWith(p.mid(1), Qt::CaseInsensitive)) return true;
    return false;
}
