// A panel's tree as data: top-level nodes (groups or playlists) with one level of children
// (subgroups), each carrying its TMyData, an expanded flag and one selected node. The tree
// widget shows it and reports clicks; the panel logic builds and changes it, then calls
// changed so the widget shows the new state. Nodes are named by their id (mxid).
#pragma once

#include <functional>
#include <vector>

#include <QString>

#include "library/tmydata.h"

class PanelTree {
public:
    struct Node {
        TMyData data;
        QString caption;
        bool expanded = false;
        std::vector<Node> children;
    };

    void clear();
    Node& appendTop(const TMyData& data, const QString& caption);
    // under the top-level node parentId: as its first child, or after its children
    Node* insertFirstChild(double parentId, const TMyData& data, const QString& caption);
    Node* appendChild(double parentId, const TMyData& data, const QString& caption);
    // Removes the node and its children; a removed selection passes to the node that
    // took its place in display order, else to the one before it.
    void remove(double id);

    Node* find(double id);
    const Node* find(double id) const;
    const Node* parentOf(double id) const;  // nullptr for a top-level node
    bool isTop(double id) const { return find(id) && !parentOf(id); }

    const Node* selected() const { return find(selected_); }
    double selectedId() const { return selected_; }
    void select(double id);
    // every node in display order, children after their parent; with visibleOnly the
    // children of collapsed nodes are left out
    std::vector<const Node*> order(bool visibleOnly) const;
    int itemIndex() const;  // the selected node's place in display order, -1 for none
    void setItemIndex(int index);
    int count() const { return int(order(false).size()); }
    const std::vector<Node>& top() const { return top_; }

    std::function<void()> changed;  // the tree's shape, captions or selection changed
    void notify()
    {
        if (changed) changed();
    }

private:
    std::vector<Node> top_;
    double selected_ = 0;
    bool hasSelection_ = false;
};
