#include "FileScreen.h"

#include "MessageFormat.h"
#include "ReadOnlyFile.h"
#include "StringTable.h"

namespace {

constexpr int kFileNotFoundStringId = 171;
constexpr int kFileIsEmptyStringId = 206;
constexpr int kCannotBeReadStringId = 207;
constexpr int kDoesNotHandleStringId = 208;

int formatNameStringId(AudioFormat format) {
    switch (format) {
    case AudioFormat::Mp3:
        return 221;
    case AudioFormat::AacInMp4:
        return 210;
    case AudioFormat::AppleLossless:
        return 211;
    case AudioFormat::ProtectedAudio:
        return 212;
    case AudioFormat::Mp4Video:
        return 213;
    case AudioFormat::Mp4OtherAudio:
        return 214;
    case AudioFormat::Mp4Unusable:
        return 215;
    case AudioFormat::Wav:
        return 216;
    case AudioFormat::Aiff:
        return 217;
    case AudioFormat::Flac:
        return 218;
    case AudioFormat::Ogg:
        return 219;
    default:
        return 220;
    }
}

} // namespace

FileScreen::FileScreen(const std::wstring& toolPath) : formats(toolPath) {}

FileScreen::Verdict FileScreen::check(const std::wstring& path) {
    ReadOnlyFile file(path);
    if (file.state() == ReadOnlyFile::State::Missing) {
        return {FileProblem::Missing};
    }
    if (file.state() == ReadOnlyFile::State::Unreadable) {
        return {FileProblem::Unreadable};
    }
    if (file.size() == 0) {
        return {FileProblem::Empty, AudioFormat::Empty};
    }
    const Seen now{file.size(), file.modified(), AudioFormat::Unknown};
    std::optional<AudioFormat> format = knownFormat(path, now);
    if (!format) {
        format = detectAudioFormat(file);
        remember(path, Seen{now.size, now.modified, *format});
    }
    return {formats.handles(*format) ? FileProblem::None : FileProblem::NotHandled, *format};
}

std::optional<AudioFormat> FileScreen::knownFormat(const std::wstring& path, const Seen& now) {
    std::lock_guard lock(seenLock);
    auto known = seen.find(path);
    if (known == seen.end() || known->second.size != now.size ||
        known->second.modified != now.modified) {
        return std::nullopt;
    }
    return known->second.format;
}

void FileScreen::remember(const std::wstring& path, const Seen& file) {
    std::lock_guard lock(seenLock);
    seen[path] = file;
}

std::wstring FileScreen::describe(const Verdict& verdict, const StringTable& strings) const {
    auto text = [&](int id) { return strings.load(id).value_or(std::wstring()); };
    switch (verdict.problem) {
    case FileProblem::Missing:
        return text(kFileNotFoundStringId);
    case FileProblem::Empty:
        return text(kFileIsEmptyStringId);
    case FileProblem::Unreadable:
        return text(kCannotBeReadStringId);
    default:
        return formatMessage(text(kDoesNotHandleStringId),
                             {formats.toolName(), text(formatNameStringId(verdict.format))});
    }
}
