#include "library/paneltree.h"

#include <algorithm>

void PanelTree::clear()
{
    top_.clear();
    hasSelection_ = false;
    selected_ = 0;
}

PanelTree::Node& PanelTree::appendTop(const TMyData& data, const QString& caption)
{
    top_.push_back(Node{data, caption, false, {}});
    return top_.back();
}

PanelTree::Node* PanelTree::insertFirstChild(double parentId, const TMyData& data, const QString& caption)
{
    Node* p = find(parentId);
    if (!p || parentOf(parentId)) return nullptr;
    p->children.insert(p->children.begin(), Node{data, caption, false, {}});
    return &p->children.front();
}

PanelTree::Node* PanelTree::appendChild(double parentId, const TMyData& data, const QString& caption)
{
    Node* p = find(parentId);
    if (!p || parentOf(parentId)) return nullptr;
    p->children.push_back(Node{data, caption, false, {}});
    return &p->children.back();
}

void PanelTree::remove(double id)
{
    if (!find(id)) return;
    const bool wasSelected = hasSelection_ && (selected_ == id || (parentOf(selected_) && parentOf(selected_)->data.mxid == id));
    const std::vector<const Node*> before = order(true);
    int at = 0;
    for (int i = 0; i < int(before.size()); ++i)
        if (before[size_t(i)]->data.mxid == id) at = i;
    auto drop = [id](std::vector<Node>& v) {
        v.erase(std::remove_if(v.begin(), v.end(), [id](const Node& n) { return n.data.mxid == id; }), v.end());
    };
    drop(top_);
    for (Node& n : top_) drop(n.children);
    if (!wasSelected) return;
    hasSelection_ = false;
    const std::vector<const Node*> after = order(true);
    if (after.empty()) return;
    select(after[size_t(std::min(at, int(after.size()) - 1))]->data.mxid);
}

PanelTree::Node* PanelTree::find(double id)
{
    return const_cast<Node*>(std::as_const(*this).find(id));
}

const PanelTree::Node* PanelTree::find(double id) const
{
    for (const Node& n : top_) {
        if (n.data.mxid == id) return &n;
        for (const Node& c : n.children)
            if (c.data.mxid == id) return &c;
    }
    return nullptr;
}

const PanelTree::Node* PanelTree::parentOf(double id) const
{
    for (const Node& n : top_)
        for (const Node& c : n.children)
            if (c.data.mxid == id) return &n;
    return nullptr;
}

void PanelTree::select(double id)
{
    if (!find(id)) return;
    selected_ = id;
    hasSelection_ = true;
}

std::vector<const PanelTree::Node*> PanelTree::order(bool visibleOnly) const
{
    std::vector<const Node*> out;
    for (const Node& n : top_) {
        out.push_back(&n);
        if (visibleOnly && !n.expanded) continue;
        for (const Node& c : n.children) out.push_back(&c);
    }
    return out;
}

int PanelTree::itemIndex() const
{
    if (!hasSelection_) return -1;
    const std::vector<const Node*> all = order(false);
    for (int i = 0; i < int(all.size()); ++i)
        if (all[size_t(i)]->data.mxid == selected_) return i;
    return -1;
}

void PanelTree::setItemIndex(int index)
{
    const std::vector<const Node*> all = order(false);
    if (index >= 0 && index < int(all.size())) select(all[size_t(index)]->data.mxid);
}
