#pragma once

#include "DropDownList_win.h"

class JobControl;

// The main window's drop-down of playlists; an entry's key is the playlist's
// index in the database. Choosing one makes it the current playlist.
class PlaylistDropDown : public DropDownList {
public:
    PlaylistDropDown(Window& parent, int itemId, JobControl& jobs);

    void onSelect(int key) override;

private:
    JobControl& jobs;
};
