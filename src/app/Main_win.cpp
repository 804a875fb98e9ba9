#include "Exception.h"
#include "ResourceStringTable_win.h"

#include <windows.h>

namespace {
constexpr int kFatalStringId = 145;
constexpr int kCaptionStringId = 141;
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    static const ResourceStringTable strings(instance);
    Exception::initialize(strings, kFatalStringId, kCaptionStringId);
    return 0;
}
