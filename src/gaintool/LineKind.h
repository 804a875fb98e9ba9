#pragma once

// What one line of the gain tool's output turned out to be.
enum LineKind {
    EndOfOutput = 0,
    HeaderRow = 1,     // column headers (ignored)
    DataRow = 2,       // values of one file, or the "Album" row
    ProgressLine = 3,  // a progress report ending in a lone carriage return
    ApplyingLine = 4,  // "Applying ..." (ignored)
    DoneLine = 5,      // "done" (ignored)
    UndoRow = 6,       // a row of exactly two fields (ignored)
    NoChangesLine = 7, // "No changes ..." (ignored)
    ErrorLine = 8,     // anything else: the tool's error text
};
