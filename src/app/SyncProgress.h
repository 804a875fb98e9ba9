#pragma once

#include <chrono>
#include <optional>
#include <string>

class JobHost;

// The bars and the track's name of a sync, sent to the window at most once an
// interval (the first at once) and whenever a playlist ends, so that the
// window keeps up without slowing the sync: a send costs the sync a round
// trip to the window's thread. What is sent last is exactly what would have
// been sent after each track.
class SyncProgress {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kInterval = std::chrono::milliseconds(50);

    explicit SyncProgress(JobHost& host) : host(host) {}

    // After a track was recorded: the bars' percentages and its name, if any.
    void track(int filePercent, int totalPercent, const std::optional<std::wstring>& name,
               Clock::time_point now);
    // At a playlist's end: sends what has not been sent yet.
    void flush(Clock::time_point now);

private:
    void send(Clock::time_point now);

    JobHost& host;
    int file = 0;
    int total = 0;
    std::optional<std::wstring> name; // a name not sent yet
    bool pending = false;
    int sentFile = -1;
    int sentTotal = -1;
    std::optional<Clock::time_point> lastSent;
};
