// The tag texts of one track as a panel collected them, handed to Tmsql::altadecancion and
// Tmsql::modificacancion.
#pragma once

#include <QByteArray>
#include <QString>

struct Ttagsong {
    QString Title, Artist, Album, Year, Genre, Comment;
    QString Composer, Encoder, Copyright, Language, Link;  // carried
    QString Bpm;
    QString alfichero;  // the path when adding; the row's id text when editing
    int Track = 0;
    bool isfoto = false;  // carried
    int orden = 0;        // playlist position of a new entry
    QString timg;         // carried
    QByteArray img;       // carried
    QByteArray img2;      // carried
    int tipo = 0;         // carried
    QByteArray jp;        // carried
};
