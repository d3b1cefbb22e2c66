// Adds tracks to one group of the library at DB_PATH and prints, on a line of its own, the
// last id that is committed: after each insert, or with BATCH after each commit of BATCH
// inserts. Run and killed by test_crash.
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include <QString>

#include "library/tmsql.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DB_PATH COUNT [BATCH]\n", argv[0]);
        return 2;
    }
    Tmsql sql(QString::fromLocal8Bit(argv[1]));
    const int count = std::atoi(argv[2]);
    const int batch = argc > 3 ? std::atoi(argv[3]) : 0;
    if (batch > 0) sql.beginBatch();
    for (int i = 0; i < count; ++i) {
        Ttagsong t;
        t.alfichero = QStringLiteral("/music/bulk/%1 - track.mp3").arg(i);
        t.Artist = QStringLiteral("Artist %1").arg(i % 97);
        t.Title = QStringLiteral("Title %1").arg(i);
        t.Bpm = QStringLiteral("000.000");
        const double id = sql.altadecancion(0, t, 1, 1);
        if (batch > 0) {
            if ((i + 1) % batch != 0) continue;
            sql.commitBatch();
        }
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%.0f\n", id);
        if (::write(1, line, size_t(n)) != n) return 1;
    }
    sql.endBatch();
    return 0;
}
