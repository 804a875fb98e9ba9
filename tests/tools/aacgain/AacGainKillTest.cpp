// A change killed at any moment leaves the song as it was or as the change
// makes it, never a mixture: the tool writes a copy beside the song and
// renames it over the song only once the copy checks out.
#include "AacToolTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace aactest;

namespace {

// Starts aacgain on the file, kills it after delay, and waits for it.
void runAndKill(const fs::path& song, std::chrono::microseconds delay) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(VELTO_AACGAIN, "aacgain", "/o", "/t", "/c", "/g", "1", song.c_str(), nullptr);
        ::_exit(127);
    }
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
}

} // namespace

TEST(AacGainKill, AChangeKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    Scratch scratch;
    fs::path reference = scratch.copyOf("stereo44-front.m4a", "reference.m4a");
    std::vector<std::uint8_t> before = bytesOf(reference);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(errorLines(aacgain("/o /t /c /g 1", {reference}).output).empty());
    auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    std::vector<std::uint8_t> after = bytesOf(reference);
    ASSERT_NE(before, after);

    fs::path song = scratch.path() / "song.m4a";
    int old = 0;
    int changed = 0;
    constexpr int kTries = 16;
    for (int i = 0; i < kTries; ++i) {
        fs::copy_file(testFile("stereo44-front.m4a"), song, fs::copy_options::overwrite_existing);
        // Spread over the run and as long again, so that the late ones
        // find it done even when this run is slower than the first.
        runAndKill(song, whole * 2 * (i + 1) / kTries);
        std::vector<std::uint8_t> now = bytesOf(song);
        ASSERT_TRUE(now == before || now == after) << "torn file after killing at try " << i;
        (now == before ? old : changed)++;
    }
    // The kills met the tool both before and after its rename.
    EXPECT_GT(old, 0);
    EXPECT_GT(changed, 0);
}
