// The user profile folder (Documents/OSTREL_KORVANTA/) at start-up.
#pragma once

#include <QString>

class ProfileFolder {
public:
    // When `folder` does not exist: creates it and its subfolders Downloads, Samples, Devices,
    // Devices/hid and Skin, each creation's failure ignored, and returns true. A folder that
    // exists is left as it is, even with a subfolder missing.
    static bool prepare(const QString& folder);
};
