// Places inside the library's own widgets, which lay themselves out at run time: the Groups
// and Playlists panels in a host of a given size and the "Files From Directory" dialog. As
// with the configuration dialog (dialogplaces.h), the test builds the same widgets offscreen,
// over a library of its own in a temporary folder, and asks them where each control lies.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

namespace e2e {

class LibraryPlaces {
public:
    enum class Panel { groups, playlists };

    // `groupsRows`, `playlistRows`: how many entries the offscreen panels list (as many as the
    // real ones will: the Groups panel's group, the Playlists panel's listed playlist)
    LibraryPlaces(int groupsRows, int playlistRows);
    ~LibraryPlaces();
    LibraryPlaces(const LibraryPlaces&) = delete;
    LibraryPlaces& operator=(const LibraryPlaces&) = delete;

    // In a panel whose host is `host` large, in the host's coordinates: the bar's button with
    // that caption ("Add from Dir"), data row `row` (1 the first) of the grid scrolled to its
    // top, the grid's viewport, the tree's viewport.
    QRect button(Panel panel, QSize host, const QString& caption);
    QRect row(Panel panel, QSize host, int row);
    QRect grid(Panel panel, QSize host);
    QRect tree(Panel panel, QSize host);
    // In the "Files From Directory" dialog, in its coordinates: the folder tree (tffd), Accept
    // (bffd1).
    QRect filesDirControl(const QString& name);
    // In the library's "Recording" dialog, in its coordinates: Accept (bffd1).
    QRect recordingControl(const QString& name);

private:
    struct Rig;
    std::unique_ptr<Rig> rig_;
};

}  // namespace e2e
