#include "PlaylistDropDown_win.h"

#include "JobControl.h"

PlaylistDropDown::PlaylistDropDown(Window& parent, int itemId, JobControl& jobs)
    : DropDownList(parent, itemId, AnchorNone, AnchorNone), jobs(jobs) {}

void PlaylistDropDown::onSelect(int key) {
    jobs.selectPlaylist(key);
}
