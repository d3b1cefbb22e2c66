// One row of a controller definition file: its child elements' texts, and the numbers read the
// way every definition loader reads them. A file is untrusted: a number that is not plain decimal
// raises Error, which ends the load with "XML Error...Not Loaded".
#pragma once

#include <cstdint>

#include <QString>

#include "controllers/mappingentry.h"
#include "platform/xml/xmldocument.h"

class DefinitionRow {
public:
    // A reading error: the load stops where it is; what was written before stays.
    struct Error {};

    explicit DefinitionRow(XmlElement row) : row_(row) {}

    // The text of child element `element`, as written; empty when the row lacks it.
    QString text(const char* element) const { return row_.childText(element); }

    // The text with "0" put in front, read as a signed 32-bit decimal: empty reads 0, decimal
    // digits read their value; a sign, a blank, any other character, or a value above 2^31 - 1
    // raise Error.
    int32_t number(const char* element) const;

    // Fields 2 to 5 of a mapping entry: sensitivity, range, rangelo, rangeup, read as numbers.
    void readScale(MappingEntry& e) const;

    // The MIDI key of a status S and a data-1 number M: "$" + S in hexadecimal of at least two
    // digits + M likewise, read as one hexadecimal number (S * 256 + M while both are below 256).
    static int64_t midiKey(int64_t status, int64_t data1);

private:
    XmlElement row_;
};
