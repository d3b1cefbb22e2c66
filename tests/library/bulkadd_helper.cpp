// Adds tracks to one group of the library at DB_PATH, one at a time, and prints each new id
// on its own line as soon as the insert has returned. Run and killed by test_crash.
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include <QString>

#include "tmsql.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DB_PATH COUNT\n", argv[0]);
        return 2;
    }
    Tmsql sql(QString::fromLocal8Bit(argv[1]));
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        Ttagsong t;
        t.alfichero = QStringLiteral("/music/bulk/%1 - track.mp3").arg(i);
        t.Artist = QStringLiteral("Artist %1").arg(i % 97);
        t.Title = QStringLiteral("Title %1").arg(i);
        t.Bpm = QStringLiteral("000.000");
        const double id = sql.altadecancion(0, t, 1, 1);
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%.0f\n", id);
        if (::write(1, line, size_t(n)) != n) return 1;
    }
    return 0;
}
