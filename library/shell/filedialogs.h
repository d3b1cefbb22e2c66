// The library's file dialogs: "Add files" (a folder tree and the audio files of the chosen
// folder, several selectable), "Files From Directory" (a folder tree) and "Recording" (a
// folder tree, its files and a file name box). Each has a bottom panel with the status label
// lffd, the progress bar pffd and the buttons Accept (bffd1), Cancel (bffd2) and Close
// (QuorSwitch13).
//
// Accept and Cancel are signals that the creator connects; the form does nothing on Accept.
// Cancel's own action, setting abort and staying open, is on until replaceCancel() takes it
// off (the main window binds "Recording"'s Cancel to its own). Close sets abort, closes the
// form and signals closed(). abort is cleared when the form is shown.
//
// The forms open with open() (window-modal, no loop of their own); the creator continues in
// its handlers. The tree starts at "/" with the home folder selected and expanded.
#pragma once

#include <QDialog>

#include "library/shell/shellctrls2.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QSplitter;
class TQuorPanel;
class TQuorSwitch1;

class TQuorFileForm : public QDialog {
    Q_OBJECT
public:
    bool abort = false;

    QWidget* Panel1;
    QLabel* lffd;         // "Scanning"
    QProgressBar* pffd;
    TQuorSwitch1* bffd1;  // "Accept"
    TQuorSwitch1* bffd2;  // "Cancel"
    TQuorSwitch1* QuorSwitch13;  // "Close"
    TShellTreeView2* tffd;

    // the label and bar as a run reports them
    void setStatus(const QString& text);
    void setProgress(int position, int maximum);
    // Cancel no longer sets abort by itself
    void replaceCancel();

    void bffd2Click();        // abort, stay open
    void QuorSwitch13Click(); // abort, close

signals:
    void accepted_();  // Accept pressed
    void cancelled();  // Cancel pressed
    void closedByUser();  // Close pressed

protected:
    TQuorFileForm(const QString& caption, int width, QWidget* owner);
    // the bottom panel's places: Accept's x, the bar's width, Close's x
    void buildBottom(int acceptX, int barWidth, int closeX);
    void showEvent(QShowEvent* e) override;
    QWidget* body;  // above the bottom panel

private:
    QMetaObject::Connection cancelOwn_;
};

// "Add files"
class TTquoropendialog2 : public TQuorFileForm {
    Q_OBJECT
public:
    explicit TTquoropendialog2(QWidget* owner = nullptr);
    TShellListView2* fb1;
    QSplitter* Splitter1;
    // the selected files in list order (folders left out)
    QStringList selectedFiles() const;
};

// "Files From Directory"
// Moving over the tree focuses it, and makes the folder under the pointer current when none is;
// the tree taking the focus with no current folder makes the first one current.
class TTquorfilesdir2 : public TQuorFileForm {
    Q_OBJECT
public:
    explicit TTquorfilesdir2(QWidget* owner = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// "Recording"
class TTquorsavedialog2 : public TQuorFileForm {
    Q_OBJECT
public:
    explicit TTquorsavedialog2(QWidget* owner = nullptr);
    TShellListView2* fb1;
    QSplitter* Splitter1;
    QLabel* Label1;    // "Filename:"
    QLineEdit* Edit1;  // "Recording"
    QLabel* Label2;    // ".wav"
    // a double-clicked file's name without its extension into the name box
    void fb1DblClick(const QString& path);
    // the tree's folder (no trailing separator) + "/" + the name box + ".wav"
    QString fileName() const;
};
