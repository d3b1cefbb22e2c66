#include "mainwindow/config/configstyle.h"

#include <QPalette>
#include <QWidget>

const QColor ConfigStyle::window{32, 32, 32};
const QColor ConfigStyle::page{51, 51, 51};
const QColor ConfigStyle::text{0xDD, 0xDD, 0xDD};
const QColor ConfigStyle::secondary{0xA0, 0xA0, 0xA0};
const QColor ConfigStyle::raised{0x2E, 0x2E, 0x2E};
const QColor ConfigStyle::raisedHigh{0x3A, 0x3A, 0x3A};
const QColor ConfigStyle::border{0x4A, 0x4A, 0x4A};
const QColor ConfigStyle::selection{0x00, 0x59, 0xAB};
const QColor ConfigStyle::deckA{0xFE, 0xB2, 0x0A};
const QColor ConfigStyle::deckB{0x8A, 0xCE, 0x1B};
const QColor ConfigStyle::lit{0x3F, 0xA9, 0xF5};

void ConfigStyle::apply(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(0x1A, 0x1A, 0x1A));
    p.setColor(QPalette::AlternateBase, QColor(0x15, 0x15, 0x15));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, raisedHigh);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, selection);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, raised);
    p.setColor(QPalette::ToolTipText, text);
    w->setPalette(p);
    w->setStyleSheet(QStringLiteral(R"(
QWidget { color: #DDDDDD; font-family: "DejaVu Sans"; font-size: 12px; }
QMessageBox { background: #262626; border: 1px solid #5A5A5A; }
QMessageBox QLabel { font-size: 13px; font-weight: bold; }
QMessageBox QPushButton { background: #3A3A3A; border: 1px solid #4A4A4A; border-radius: 3px;
                          padding: 4px 18px; min-width: 60px; font-weight: bold; }
QMessageBox QPushButton:hover { background: #474747; }
QMessageBox QPushButton:pressed { background: #0059AB; }
QLabel#title { font-size: 17px; font-weight: bold; color: #DDDDDD; }
QLabel#titledc { font-size: 13px; font-weight: bold; color: #3FA9F5; }
QLabel.hint { color: #A0A0A0; }
QGroupBox { border: 1px solid #4A4A4A; border-radius: 3px; margin-top: 9px; padding-top: 8px;
            font-weight: bold; color: #A0A0A0; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 4px; }
QTabWidget::pane { border: 1px solid #4A4A4A; background: #333333; top: -1px; }
QTabBar::tab { background: #2E2E2E; color: #A0A0A0; border: 1px solid #4A4A4A; border-bottom: none;
               padding: 6px 14px; margin-right: 2px; border-top-left-radius: 3px; border-top-right-radius: 3px;
               font-weight: bold; }
QTabBar::tab:selected { background: #333333; color: #FFFFFF; border-top: 2px solid #3FA9F5; }
QTabBar::tab:hover:!selected { background: #3A3A3A; color: #DDDDDD; }
QComboBox, QLineEdit { background: #1A1A1A; border: 1px solid #4A4A4A; border-radius: 3px; padding: 2px 6px;
                       min-height: 20px; selection-background-color: #0059AB; }
QComboBox:focus, QLineEdit:focus { border: 1px solid #3FA9F5; }
QComboBox:disabled { color: #707070; }
QComboBox QAbstractItemView { background: #1A1A1A; border: 1px solid #4A4A4A; selection-background-color: #0059AB; }
QTreeWidget { background: #1A1A1A; alternate-background-color: #151515; border: 1px solid #4A4A4A; }
QTreeWidget::item { height: 22px; }
QTreeWidget::item:selected { background: #0059AB; color: #FFFFFF; }
QHeaderView::section { background: #2E2E2E; color: #A0A0A0; border: none; border-bottom: 1px solid #4A4A4A;
                       padding: 4px 6px; font-weight: bold; }
QRadioButton, QCheckBox { spacing: 8px; }
QRadioButton::indicator { width: 12px; height: 12px; border-radius: 7px; border: 1px solid #6A6A6A;
                          background: #1A1A1A; }
QRadioButton::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,
                                  stop:0 #3FA9F5, stop:0.55 #3FA9F5, stop:0.65 #1A1A1A); border: 1px solid #3FA9F5; }
QScrollBar:vertical { background: #1A1A1A; width: 10px; }
QScrollBar::handle:vertical { background: #3A3A3A; min-height: 20px; border-radius: 4px; }
QScrollBar::add-line, QScrollBar::sub-line { height: 0; }
)"));
}
