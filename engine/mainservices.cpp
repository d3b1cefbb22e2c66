#include "engine/mainservices.h"

#include "engine/hintmailbox.h"

void MainServices::postHint(const QString& word) { hint().post(word); }
