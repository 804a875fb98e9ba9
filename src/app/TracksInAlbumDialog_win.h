#pragma once

#include "AlbumTrackSource.h"
#include "Control_win.h"
#include "Dialog_win.h"
#include "MainListView_win.h"

class AlbumStats;
class ItemListView;

// Tracks in Album (template 129, resizable): the tracks of the albums selected
// in the main list, album after album in the order of the selection, with the
// columns of the tracks view.
class TracksInAlbumDialog : public Dialog {
public:
    // Reads the selection of albumsList now; owner gets the list's status texts.
    TracksInAlbumDialog(Dialog& mainWindow, MainListOwner& owner, ItemListView& albumsList,
                        AlbumStats& albumStats, const TrackSource& tracksView);

    void onInitDialog() override;

private:
    AlbumTrackSource tracks;
    MainListView list;
    Control closeButton;
};
