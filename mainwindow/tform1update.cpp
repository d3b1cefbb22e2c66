// Update check, web links and the downloader launch ("Main window, part 3").
#include "mainwindow/tform1.h"
