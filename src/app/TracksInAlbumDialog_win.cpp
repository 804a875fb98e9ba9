#include "TracksInAlbumDialog_win.h"

#include "AlbumStats.h"
#include "ItemListView.h"
#include "ResourceIds.h"

TracksInAlbumDialog::TracksInAlbumDialog(Dialog& mainWindow, MainListOwner& owner,
                                         ItemListView& albumsList, AlbumStats& albumStats,
                                         const TrackSource& tracksView)
    : Dialog(mainWindow, IDD_TRACKS_IN_ALBUM), tracks(tracksView),
      list(*this, IDC_TRACKS_IN_ALBUM_LIST, owner),
      closeButton(*this, IDCANCEL, AnchorMove, AnchorMove) {
    int position = -1;
    int albumKey = 0;
    while (albumsList.nextSelected(position, albumKey)) {
        tracks.appendTrackIds(albumStats.getTrackIdList(albumKey));
    }
}

void TracksInAlbumDialog::onInitDialog() {
    list.attachView(tracks);
}
