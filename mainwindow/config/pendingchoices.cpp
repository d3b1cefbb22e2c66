#include "mainwindow/config/pendingchoices.h"

PendingChoices& PendingChoices::unit() {
    static PendingChoices p;
    return p;
}
