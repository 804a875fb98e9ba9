#pragma once

#include "ToolOp.h"

#include <string>

// The gain tool's command line for one operation on an item's file arguments
// (each path in double quotes). The first word is always "aacgain", whichever
// tool is started: the program file is given to the process start separately.
// steps and channel count only for OpApply (channel 0 both, 1 left, 2 right).
std::wstring buildCommandLine(ToolOp op, int steps, const std::wstring& fileArgs, int channel);
