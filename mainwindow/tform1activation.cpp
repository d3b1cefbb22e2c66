// Activation: what every activation of the window does and the steps of the first one that
// show the window. The rest of the first activation (the centre panels and round regions, the
// HID drivers, the configuration dialog when output is not usable, the saved views) and the
// shut-down are the activation concern of "Main window, part 2", in the stubs below.
#include <QTimer>

#include "mainwindow/logic/splashview.h"
#include "mainwindow/tform1.h"

void Tform1::FormActivate()
{
    // step 1
    setAcceptDrops(true);
    if (auto* t = get<QTimer>(QStringLiteral("timer4"))) t->start();
    // step 2
    if (actualizoskin) firstActivation();
    // step 3
    activationControllers();
    // step 4 (the HID display counters are the HID controllers')
    mmain(true);
}

void Tform1::firstActivation()
{
    firstActivationPanels();
    // step 3
    actualizoskin = false;
    // step 4
    update();
    show();
    if (options_.splash) options_.splash->startupEnded(QStringLiteral("2.0.1"));
    firstActivationSetup();
}

void Tform1::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    // a later activation by the user; the first one runs at the end of start-up
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && !actualizoskin) FormActivate();
}

void Tform1::restoreAndRaise()
{
    if (isMinimized()) showNormal();
    else show();
    raise();
    activateWindow();
}

// first activation steps 1 and 2: the activation concern
void Tform1::firstActivationPanels() {}

// first activation steps 5 to 17: the activation concern; step 6, the HID drivers, is the
// controllers' (tform1controllers.cpp)
void Tform1::firstActivationSetup() { createHidDrivers(); }

// every activation step 3, the HID controllers (tform1controllers.cpp)
void Tform1::activationControllers() { setUpHidControllers(); }
