// Deck transport controls: play, pause, cue, reverse, brake, key lock, pitch bend, beat match,
// the pitch slider and its range menu, seeking and the jog modes ("Main window, part 2").
// Deck A and deck B share one implementation given the deck (DeckControls).
#include "mainwindow/tform1.h"

void Tform1::btnplay1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btnplay2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btnpause1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btnpause2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btncue1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btncue2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btncue1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btncue2MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::btncue1Click(QObject*) {}
void Tform1::btncue2Click(QObject*) {}
void Tform1::match1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::match2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::reverseMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::reverse2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::brakeMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::brake2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmas1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmas1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmenos1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmenos1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmas2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmas2MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmenos2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::bendmenos2MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::trackfrequencyChange(QObject*) {}
void Tform1::trackfrequency2Change(QObject*) {}
