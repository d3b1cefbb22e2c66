// How an output device joins the device list: a name already there (or the beginning of an
// entry already there) gets " (n)", n being how many entries so far begin with it plus one.
#pragma once

#include <vector>

#include <QString>

QString dsdevicename(const std::vector<QString>& earlier, const QString& name);
