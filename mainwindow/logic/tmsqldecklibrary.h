// The library database as the decks write their tempo, cues and time back into it.
#pragma once

#include "engine/decklibrary.h"

class Tmsql;

class TmsqlDeckLibrary : public DeckLibrary {
public:
    explicit TmsqlDeckLibrary(Tmsql& sql) : sql_(sql) {}
    void salvatag(const PRecord& record, const QString& filename) override;

private:
    Tmsql& sql_;
};
