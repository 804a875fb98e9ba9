#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Bytes that can be read at any offset: a file opened for reading, or bytes in
// memory. Readers of file formats take one, so they can look at a file's head
// and box tree without reading the audio.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t size() const = 0;
    // Reads up to buffer.size() bytes at offset; returns how many were read:
    // fewer at the end of the bytes or when reading fails.
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
};

// Bytes in memory, not owned.
class MemoryBytes : public ByteSource {
public:
    explicit MemoryBytes(std::span<const std::uint8_t> bytes) : bytes(bytes) {}

    std::uint64_t size() const override { return bytes.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override;

private:
    std::span<const std::uint8_t> bytes;
};
