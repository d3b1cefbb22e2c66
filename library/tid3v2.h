// The wide-text ID3v2 reader and writer: the ID3v2.2, 2.3 and 2.4 tag at the start of a file,
// mapped onto a fixed set of text fields (TIT2, TPE1, TALB, TRCK, TYER, TCON, COMM, TCOM,
// TENC, TCOP, TLAN, WXXX, TDRC, TOPE, TIT1, TOAL, TSIZ, USLT and their three-letter ID3v2.2
// forms). TIT1, TOAL and TDRC (TT1, TOT, TOR) stand in for a missing title, album and year.
//
// A tag is untrusted input: no size is believed beyond the bytes that are there. Compressed
// and encrypted frames are passed over. Texts are read in all four encodings; they are
// written as ISO-8859-1 when they fit, else as UTF-16 with a byte-order mark (2.2, 2.3) or
// UTF-8 (2.4).
//
// Writing rewrites the whole file into a new one that replaces the old only when complete, so
// a failure leaves the old file as it was. A file whose tag runs past its end, or whose tag
// header is damaged, is refused by every operation: where its audio starts is not known.
#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

class QIODevice;

class TID3v2 {
public:
    static constexpr int TAG_VERSION_2_2 = 2;
    static constexpr int TAG_VERSION_2_3 = 3;
    static constexpr int TAG_VERSION_2_4 = 4;

    TID3v2() = default;
    void ResetData();  // every field empty, FExists false; FVersionID back to 2.3

    // Reads the file's tag into the fields. False when the file cannot be read or its tag is
    // damaged or cut (the fields are then reset); a file without a tag reads true, FExists false.
    bool ReadFromFile(const QString& FileName);
    // The same over AStreamSz bytes from the stream's position (tests, fuzzing).
    bool ReadFromStream(QIODevice* AStream, int64_t AStreamSz);

    // Puts the fields into the file as a tag of version FVersionID (2, 3 or 4; other values
    // write 2.3) in place of its tag or in front of its audio. Frames of the old tag that no
    // field maps are kept when the old tag has the same version. Only fields that are not
    // empty are written; with none, the tag is removed. False on any failure; the file is
    // then unchanged.
    bool SaveToFile(const QString& FileName);
    // Takes the tag off the file. True also when it has none; false on failure (unchanged).
    bool RemoveFromFile(const QString& FileName);

    // The tag SaveToFile would write, header included; empty when no field is set, or when a
    // text is too large for the version (then *ok is false).
    QByteArray Render(const QByteArray& keptFrames = QByteArray(), bool* ok = nullptr) const;

    bool FExists = false;
    int FVersionID = TAG_VERSION_2_3;
    int64_t FSize = 0;  // the whole tag read, header (and footer) included
    QString FTitle;
    QString FArtist;
    QString FAlbum;
    int FTrack = 0;          // the number TRCK begins with
    QString FTrackString;    // TRCK as it stands ("3/12"); written as it stands when set
    QString FYear;
    QString FGenre;          // genre references such as "(17)" read as their names
    QString FComment;
    QString FComposer;
    QString FEncoder;
    QString FCopyright;
    QString FLanguage;
    QString FLink;           // the URL of WXXX
    QString FOrigArtist;
    QString FLyrics;
    QString FTSIZ;
};
