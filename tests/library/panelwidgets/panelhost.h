// A library panel built as the main window builds it: a host panel of its own at a place of
// the window, the panel's fields set, then init.
#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include "snkins/quor/tquorpanel.h"

class MainServices;
class Tmsql;

template <class Panel>
Panel* hostedPanel(QWidget* window, QRect place, Tmsql* sql, MainServices* main)
{
    auto* host = new TQuorPanel(window);
    host->setGeometry(place);
    host->setColor(Qt::black);
    host->init();
    host->SetShowtitle(false);
    auto* panel = new Panel(host);
    panel->mquorsql = sql;
    panel->main = main;
    panel->mainform = window;
    panel->colnor = QColor(0, 0, 0);     // the window's colours
    panel->colpar = QColor(21, 21, 21);
    panel->ptitle = QColor(192, 192, 192);
    panel->hide3dborder = true;
    panel->init();
    return panel;
}
