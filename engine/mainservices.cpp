#include "mainservices.h"

#include "hintmailbox.h"

void MainServices::postHint(const QString& word) { hint().post(word); }
