#pragma once

#include "JobKind.h"

// What the user asked of a job: written by the user-interface thread before
// the job thread starts, read only by the job thread afterwards.
struct JobParameters {
    JobKind kind = JobKind::NoJob;
    JobScope scope = JobScope::TracksView;
    int constantGainChannel = 0; // 0 both channels, 1 left, 2 right
    int constantGainSteps = 0;   // -8..8 steps of 1.5 dB
};
