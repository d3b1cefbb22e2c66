// The 128-byte ID3v1 / ID3v1.1 tag at the end of an mp3 file. Texts are ISO-8859-1.
// File errors throw std::runtime_error; a missing tag is no error (fOk says so).
#pragma once

#include <cstdint>

#include <QString>

class QIODevice;

class TID3v1Tag {
public:
    void Load(const uint8_t* ABuf, int64_t ABufSz);
    void LoadFromStream(QIODevice* AStream, int64_t AStreamSz);  // the last 128 of AStreamSz bytes
    void LoadFromFile(const QString& AFileName);
    void Save(uint8_t* ABuf, int64_t ABufSz);  // throws "TID3v1Tag.Save: Buffer too small"
    void SaveToStream(QIODevice* AStream);
    // Overwrites the file's tag or appends one; on a failed append the file keeps its size.
    void SaveToFile(const QString& AFileName);
    void DeleteFromFile(const QString& AFileName);

    // 1 title, 2 artist, 3 year, 4 album, 5 comment; others do nothing. A text that Latin-1
    // cannot hold leaves the field as it was.
    void SetField(int index, const QString& text);
    QString GetField(int index) const;
    void SetTrack(int Value);
    void SetGenreID(int Value);
    void Setv1(bool Value);

    static QString GenreName(int id);  // "" outside 0..147

    bool fOk = false;
    bool fModified = false;
    bool fv1 = true;
    QString fTitle, fArtist, fAlbum, fYear, fComment;
    int fTrack = 0;
    int fGenreID = 0;
    QString fGenre;
};
