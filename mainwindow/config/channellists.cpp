#include "mainwindow/config/channellists.h"

QStringList ChannelLists::pairs(int n) {
    QStringList l;
    if (n > 1) l << QStringLiteral("Channel 1 + 2 ");
    if (n > 3) l << QStringLiteral("Channel 3 + 4 ");
    if (n > 5) l << QStringLiteral("Channel 5 + 6 ");
    return l;
}

QStringList ChannelLists::mono(bool stereo) {
    QStringList l{QStringLiteral("Channel 1 (Mono Left) "), QStringLiteral("Channel 2 (Mono Right) ")};
    if (stereo) l << QStringLiteral("Stereo (Left + Right) ");
    return l;
}

QStringList ChannelLists::sampler(int n) {
    return pairs(n) << QStringLiteral("Both Deck A & Deck b ") << QStringLiteral("Not Assigned");
}
