// Places inside the library's own widgets, which lay themselves out at run time: the Groups
// panel in a host of a given size and the "Files From Directory" dialog. As with the
// configuration dialog (dialogplaces.h), the test builds the same widgets offscreen, over a
// library of its own in a temporary folder, and asks them where each control lies.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

namespace e2e {

class LibraryPlaces {
public:
    // `rows`: how many entries the offscreen Groups panel lists (as many as the real one will)
    explicit LibraryPlaces(int rows);
    ~LibraryPlaces();
    LibraryPlaces(const LibraryPlaces&) = delete;
    LibraryPlaces& operator=(const LibraryPlaces&) = delete;

    // In a Groups panel whose host is `host` large, in the host's coordinates: the bar's button
    // with that caption ("Add from Dir"), data row `row` (1 the first) of the grid scrolled to
    // its top, the grid's viewport.
    QRect groupsButton(QSize host, const QString& caption);
    QRect groupsRow(QSize host, int row);
    QRect groupsGrid(QSize host);
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
