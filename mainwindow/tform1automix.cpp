// Automix and recording controls ("Main window, part 3"). The automix switch starts a mix with
// loader.primeraautomix and learns of finished loads through loader.onLoadFinished.
#include "mainwindow/tform1.h"
