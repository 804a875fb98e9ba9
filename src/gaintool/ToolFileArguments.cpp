#include "ToolFileArguments.h"

#include <utility>

ToolFileArguments::ToolFileArguments(bool toolSpeaksUtf8, System system)
    : speaksUtf8(toolSpeaksUtf8), system(std::move(system)) {}

namespace {

// Windows' MAX_PATH, with the terminating null: the tools' C run-time opens no
// longer path for changing, whatever the manifest or a "\\?\" prefix says.
constexpr std::size_t kMaxPath = 260;

} // namespace

std::optional<std::wstring> ToolFileArguments::argumentFor(const std::wstring& path) const {
    const bool outsideCodePage = !speaksUtf8 && !system.inCodePage(path);
    const bool tooLong = path.size() >= kMaxPath;
    if (!outsideCodePage && !tooLong) {
        return path;
    }
    std::optional<std::wstring> shortPath = system.shortForm(path);
    if (shortPath && (speaksUtf8 || system.inCodePage(*shortPath)) &&
        shortPath->size() < kMaxPath) {
        return shortPath;
    }
    if (outsideCodePage) {
        return std::nullopt;
    }
    return path; // the tool's own long-path awareness is all that is left
}
