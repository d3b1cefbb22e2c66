// An ordered collection of pictures; every entry is the collection's own copy. Stored as a
// bitmap list stream (snkins/vr/bitmapliststream.h).
#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

#include "snkins/vr/tvrpersistent.h"

class QIODevice;

class TVrBitmaps : public TVrPersistent {
    Q_OBJECT
public:
    explicit TVrBitmaps(QObject* parent = nullptr) : TVrPersistent(parent) {}
    // Frees the pictures without telling anyone.
    ~TVrBitmaps() override;

    int Count() const { return int(FItems.size()); }
    // The collection's own picture. An index outside 0..Count-1 throws std::out_of_range
    // ("List index out of bounds (i)"), as does every other indexed operation.
    QImage* Bitmaps(int Index) const;
    // Assigns the given picture into the existing entry.
    void SetBitmaps(int Index, const QImage& Bitmap);
    // The position of that very picture object, -1 when it is not one of the collection's.
    int IndexOf(const QImage* Bitmap) const;

    int Add(const QImage& Bitmap);
    void Insert(int Index, const QImage& Bitmap);
    void Delete(int Index);
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Clear();
    // None clears; another collection's pictures replace these, copied, with one notification.
    void Assign(const TVrBitmaps* Source);

    // Appends the pictures of a bitmap list stream; on a damaged picture the ones before it stay
    // and EVrException is thrown.
    virtual void LoadFromStream(QIODevice& Stream);
    virtual void SaveToStream(QIODevice& Stream) const;
    // Appends, in one update bracket; a file that cannot be opened throws EVrException.
    virtual void LoadFromFile(const QString& FileName);
    virtual void SaveToFile(const QString& FileName) const;

    // The collection as a form stores it: reading replaces the content, each in an update bracket.
    // Nothing is stored for an empty collection (WriteData writes nothing).
    void ReadData(QIODevice& Stream);
    void WriteData(QIODevice& Stream);

private:
    void check(int Index) const;

    std::vector<std::unique_ptr<QImage>> FItems;
};
