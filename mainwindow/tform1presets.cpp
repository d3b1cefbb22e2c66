// Performance presets (higp, medp, lowp) and the CPU meter Timer5 ("Main window, part 3").
#include "mainwindow/tform1.h"

void Tform1::higp() {}
void Tform1::medp() {}
void Tform1::lowp() {}
void Tform1::Timer5Timer() {}
