// Effects and sampler controls ("Main window, part 3").
#include "mainwindow/tform1.h"

void Tform1::dry1Change(QObject*) {}
void Tform1::dry2Change(QObject*) {}
void Tform1::samplevolumeChange(QObject*) {}
void Tform1::samplevolume2Change(QObject*) {}
