// Hot cues and loops, and their lights lucescues / lucesloop ("Main window, part 2").
#include "mainwindow/tform1.h"

void Tform1::lucescues() {}
void Tform1::lucesloop() {}
