// The per-user data folder, shared by ostrelkorvanta and ostrelvid (Qt Core only).
#pragma once

#include <QString>

// The Documents folder + "OSTREL_KORVANTA/", always ending with "/". Recomputed on every call.
QString GetUserProfile();

// Keeps the first two characters and replaces every later doubled "/" by one.
QString RemoveBackslash(const QString& s);
