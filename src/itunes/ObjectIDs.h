#pragma once

#include <cstdint>

// The key by which iTunes finds any of its objects again. For a playlist,
// trackID and databaseID are 0.
struct ObjectIDs {
    int32_t sourceID = 0;
    int32_t playlistID = 0;
    int32_t trackID = 0;
    int32_t databaseID = 0;
};
