// The program's version as the build names it, and the update form's version test.
#pragma once

#include <QString>

// "major.minor.release.build" of this build (the project version, missing parts 0).
QString GetAppVersion();

// The version test of the old update mechanism: every version passes.
bool checkit(const QString& version);
