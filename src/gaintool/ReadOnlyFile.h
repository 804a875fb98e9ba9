#pragma once

#include "ByteSource.h"

#include <cstdint>
#include <string>

// A file opened by its full path for reading only, shared with any program
// that writes or renames it meanwhile; paths of any length and in any script.
class ReadOnlyFile : public ByteSource {
public:
    enum class State { Open, Missing, Unreadable };

    explicit ReadOnlyFile(const std::wstring& path);
    ~ReadOnlyFile() override;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    State state() const { return openState; }
    std::uint64_t size() const override { return fileSize; }
    // The time of the last change, in the platform's units; with the size it
    // tells whether the file has changed since it was last looked at.
    std::int64_t modified() const { return modifiedTime; }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override;

private:
    State openState = State::Unreadable;
    std::uint64_t fileSize = 0;
    std::int64_t modifiedTime = 0;
    std::intptr_t handle; // a file descriptor, or a Windows handle
};
