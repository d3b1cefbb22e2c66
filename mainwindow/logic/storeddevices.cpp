#include "mainwindow/logic/storeddevices.h"

#include "engine/psoundconfig.h"

namespace {
bool named(const QString& name) { return !name.isEmpty() && name != QLatin1String("-"); }
}  // namespace

StoredDevices::Outcome StoredDevices::resolve(PSoundConfig& c, const std::vector<QString>& listads, int dsdevices,
                                              const std::vector<QString>& listaasio, int asiodevices)
{
    Outcome out;
    for (size_t row = 0; row < 3; ++row) {
        const QString name = c.dsname[row].get();
        if (c.dsnum[row] >= 0 && named(name)) {
            int found = -1;
            for (int n = 1; n <= dsdevices && n < int(listads.size()); ++n)
                if (listads[size_t(n)] == name) {
                    found = n - 1;
                    break;
                }
            if (found < 0) out.alsaGone = true;
            c.dsnum[row] = found < 0 ? 0 : found;
        }
        if (c.dsnum[row] > dsdevices - 1) c.dsnum[row] = 0;
    }
    for (size_t row = 0; row < 3; ++row) {
        const QString name = c.asname[row].get();
        if (c.asnum[row] >= 0 && named(name)) {
            int found = -1;
            for (int i = 0; i <= asiodevices && i < int(listaasio.size()); ++i)
                if (listaasio[size_t(i)] == name) {
                    found = i;
                    break;
                }
            if (found < 0) out.jackGone = true;
            c.asnum[row] = found < 0 ? 0 : found;
        }
        if (c.asnum[row] > asiodevices) c.asnum[row] = 0;
    }
    return out;
}
