#pragma once

// The gain tool's operations; the value indexes the table of switch texts.
enum ToolOp {
    OpCheckTags = 0,  // "/s c": read back the values recorded in the files' tags
    OpAnalyze = 1,    // no switch: measure track and album loudness
    OpApply = 2,      // "/c ": change the global gain by a step count
    OpUndo = 3,       // "/u": undo earlier changes recorded in the tags
    OpDeleteTags = 4, // "/s d": remove the tool's tags
};
