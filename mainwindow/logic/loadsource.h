// The load source: the song grid whose current row the next LOAD reads (msender), the grid to
// return to after a load (msenderold) and the name of the panel last entered (loadfrom:
// "Playlist", "Grupos" or "Explorer"). Shared by the loading, the panel arrangement, the status
// timer's automix walk and the controllers' browsing. UI thread only.
#pragma once

#include <QString>

class SongGrid;

class LoadSource {
public:
    SongGrid* msender = nullptr;
    SongGrid* msenderold = nullptr;
    QString loadfrom;
};
