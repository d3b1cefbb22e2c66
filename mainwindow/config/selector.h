// A drop-down list of the dialog as its model holds it: the entries, the selected position
// (-1 for none) and whether it is shown. Selecting a position outside the entries leaves none
// selected, as a list box does.
#pragma once

#include <QString>
#include <QStringList>

struct Selector {
    QStringList items;
    int index = -1;
    bool visible = true;

    // new entries; nothing selected
    void setItems(const QStringList& entries) {
        items = entries;
        index = -1;
    }
    void setIndex(int i) { index = i >= 0 && i < items.size() ? i : -1; }
    bool has(int i) const { return i >= 0 && i < items.size(); }
    QString text() const { return has(index) ? items[index] : QString(); }
};

// A caption of the dialog that the code changes or hides.
struct Caption {
    QString text;
    bool visible = true;
};
