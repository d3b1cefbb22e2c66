// The downloader's one window: a video address is checked (its title shown), then its audio is
// saved as an mp3 file of the chosen quality into the download folder, by the video engine
// (yt-dlp or youtube-dl) run as a child program. One run at a time; Cancel and Close end it.
//
// The folders come from the profile folder given at construction; "cfg.txt" there holds the
// download folder. Nothing waits: a run goes on through the runner's signals, dialogs open
// with open() and go on from theirs.
#pragma once

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "vidtool/videoengine.h"


class TQuorPanel;
class TQuorSwitch1;
class TVrProgressBar;
class YtdlRunner;

class tdownload : public QWidget {
    Q_OBJECT
public:
    // FormCreate. `profile`: the profile folder, ending in "/"; `engine`: the program found at
    // start; `productUrl`: what the banner opens (nothing when empty).
    tdownload(const QString& profile, const VideoEngine& engine, const QString& productUrl = QString(),
              QWidget* parent = nullptr);
    ~tdownload() override;

    TQuorPanel* pdt;
    QLabel* Image1;           // logo
    QLabel* Label3;
    TQuorSwitch1* paste;      // Paste Url
    TQuorSwitch1* bffd1;      // Check Url
    QLineEdit* txtLink;
    QLabel* Image2;           // thumbnail
    QLabel* Label2;
    QLineEdit* txtVideoTitle;
    QLabel* Label4;
    QLineEdit* downloadto;
    TQuorSwitch1* QuorSwitch11;  // Select Dir
    QLabel* Label5;
    QComboBox* ComboBox3;     // quality
    QLabel* mstat;            // status
    QWidget* Panel2;
    QLabel* Label1;
    TVrProgressBar* mprogress;
    TQuorSwitch1* bffd3;      // Download
    QLabel* Image3;           // banner
    TQuorSwitch1* bffd2;      // Cancel
    TQuorSwitch1* bffd4;      // Close
    TQuorSwitch1* QuorSwitch12;  // Check for Update
    QPlainTextEdit* Memo1;    // the engine's output; below the visible area
    QFileDialog* jsd = nullptr;  // folder choice, made on first use

    void FormActivate() {}
    void pasteClick();
    void bffd1Click();
    void bffd3Click();
    void bffd2Click();
    void bffd4Click();
    void QuorSwitch11Click();
    void QuorSwitch12Click();
    void ComboBox3Change();
    void ComboBox3CloseUp();
    void Image3Click();
    void reinicia();

    // Runs the engine with `args` for the mode word `info` ("TITLE", "DOWNLOAD", "UPDATE").
    void getdownload(const QStringList& args, const QString& info);
    // One line of the engine's output.
    void mycallback(const QString& info, const QString& consola, bool errorStream = false);

    // The arguments of the three runs.
    QStringList titleArgs(const QString& url) const;
    QStringList downloadArgs(const QString& url) const;
    QStringList updateArgs() const;
    // "320k", "192k", "128k" or "96k" from the quality list
    QString quality() const;

    bool cancelFlag() const { return fcancel; }
    bool running() const;
    YtdlRunner* runner() const { return frunner; }
    QString profileFolder() const { return profile; }
    QString cfgPath() const { return profile + QStringLiteral("cfg.txt"); }
    const VideoEngine& engine() const { return fengine; }
    // The last message box shown (a warning or an input/output error), while it is open.
    QMessageBox* openMessage() const { return message.data(); }

signals:
    // A run has ended and the window has taken its result.
    void runFinished(const QString& info);
    // The folder choice has been taken and cfg.txt rewritten.
    void folderChosen();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void setRunButtons(bool isRunning);
    QString idleStatus() const;
    // The URL box's address as the engine gets it; empty, after a warning, when it is refused.
    QString checkedUrl();
    void runEnded(int exitCode, bool crashed, bool cancelled);
    void folderDialogDone(int result);
    void writeCfg(const QString& line);
    void showMessage(const QString& title, const QString& text, bool error);

    QString profile;
    QString defaultFolder;  // profile + "Downloads"
    VideoEngine fengine;
    QString productUrl;
    YtdlRunner* frunner;
    bool fcancel = false;
    QString mode;           // the mode word of the run going on
    QString runFolder;      // the download folder of that run
    QString foundTitle;
    bool titleError = false;
    QString errorLine;      // the first "ERROR:" line of the run
    bool closePending = false;
    bool centred = false;
    QPointer<QMessageBox> message;
};
