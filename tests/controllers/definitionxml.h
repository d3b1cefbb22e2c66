// Builds controller definition files for tests: rows of named elements, elements left out when
// not given, wrapped in a root.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include <QByteArray>

struct Row {
    const char* group = nullptr;
    const char* midino = nullptr;
    const char* chan = nullptr;
    const char* key = nullptr;
    const char* sensitivity = nullptr;
    const char* range = nullptr;
    const char* rangelo = nullptr;
    const char* rangeup = nullptr;
    const char* miditype = nullptr;
};

inline QByteArray rowXml(const Row& r, const char* tag = "ROW")
{
    std::string s = std::string("<") + tag + ">";
    const std::pair<const char*, const char*> fields[] = {
        {"control_midino", r.midino}, {"control_group", r.group}, {"midichan", r.chan},
        {"control_key", r.key}, {"sensitivity", r.sensitivity}, {"range", r.range},
        {"rangelo", r.rangelo}, {"rangeup", r.rangeup}, {"miditype", r.miditype}};
    for (const auto& [name, value] : fields)
        if (value) s += std::string("<") + name + ">" + value + "</" + name + ">";
    s += std::string("</") + tag + ">";
    return QByteArray::fromStdString(s);
}

inline QByteArray definition(std::initializer_list<Row> rows)
{
    QByteArray x = "<?xml version=\"1.0\"?>\n<DATAPACKET>";
    for (const Row& r : rows) x += rowXml(r);
    return x + "</DATAPACKET>";
}
