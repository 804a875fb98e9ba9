#pragma once

#include "ToolOp.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

// Runs the gain tool once as a child process without a window or standard
// input, its standard output and standard error joined in one pipe that the
// caller reads through the returned stream (binary mode).
//
//   RunAACGain tool(gainToolPath);
//   ParseAACGain parser(tool.run(OpAnalyze, 0, fileArgs, 0));
//   ... read lines ...
//   tool.terminate();
//   tool.close();
//
// A tool that will not start after a few tries raises ToolStartFailure; the
// other failures of the pipe raise the fatal Exception (file ".\RunAACGain").
// The destructor terminates and waits for a child still held, so no path
// leaves one behind. Used on one thread, for one child; only interrupt may be
// called from another thread.
class RunAACGain {
public:
    // The path (of aacgain.exe or mp3gain.exe) must outlive this object.
    explicit RunAACGain(const std::wstring& toolPath);
    ~RunAACGain();
    RunAACGain(const RunAACGain&) = delete;
    RunAACGain& operator=(const RunAACGain&) = delete;

    // Starts the tool with the command line of op on the file arguments; the
    // stream stays owned by this object until close.
    std::FILE* run(ToolOp op, int steps, const std::wstring& fileArgs, int channel);
    // Forces a child that still runs to end (exit code 2 on Windows), then closes.
    void terminate();
    // Closes the stream, waits without limit for the child to end and releases
    // it. Nothing happens when no child is held.
    void close();

    // Ends the child from any thread, at any moment: a child that runs is
    // forced to end (its output then ends), and a child that run starts after
    // this ends as soon as it has started. The owner still calls terminate and
    // close. The child cannot be mistaken for another process: it is only
    // released (its id freed) under the same lock.
    void interrupt();

    bool hasChild() const;
    // The child's process id; 0 when none is held.
    unsigned long processId() const;

private:
    struct Child; // the platform's process handles

    // Hands the started child over to this object, unless interrupted.
    void adopt(std::unique_ptr<Child> started);
    // Forgets the child once it has ended (waited for without releasing it).
    void release();

    const std::wstring& toolPath;
    // Written by the owner's thread under childLock; interrupt reads it under
    // the lock, the owner's own reads need none.
    std::unique_ptr<Child> child;
    std::mutex childLock;
    bool interrupted = false;
    std::FILE* stream = nullptr;
};
