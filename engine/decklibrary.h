// What the deck writes back into the library database when a scan hands over a tempo.
#pragma once

#include <QString>

class PRecord;

class DeckLibrary {
public:
    virtual ~DeckLibrary() = default;
    // Stores the record's tag block and time under the track `filename`.
    virtual void salvatag(const PRecord& record, const QString& filename) = 0;
};
