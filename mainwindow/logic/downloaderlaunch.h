// The downloader button (btnsavetubeClick): starts ostrelvid from the running program's folder,
// detached, without a shell, with the one argument "OSTREL_KORVANTA". A missing or
// non-executable file, or a start that fails, gives a message and leaves the button up.
#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class DownloaderLaunch {
public:
    static QString programName() { return QStringLiteral("ostrelvid"); }
    static QString argument() { return QStringLiteral("OSTREL_KORVANTA"); }

    // starts `program` with `arguments`, detached and without a shell; true when it started
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;
    static bool startDetached(const QString& program, const QStringList& arguments);

    // the folder of the running program
    QString folder;
    Launcher launcher = &DownloaderLaunch::startDetached;

    // ostrelvid in `folder`
    QString program() const;
    // Starts it; the message for the user when it could not be started, else empty.
    QString launch() const;
};

// Opens an address in the web browser; the window's opener is QDesktopServices, tests give
// their own. An empty address does nothing.
class WebLinks {
public:
    std::function<bool(const QString& url)> opener;
    QString company;  // LFX1Click, lfx2's click
    QString product;  // the update question's Yes
    bool open(const QString& url) const { return !url.isEmpty() && opener && opener(url); }
    void LFX1Click() const { open(company); }
};
