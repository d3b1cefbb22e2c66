// The configuration dialog (caption "Configuration"): a borderless window of 939 x 660 in the
// surface's colours, a titled frame panel, a page control of eight pages (two never shown) and
// OK / CANCEL. Its logic is ConfigDialogModel's; this class shows the model's state and hands it
// the user's choices.
//
// Use: create it (its creation steps run), then open(): it shows window-modal over its parent,
// runs its activation steps and returns at once. When it has closed, whatever closed it, the
// main loop pause is lifted, configClosed() is emitted and the dialog deletes itself. Only one
// exists at a time (fnewconfig()).
#pragma once

#include <array>
#include <memory>

#include <QDialog>
#include <QPoint>
#include <QPointer>

#include "mainwindow/config/configdialogmodel.h"

class DialogPrompts;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class TQuorPanel;
class TQuorSwitch1;
class TTabsheet;
class TquorButton;

class Tfnewconfig : public QDialog {
    Q_OBJECT
  public:
    // `services.prompts` may be left empty: the dialog then asks and warns with its own boxes.
    Tfnewconfig(QWidget* parent, ConfigDialogModel::Services services);
    ~Tfnewconfig() override;

    // the dialog while it exists, nullptr otherwise
    static Tfnewconfig* fnewconfig();

    ConfigDialogModel& model() { return *model_; }

    // frame
    TQuorPanel* QuorPanel1;
    QTabWidget* JvPageControl1;
    std::array<TTabsheet*, ConfigDialogModel::kPages> pages{};
    TQuorSwitch1* JvHTButton2; // OK
    TQuorSwitch1* JvHTButton1; // CANCEL
    // Audio Setup
    TquorButton *rdm1, *rdm2;
    QLabel *Label67, *Label68;
    QGroupBox* workmode;
    std::array<QRadioButton*, 6> rw{};
    QLabel *titledc, *lab1, *lab2, *lab3, *lab4, *lab5;
    std::array<QComboBox*, 3> dev{}, cha{};
    TQuorSwitch1* JvHTButton4;
    // AUtomix/Brake
    QLineEdit *auto1, *auto2;
    QComboBox *cbrake, *bend, *keylockonoff, *cutedb;
    // Samples
    std::array<QLineEdit*, 6> s{};
    std::array<TQuorSwitch1*, 6> jb{}, del{};
    QFileDialog* op2 = nullptr;
    // Midi Controller, HID Controller (indexed by ControllerPages::List)
    std::array<QTreeWidget*, ControllerPages::kLists> lists{};
    TQuorSwitch1 *JvHTButton12, *JvHTButton10;
    // System Performance
    QRadioButton *ph, *pm, *pl;
    QComboBox* updatescom;
    // Rec / Mic, Skin
    QComboBox *record_sel, *ComboBox2;
    QTreeWidget* ListView2;

    // the model's state into the widgets (no handler runs)
    void showModel();

  signals:
    // after the dialog closed: accepted for OK; cambioskin when OK changed the skin
    void configClosed(bool accepted, bool cambioskin);

  protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildFrame();
    void buildAudio(QWidget* page);
    void buildAutomix(QWidget* page);
    void buildSamples(QWidget* page);
    void buildControllers(QWidget* page, bool hid);
    void buildPerformance(QWidget* page);
    void buildRecording(QWidget* page);
    void buildSkin(QWidget* page);
    void layoutAudioRows();
    void bindModel();
    void jb1Click();
    void JvHTButton3Click();
    void startDrag();
    void finishedClose(int result);

    std::unique_ptr<DialogPrompts> ownPrompts_;
    std::unique_ptr<ConfigDialogModel> model_;
    bool activated_ = false;
    bool closing_ = false;
    // dragging by hand where the window system does not move the window itself
    bool dragging_ = false;
    QPoint dragOffset_;
};
