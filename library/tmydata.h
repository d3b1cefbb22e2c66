// The data of one node of a panel's tree: a group, subgroup or playlist.
#pragma once

#include <QString>

struct TMyData {
    double mxid = 0;         // the group's, subgroup's or playlist's id
    double mxgroup = 0;      // the id the node's entries are filed under (its own)
    double mxsubgroup = -1;  // -1 for a group or playlist; the parent group's id for a subgroup
    QString texto;           // the node's name
    int orden = 0;           // 1-based place among its siblings when the tree was built
};
