#include "snkins/vr/tvrbitmaps.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

#include "snkins/vr/bitmapliststream.h"
#include "snkins/vr/evrexception.h"

namespace {

// closes an update bracket also when the body throws
struct UpdateBracket {
    TVrBitmaps& b;
    explicit UpdateBracket(TVrBitmaps& bitmaps) : b(bitmaps) { b.BeginUpdate(); }
    ~UpdateBracket() { b.EndUpdate(); }
};

}  // namespace

TVrBitmaps::~TVrBitmaps()
{
    disconnect(this, &TVrPersistent::OnChange, nullptr, nullptr);
    FItems.clear();
}

void TVrBitmaps::check(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
}

QImage* TVrBitmaps::Bitmaps(int Index) const
{
    check(Index);
    return FItems[size_t(Index)].get();
}

void TVrBitmaps::SetBitmaps(int Index, const QImage& Bitmap)
{
    check(Index);
    *FItems[size_t(Index)] = Bitmap;
    Changed();
}

int TVrBitmaps::IndexOf(const QImage* Bitmap) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Bitmap) return int(i);
    return -1;
}

int TVrBitmaps::Add(const QImage& Bitmap)
{
    FItems.push_back(std::make_unique<QImage>(Bitmap));
    Changed();
    return Count() - 1;
}

void TVrBitmaps::Insert(int Index, const QImage& Bitmap)
{
    if (Index < 0 || Index > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, std::make_unique<QImage>(Bitmap));
    Changed();
}

void TVrBitmaps::Delete(int Index)
{
    check(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TVrBitmaps::Exchange(int Index1, int Index2)
{
    check(Index1);
    check(Index2);
    std::swap(FItems[size_t(Index1)], FItems[size_t(Index2)]);
    Changed();
}

void TVrBitmaps::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex) return;
    check(CurIndex);
    check(NewIndex);
    std::unique_ptr<QImage> item = std::move(FItems[size_t(CurIndex)]);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(item));
    Changed();
}

void TVrBitmaps::Clear()
{
    {
        UpdateBracket bracket(*this);
        FItems.clear();
    }
    Changed();
}

void TVrBitmaps::Assign(const TVrBitmaps* Source)
{
    if (!Source) {
        Clear();
        return;
    }
    if (Source == this) return;
    UpdateBracket bracket(*this);
    FItems.clear();
    for (const auto& item : Source->FItems) FItems.push_back(std::make_unique<QImage>(*item));
}

void TVrBitmaps::LoadFromStream(QIODevice& Stream)
{
    ReadBitmapListStream(Stream, [this](QImage&& image) { Add(image); });
}

void TVrBitmaps::SaveToStream(QIODevice& Stream) const
{
    QList<const QImage*> list;
    for (const auto& item : FItems) list << item.get();
    WriteBitmapListStream(Stream, list);
}

void TVrBitmaps::LoadFromFile(const QString& FileName)
{
    QFile f(FileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EVrException("Cannot open file \"" + FileName.toStdString() + "\". " + f.errorString().toStdString());
    UpdateBracket bracket(*this);
    LoadFromStream(f);
}

void TVrBitmaps::SaveToFile(const QString& FileName) const
{
    // a crash while writing leaves the old file
    QSaveFile f(FileName);
    if (!f.open(QIODevice::WriteOnly))
        throw EVrException("Cannot create file \"" + FileName.toStdString() + "\". " + f.errorString().toStdString());
    SaveToStream(f);
    if (!f.commit())
        throw EVrException("Cannot write file \"" + FileName.toStdString() + "\". " + f.errorString().toStdString());
}

void TVrBitmaps::ReadData(QIODevice& Stream)
{
    UpdateBracket bracket(*this);
    FItems.clear();
    LoadFromStream(Stream);
}

void TVrBitmaps::WriteData(QIODevice& Stream)
{
    if (Count() == 0) return;
    UpdateBracket bracket(*this);
    SaveToStream(Stream);
}
