// Deck views and window size: the view switch, the width modes (maximizo) and the skin routine
// ("Main window, part 3"). The form's own applyView and applyWidth place the controls.
#include "mainwindow/tform1.h"

void Tform1::maximizo() {}
