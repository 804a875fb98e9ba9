#include "CommandLine.h"

#include "Exception.h"

namespace {

constexpr const wchar_t* kProgramAndFixedSwitches = L"aacgain /o /t ";
constexpr const wchar_t* kOperationSwitches[] = {L"/s c", L"", L"/c ", L"/u", L"/s d"};
constexpr int kOperationCount = sizeof(kOperationSwitches) / sizeof(kOperationSwitches[0]);

const wchar_t* channelSwitch(int channel) {
    switch (channel) {
    case 0:
        return L"/g ";
    case 1:
        return L"/l 0";
    case 2:
        return L"/l 1";
    default:
        return L"";
    }
}

} // namespace

std::wstring buildCommandLine(ToolOp op, int steps, const std::wstring& fileArgs, int channel) {
    if (op < 0 || op >= kOperationCount) {
        checkResult(-1, L".\\RunAACGain", __LINE__);
    }
    std::wstring commandLine = kProgramAndFixedSwitches;
    commandLine += kOperationSwitches[op];
    if (op == OpApply) {
        commandLine += channelSwitch(channel);
        commandLine += L' ' + std::to_wstring(steps) + L' ';
    }
    commandLine += L' ';
    commandLine += fileArgs;
    return commandLine;
}
