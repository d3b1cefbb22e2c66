// Jog wheels and mouse scratching: doPlaying, run by the main loop on every pass, and the
// actjo timer ("Main window, part 2").
#include "mainwindow/tform1.h"

void Tform1::doPlaying() {}
void Tform1::actjoTimer() {}
