#pragma once

#include <string>

// Unbuffered byte-exact output (no newline translation), so that chunks
// written to standard output and standard error keep their order in a pipe.
void writeStandardOutput(const std::string& bytes);
void writeStandardError(const std::string& bytes);
void sleepMilliseconds(int milliseconds);
// This process's id, as the platform numbers processes.
unsigned long currentProcessId();
