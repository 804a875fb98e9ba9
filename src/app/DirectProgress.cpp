#include "DirectProgress.h"

#include "JobHost.h"

void DirectProgress::itemStatus(const std::wstring& itemName, int stringId) {
    host.setStatusWithItem(itemName, stringId);
}

void DirectProgress::trackStatus(const std::wstring& text) {
    host.setTrackStatus(text);
}

void DirectProgress::fileProgress(int percent) {
    host.setFileProgress(percent);
}

void DirectProgress::totalProgress(int doneTracks, int percent, int totalTracks) {
    host.setTotalProgress(totalTracks > 0 ? doneTracks * 100 / totalTracks + percent / totalTracks
                                          : 0);
}
