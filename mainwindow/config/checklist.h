// A list with a check box on every entry (the controller and skin lists), as the dialog's model
// holds it. The lists act as single-choice lists through their change handlers.
#pragma once

#include <vector>

#include <QString>
#include <QStringList>

struct CheckList {
    QStringList items;
    std::vector<bool> checked;

    void clear() {
        items.clear();
        checked.clear();
    }
    void add(const QString& text) {
        items << text;
        checked.push_back(false);
    }
    int size() const { return int(items.size()); }
    // the first entry whose text is exactly `text` (case included); -1 for none
    int indexOf(const QString& text) const { return int(items.indexOf(text)); }
    bool isChecked(int i) const { return i >= 0 && i < size() && checked[size_t(i)]; }
    // the last checked entry's text; empty when none is checked
    QString lastChecked() const {
        for (int i = size() - 1; i >= 0; --i)
            if (checked[size_t(i)]) return items[i];
        return QString();
    }
};
