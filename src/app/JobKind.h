#pragma once

// What a job does to each item it walks. The values are those the job frame
// switches on; NoJob means that no job runs.
enum class JobKind {
    Analyze = 0,
    ClearData = 1,
    ApplyGain = 2,
    ConstantGain = 3,
    UndoGain = 4,
    RemoveTags = 5,
    NoJob = 6,
};

// What a job walks: each selected row of the tracks view, each selected album
// of the albums view, or all selected tracks together as one album.
enum class JobScope {
    TracksView = 0,
    AlbumsView = 1,
    SelectionAsAlbum = 2,
};
