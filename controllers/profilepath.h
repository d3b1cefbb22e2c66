// Files of the user profile folder named in the spelling the system uses ("devices\teclado.key")
// while the folder may spell them otherwise ("Devices"): each part of the path that does not
// exist as written is looked up ignoring case.
#pragma once

#include <QString>

class ProfilePath {
public:
    // `base` + `relative` ('/' between parts), each missing part replaced by an entry of its
    // folder that differs only in case when there is one. The result may name nothing.
    static QString find(const QString& base, const QString& relative);
};
