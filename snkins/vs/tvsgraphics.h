// The ordered, owning list of skin graphics, and its pack format: the bytes of a ".vsf"
// pack file and of the list stored with a form.
//
//   int32 FileId 0x04B2FDB6, int32 Count, then Count entries:
//   int32 NameLength, the name (Latin-1 bytes, no terminator; none when NameLength <= 0),
//   uint8 empty flag (non-zero: empty bitmap, nothing follows), else a whole BMP file image
//   whose length is its file-size field (bytes 2..5).
//
// All integers little-endian. Every structural edit gives one OnChange.
#pragma once

#include <QIODevice>
#include <QString>
#include <memory>
#include <vector>

#include "snkins/vs/tvsgraphic.h"

class TVsGraphics : public TVsPersistent {
    Q_OBJECT
public:
    static constexpr qint32 FileId = 0x04B2FDB6;

    explicit TVsGraphics(QObject* parent = nullptr);
    ~TVsGraphics() override;

    int Count() const { return int(FItems.size()); }
    // The stored graphic; SetItems assigns the given one into it. An index outside the
    // list throws SkinError.
    TVsGraphic* Items(int index) const;
    void SetItems(int index, const TVsGraphic* graphic);

    // Add and Insert store a copy; the caller keeps its own graphic.
    int Add(const TVsGraphic* graphic);
    void Insert(int index, const TVsGraphic* graphic);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    int IndexOf(const TVsGraphic* graphic) const;
    // The first graphic whose name matches ignoring case, or -1.
    int IndexByName(const QString& name) const;
    void Clear();
    // No source clears; otherwise the list becomes copies of the source's graphics.
    void Assign(const TVsGraphics* source);

    // The pack format above. Loading clears the list first; a wrong id throws "Invalid file
    // format." with the list empty; a stream that cannot hold what an entry declares throws
    // at that entry, keeping the entries before it. Nothing is allocated beyond what the
    // stream really holds.
    void LoadFromStream(QIODevice& stream);
    void SaveToStream(QIODevice& stream) const;
    // Both in one update bracket: one notice for the whole load. Any path QFile opens,
    // ":/..." resources included.
    void LoadFromFile(const QString& path);
    void SaveToFile(const QString& path) const;
    // Loads (saves) every graphic's bitmap from (to) the bitmap file `folder` + Name, in
    // list order; the list's names stay. A name is reduced to its plain file name, so that
    // it cannot reach outside the folder; loading takes a file whose name differs only in
    // case when there is no exact one. `folder` ends with a path separator.
    void LoadFromFolder(const QString& folder);
    void SaveToFolder(const QString& folder) const;

    // The list as a form stores it: written only when it holds a graphic (HasData); read
    // and written inside an update bracket.
    bool HasData() const { return Count() > 0; }
    void ReadData(QIODevice& stream);
    void WriteData(QIODevice& stream);

private:
    void CheckIndex(int index) const;
    std::vector<std::unique_ptr<TVsGraphic>> FItems;
};
