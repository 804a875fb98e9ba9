#pragma once

#include "JobProgress.h"

class JobHost;

// The reports of a job that runs one item at a time, passed on to the window
// as they come; the total bar is done × 100 / total + percent / total.
class DirectProgress : public JobProgress {
public:
    explicit DirectProgress(JobHost& host) : host(host) {}

    void itemStatus(const std::wstring& itemName, int stringId) override;
    void trackStatus(const std::wstring& text) override;
    void fileProgress(int percent) override;
    void totalProgress(int doneTracks, int percent, int totalTracks) override;

private:
    JobHost& host;
};
