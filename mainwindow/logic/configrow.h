// The configuration row read at start-up. Reading it never ends the program: a row that cannot
// be read (no row, or a value stored as text where a number belongs) is replaced by the default
// row, which is read instead.
#pragma once

class PSoundConfig;
class Tmsql;

class ConfigRow {
public:
    // Fills c from the row; false when the default row had to replace it (the caller tells the
    // user once).
    static bool read(Tmsql& sql, PSoundConfig& c);
};
