#include "SyncProgress.h"

#include "JobHost.h"

void SyncProgress::track(int filePercent, int totalPercent,
                         const std::optional<std::wstring>& trackName, Clock::time_point now) {
    file = filePercent;
    total = totalPercent;
    if (trackName) {
        name = trackName;
    }
    pending = true;
    if (!lastSent || now - *lastSent >= kInterval) {
        send(now);
    }
}

void SyncProgress::flush(Clock::time_point now) {
    if (pending) {
        send(now);
    }
}

// A bar that shows its value already is left alone.
void SyncProgress::send(Clock::time_point now) {
    host.setProgress(file != sentFile ? std::optional<int>(file) : std::nullopt,
                     total != sentTotal ? std::optional<int>(total) : std::nullopt, name);
    sentFile = file;
    sentTotal = total;
    name.reset();
    pending = false;
    lastSent = now;
}
