// Places a dialog over the middle of the main form, or of the primary screen without one.
#pragma once

class QWidget;

void centreOn(QWidget* dialog, QWidget* mainForm);
