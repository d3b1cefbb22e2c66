#include "snkins/vs/tvsgraphics.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "snkins/vs/skinerror.h"
#include "snkins/vs/vsstream.h"

namespace {

// The graphic's name as a plain file name inside `folder`: no folder part (either
// separator), never "." or "..".
QString fileInFolder(const QString& folder, const QString& name)
{
    QString plain = name;
    const qsizetype cut = qMax(plain.lastIndexOf(QLatin1Char('/')), plain.lastIndexOf(QLatin1Char('\\')));
    if (cut >= 0) plain = plain.mid(cut + 1);
    if (plain.isEmpty() || plain == QLatin1String(".") || plain == QLatin1String(".."))
        throw SkinError(QStringLiteral("Invalid file name \"%1\".").arg(name));
    return folder + plain;
}

// Every file error of the collection: the system's wording plus the device's reason.
[[noreturn]] void fileError(const char* what, const QString& path, const QString& reason)
{
    throw SkinError(QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), path, reason));
}

// The file of that name in the folder; when there is none, one whose name differs only in
// case (packs made elsewhere spell names as their file system let them).
QString existingFileInFolder(const QString& folder, const QString& name)
{
    const QString path = fileInFolder(folder, name);
    if (QFile::exists(path)) return path;
    const QString plain = path.mid(folder.size());
    for (const QString& entry : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (entry.compare(plain, Qt::CaseInsensitive) == 0) return folder + entry;
    return path;
}

class UpdateBracket {
public:
    explicit UpdateBracket(TVsPersistent& p) : p_(p) { p_.BeginUpdate(); }
    ~UpdateBracket() { p_.EndUpdate(); }

private:
    TVsPersistent& p_;
};

}  // namespace

TVsGraphics::TVsGraphics(QObject* parent) : TVsPersistent(parent) {}

TVsGraphics::~TVsGraphics() = default;

void TVsGraphics::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw SkinError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

TVsGraphic* TVsGraphics::Items(int index) const
{
    CheckIndex(index);
    return FItems[size_t(index)].get();
}

void TVsGraphics::SetItems(int index, const TVsGraphic* graphic)
{
    Items(index)->Assign(graphic);
    Changed();
}

int TVsGraphics::Add(const TVsGraphic* graphic)
{
    Insert(Count(), graphic);
    return Count() - 1;
}

void TVsGraphics::Insert(int index, const TVsGraphic* graphic)
{
    if (index < 0 || index > Count())
        throw SkinError(QStringLiteral("List index out of bounds (%1)").arg(index));
    auto copy = std::make_unique<TVsGraphic>();
    copy->Assign(graphic);
    FItems.insert(FItems.begin() + index, std::move(copy));
    Changed();
}

void TVsGraphics::Delete(int index)
{
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TVsGraphics::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
    Changed();
}

void TVsGraphics::Move(int curIndex, int newIndex)
{
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    auto item = std::move(FItems[size_t(curIndex)]);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, std::move(item));
    Changed();
}

int TVsGraphics::IndexOf(const TVsGraphic* graphic) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].get() == graphic) return i;
    return -1;
}

int TVsGraphics::IndexByName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)]->Name().compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void TVsGraphics::Clear()
{
    UpdateBracket bracket(*this);
    while (!FItems.empty()) Delete(Count() - 1);
}

void TVsGraphics::Assign(const TVsGraphics* source)
{
    if (source == this) return;
    UpdateBracket bracket(*this);
    Clear();
    if (!source) return;
    for (const auto& g : source->FItems) Add(g.get());
}

void TVsGraphics::LoadFromStream(QIODevice& stream)
{
    Clear();
    if (readStreamInt32(stream) != FileId) throw SkinError(QStringLiteral("Invalid file format."));
    const qint32 count = readStreamInt32(stream);
    TVsGraphic scratch;
    for (qint32 i = 0; i < count; ++i) {
        const qint32 nameLength = readStreamInt32(stream);
        scratch.SetName(nameLength > 0 ? QString::fromLatin1(readStreamBytes(stream, nameLength)) : QString());
        if (readStreamByte(stream) != 0) {
            scratch.SetBitmap(QImage());
        } else {
            QByteArray file = readStreamBytes(stream, 14);
            const qint64 size = littleEndianAt(file, 2, 4);
            if (size < 14) throw SkinError(QStringLiteral("Bitmap image is not valid"));
            appendStreamBytes(stream, size - 14, file);
            scratch.LoadBitmapFromBmp(file);
        }
        Add(&scratch);
    }
}

void TVsGraphics::SaveToStream(QIODevice& stream) const
{
    writeStreamInt32(stream, FileId);
    writeStreamInt32(stream, Count());
    for (const auto& g : FItems) {
        const QByteArray name = g->Name().toLatin1();
        writeStreamInt32(stream, qint32(name.size()));
        writeStreamBytes(stream, name);
        const bool empty = g->Bitmap().isNull();
        writeStreamBytes(stream, QByteArray(1, empty ? '\1' : '\0'));
        if (!empty) writeStreamBytes(stream, g->BmpFileImage());
    }
}

void TVsGraphics::LoadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fileError("Cannot open file", path, file.errorString());
    UpdateBracket bracket(*this);
    LoadFromStream(file);
}

void TVsGraphics::SaveToFile(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) fileError("Cannot create file", path, file.errorString());
    SaveToStream(file);
    if (!file.commit()) fileError("Cannot create file", path, file.errorString());
}

void TVsGraphics::LoadFromFolder(const QString& folder)
{
    UpdateBracket bracket(*this);
    for (const auto& g : FItems) {
        QFile file(existingFileInFolder(folder, g->Name()));
        if (!file.open(QIODevice::ReadOnly)) fileError("Cannot open file", file.fileName(), file.errorString());
        g->LoadBitmapFromBmp(readStreamBytes(file, file.size()));
    }
}

void TVsGraphics::SaveToFolder(const QString& folder) const
{
    for (const auto& g : FItems) {
        QSaveFile file(fileInFolder(folder, g->Name()));
        const QByteArray bytes = g->BmpFileImage();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            fileError("Cannot create file", file.fileName(), file.errorString());
    }
}

void TVsGraphics::ReadData(QIODevice& stream)
{
    UpdateBracket bracket(*this);
    Clear();
    LoadFromStream(stream);
}

void TVsGraphics::WriteData(QIODevice& stream)
{
    UpdateBracket bracket(*this);
    SaveToStream(stream);
}
