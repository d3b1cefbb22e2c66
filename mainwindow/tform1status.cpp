// The status timer Timer1 (50 ms) and the Hint mailbox: clock, deck texts, lights, and every
// mailbox word taken in order ("Main window, part 2"). The controllers' keyboard follows the
// last word seen (set->keyboard.followHint) from here.
#include "mainwindow/tform1.h"

void Tform1::Timer1Timer() {}
