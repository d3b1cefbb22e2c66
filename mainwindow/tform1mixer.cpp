// Mixer controls: channel volumes, crossfader, gain and EQ with their +/- buttons and kills,
// the headphone cue and its volumes ("Main window, part 2"). The recording level (volrecChange)
// is start-up's. A change handler runs after the control's controller value was written back
// (tform1controllers.cpp).
#include "mainwindow/tform1.h"

void Tform1::trackvolumeChange(QObject*) {}
void Tform1::trackvolume2Change(QObject*) {}
void Tform1::crossfaderChange(QObject*) {}
void Tform1::gain1Change(QObject*) {}
void Tform1::gain2Change(QObject*) {}
void Tform1::volhead1Change(QObject*) {}
void Tform1::volhead2Change(QObject*) {}
void Tform1::headaMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::headbMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
