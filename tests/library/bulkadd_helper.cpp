// Adds tracks to one group of the library at DB_PATH and prints, on a line of its own, the
// last id that is committed: after each insert, or with BATCH after each commit of BATCH
// inserts. An insert the library reports as not done prints 0; a batch whose commit failed
// prints "lost N". Run and killed by test_crash; two at once by the concurrency test.
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include <QString>

#include "library/tmsql.h"

namespace {
bool say(const char* line, int n) { return ::write(1, line, size_t(n)) == n; }
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DB_PATH COUNT [BATCH] [NAME]\n", argv[0]);
        return 2;
    }
    Tmsql sql(QString::fromLocal8Bit(argv[1]));
    const int count = std::atoi(argv[2]);
    const int batch = argc > 3 ? std::atoi(argv[3]) : 0;
    const QString name = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("bulk");
    if (batch > 0) sql.beginBatch();
    double last = 0;
    int pending = 0;
    char line[48];
    for (int i = 0; i < count; ++i) {
        Ttagsong t;
        t.alfichero = QStringLiteral("/music/%1/%2 - track.mp3").arg(name).arg(i);
        t.Artist = QStringLiteral("Artist %1").arg(i % 97);
        t.Title = QStringLiteral("Title %1").arg(i);
        t.Bpm = QStringLiteral("000.000");
        const double id = sql.altadecancion(0, t, 1, 1);
        if (batch <= 0) {
            if (!say(line, std::snprintf(line, sizeof line, "%.0f\n", id))) return 1;
            continue;
        }
        if (id > 0) {
            last = id;
            ++pending;
        } else if (!say(line, std::snprintf(line, sizeof line, "0\n"))) {
            return 1;
        }
        if ((i + 1) % batch != 0) continue;
        const bool ok = sql.commitBatch();
        const int n = ok ? std::snprintf(line, sizeof line, "%.0f\n", last)
                         : std::snprintf(line, sizeof line, "lost %d\n", pending);
        pending = 0;
        if (!say(line, n)) return 1;
    }
    if (!sql.endBatch() && pending > 0 && !say(line, std::snprintf(line, sizeof line, "lost %d\n", pending))) return 1;
    return 0;
}
