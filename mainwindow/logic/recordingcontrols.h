// The REC button and the recording dialog's Accept and Cancel (recMouseDown, boffd1click,
// boffd2click). REC stops a recording that runs, or shows the dialog. Accept records the mix
// into folder/name.wav: a folder without a real path is refused with a message, and an existing
// file is overwritten only when the user says Yes (No returns to the dialog). UI thread only.
#pragma once

#include <functional>

#include <QString>

class RecordingHost {
public:
    virtual ~RecordingHost() = default;
    // the engine: grabando, and graba(file, 1) to start, graba("", 0) to stop
    virtual bool grabando() const = 0;
    virtual void graba(const QString& file, int start) = 0;
    // the dialog (mrecsave): shown without being modal, hidden
    virtual void showDialog() = 0;
    virtual void hideDialog() = 0;
    // the folder tree's selected folder as a file-system path; empty when it has none
    virtual QString selectedFolder() const = 0;
    virtual QString fileName() const = 0;  // the name box, Edit1
    // rrecord of the configuration
    virtual void setRrecord(const QString& folder) = 0;
    virtual void message(const QString& text) = 0;
    // asks whether `file` may be overwritten; the answer comes later, on the UI thread
    virtual void askOverwrite(const QString& file, std::function<void(bool yes)> answer) = 0;
    virtual bool exists(const QString& file) const = 0;
};

class RecordingControls {
public:
    static QString noFolderText() { return QStringLiteral("Choose a folder of the disk to record into.  "); }
    static QString badNameText() { return QStringLiteral("Type a file name without \"/\".  "); }
    static QString overwriteText(const QString& file)
    {
        return QStringLiteral("The file %1 exists.\nDo you want to replace it ? ").arg(file);
    }

    explicit RecordingControls(RecordingHost& host) : host_(host) {}

    // The file Accept records into: folder (without its trailing "/") + "/" + name + ".wav";
    // empty when the folder has no real path or the name is empty or holds "/".
    static QString target(const QString& folder, const QString& name);

    void recMouseDown();
    void boffd1click();  // Accept
    void boffd2click();  // Cancel

    // ShortFileName; rrecord is "-" when it gives nothing
    std::function<QString(const QString&)> shortName;

private:
    void start(const QString& folder, const QString& file);
    RecordingHost& host_;
    bool asking_ = false;
};
