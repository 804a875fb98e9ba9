#pragma once

#include <functional>

// Starts routine on a new thread that is never joined. A failure to start is
// fatal (the fatal message names ..\Win32\Threading). Exceptions that the
// routine lets escape end the thread quietly: routines catch what they expect.
void startThread(std::function<void()> routine);
