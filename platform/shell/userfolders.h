// The user's folders that the shell knows by role.
#pragma once

#include <QString>

// The XDG desktop folder (XDG_DESKTOP_DIR, else ~/Desktop), whether or not it exists; no
// trailing "/".
QString desktopFolder();
