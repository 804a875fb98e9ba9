#pragma once

class Preferences;

inline constexpr int kMostToolRuns = 16;

// How many gain tool runs a job makes at once: the ToolRuns preference, or
// without one the number of logical processors; always between 1 and 16.
int toolRuns(const Preferences& preferences);
