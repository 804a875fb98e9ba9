#pragma once

#include <cstddef>
#include <cstdio>

// Reads what the stream's file descriptor has ready, at most size bytes,
// waiting only until some bytes arrive (so a pipe's lines are seen as soon as
// the tool writes them). Returns the count, 0 at the end, -1 on an error.
// Bypasses the stream's own buffer: the stream must not be read otherwise.
long readAvailable(std::FILE* stream, char* buffer, std::size_t size);
