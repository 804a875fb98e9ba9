#include "GainArithmetic.h"
#include "JobFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace {

// What the tool measures afresh, without reading or writing its tags.
struct Measured {
    double gain = 0;
    double maxAmplitude = 0;
};

// Jobs with the real gain tool on generated MP3s, checked by the tool's own
// fresh analysis of the files afterwards.
class RealToolJobTest : public JobTest {
protected:
    explicit RealToolJobTest(std::wstring tool = realToolPath()) : JobTest(std::move(tool)) {}

    std::wstring audio(const std::wstring& name, const std::wstring& album) {
        const std::wstring path = toText(freshAudio(dir.path(), name, name));
        addTrack(path, album);
        return path;
    }
    // A file of the test's folder; the name's own text, whatever the locale.
    std::wstring inDir(const std::wstring& name) {
        return toText(dir.path()) +
               static_cast<wchar_t>(std::filesystem::path::preferred_separator) + name;
    }
    Measured measure(const std::wstring& path) {
        const std::string output = runToolDirectly(toolPath, L"/o /s s " + quotedPath(path));
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            // Progress lines end in CR alone, rows on Windows in CR LF.
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            line = line.substr(line.rfind('\r') + 1);
            if (line.rfind(toolBytesOf(path) + "\t", 0) == 0) {
                std::istringstream fields(line.substr(toolBytesOf(path).size() + 1));
                std::string steps, gain, maxAmplitude;
                std::getline(fields, steps, '\t');
                std::getline(fields, gain, '\t');
                std::getline(fields, maxAmplitude, '\t');
                return {std::stod(gain), std::stod(maxAmplitude)};
            }
        }
        ADD_FAILURE() << "no row for the file in: " << output;
        return {};
    }
    // The whole steps by which the file's loudness went up between two analyses.
    static int stepsBetween(const Measured& before, const Measured& after) {
        return static_cast<int>(std::lround((before.gain - after.gain) / kGainStepDb));
    }
};

#ifndef _WIN32
// The samples lame decodes from an MP3 (16-bit, interleaved).
std::vector<int16_t> decode(const std::wstring& path) {
    const std::string wav = toolBytesOf(path) + ".wav";
    const std::string command = "lame --quiet --decode '" + toolBytesOf(path) + "' '" + wav + "'";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "lame --decode failed";
        return {};
    }
    std::ifstream file(wav, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t data = bytes.find("data") + 8;
    std::vector<int16_t> samples((bytes.size() - data) / 2);
    std::memcpy(samples.data(), bytes.data() + data, samples.size() * 2);
    return samples;
}
#endif

} // namespace

TEST_F(RealToolJobTest, ApplyGainBringsEveryTrackWithinOneStepOfTheTargetAndUndoTakesItBack) {
    const std::vector<std::wstring> paths = {audio(L"quiet.mp3", L"q"), audio(L"loud.mp3", L"l"),
                                             audio(L"album2.mp3", L"a")};
    std::vector<Measured> before;
    for (const std::wstring& path : paths) {
        before.push_back(measure(path));
    }
#ifndef _WIN32
    const std::vector<int16_t> quietSamples = decode(paths[0]);
#endif
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0, 1, 2});
    EXPECT_TRUE(host.callsOf("ask ").empty()) << testing::PrintToString(host.callsOf("ask "));
    for (size_t i = 0; i < paths.size(); ++i) {
        const Measured after = measure(paths[i]);
        EXPECT_LE(std::fabs(after.gain), kGainStepDb) << i; // volume 89 - gain
        EXPECT_NE(stepsBetween(before[i], after), 0) << i;
        // The list shows what the tags hold after the read-back; the tool's
        // tags keep no gain beyond 10 dB, so only then is that the truth.
        if (std::fabs(before[i].gain) < 10.0) {
            EXPECT_NEAR(fileOf(paths[i]).trackGain.value, after.gain, 0.01) << i;
        }
    }
#ifndef _WIN32
    // Only the global gain changed: the decoded audio is the old one scaled
    // by 2^(steps/4), up to the rounding of each sample.
    const std::vector<int16_t> louder = decode(paths[0]);
    ASSERT_EQ(louder.size(), quietSamples.size());
    const double factor = std::pow(2.0, stepsBetween(before[0], measure(paths[0])) / 4.0);
    double worst = 0;
    for (size_t i = 0; i < louder.size(); ++i) {
        worst = std::max(worst, std::fabs(louder[i] - factor * quietSamples[i]));
    }
    EXPECT_LE(worst, factor + 1.0);
#endif
    runJob(JobKind::UndoGain, JobScope::TracksView, {0, 1, 2});
    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_NEAR(measure(paths[i]).gain, before[i].gain, 0.05) << i;
    }
}

TEST_F(RealToolJobTest, DontClipRaisesAFileOnlyToItsNoClipLimit) {
    preferences.setPrefBool(PrefIndex::DontClip, true);
    const std::wstring path = audio(L"peaky.mp3", L"p");
    const Measured before = measure(path);
    const int limit = maxNoClipGlobalGainAdjust(before.maxAmplitude);
    ASSERT_LT(limit, toGlobalGainAdjust(volumeFromGain(before.gain), 89));
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0});
    const Measured after = measure(path);
    EXPECT_EQ(stepsBetween(before, after), limit);
    EXPECT_LE(after.maxAmplitude, 32767.0);
}

TEST_F(RealToolJobTest, AlbumGainChangesEveryTrackOfTheAlbumByTheSameSteps) {
    const std::vector<std::wstring> paths = {audio(L"album1.mp3", L"a"), audio(L"album2.mp3", L"a"),
                                             audio(L"album3.mp3", L"a")};
    std::vector<Measured> before;
    for (const std::wstring& path : paths) {
        before.push_back(measure(path));
    }
    runJob(JobKind::ApplyGain, JobScope::AlbumsView, {0});
    EXPECT_TRUE(host.callsOf("ask ").empty()) << testing::PrintToString(host.callsOf("ask "));
    const int steps = stepsBetween(before[0], measure(paths[0]));
    EXPECT_NE(steps, 0);
    for (size_t i = 1; i < paths.size(); ++i) {
        EXPECT_EQ(stepsBetween(before[i], measure(paths[i])), steps) << i;
        EXPECT_EQ(fileOf(paths[i]).albumGain, fileOf(paths[0]).albumGain);
    }
}

// The tool's tags hold no gain beyond 10 dB, so the read-back after an
// analysis would store -9.999999 for loud.mp3 (-12.4 dB) and the next Apply
// Gain would leave it nearly 2 dB too loud.
TEST_F(RealToolJobTest, AnAnalysisBeyondTheTagsGainLimitKeepsWhatTheToolMeasured) {
    const std::wstring path = audio(L"loud.mp3", L"l");
    const Measured before = measure(path);
    ASSERT_LT(before.gain, -10.0);
    runJob(JobKind::Analyze, JobScope::TracksView, {0});
    EXPECT_NEAR(fileOf(path).trackGain.value, before.gain, 0.01);
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0});
    EXPECT_LE(std::fabs(measure(path).gain), kGainStepDb);
}

// A real library's other files stay byte for byte what they were through every
// job, among them an audiobook in which the tool alone sees MPEG frames; its
// MP3s (one cut short) are levelled as before.
TEST_F(RealToolJobTest, EveryFileThatIsNotAnMp3StaysByteForByteThroughEveryJob) {
    const std::vector<std::wstring> mp3s = {L"kind-song.mp3", L"kind-cut.mp3"};
    const std::vector<std::wstring> others = {
        L"kind-song.m4a",      L"kind-aac.mp3",  L"kind-book.m4b", L"kind-lossless.m4a",
        L"kind-protected.m4p", L"kind-cut.m4a",  L"kind-song.wav", L"kind-song.aiff",
        L"kind-song.flac",     L"kind-empty.mp3"};
    auto copy = [&](const std::wstring& name) {
        const std::filesystem::path path = dir / name;
        std::filesystem::copy_file(pristineTestLibrary() / name, path);
        addTrack(toText(path), name);
        return toText(path);
    };
    std::vector<std::wstring> levelled;
    for (const std::wstring& name : mp3s) {
        levelled.push_back(copy(name));
    }
    std::map<std::wstring, std::string> untouched;
    for (const std::wstring& name : others) {
        const std::wstring path = copy(name);
        untouched[path] = readFileBytes(toPath(path));
    }
    // Debian's mp3gain alone measures the audiobook as if it were MP3 (the
    // tool Velto builds refuses it itself).
    if (!toolPath.ends_with(L".exe")) {
        const std::wstring book = toText(dir / L"kind-book.m4b");
        const std::string alone = runToolDirectly(toolPath, L"/o /s s " + quotedPath(book));
        ASSERT_NE(alone.find(toolBytesOf(book) + "\t"), std::string::npos)
            << "the tool alone no longer measures the audiobook: " << alone;
    }

    std::set<int> everyRow;
    for (int row = 0; row < database.currentTrackCount(); ++row) {
        everyRow.insert(row);
    }
    runJob(JobKind::Analyze, JobScope::TracksView, everyRow);
    runJob(JobKind::ApplyGain, JobScope::TracksView, everyRow);
    for (const std::wstring& path : levelled) {
        EXPECT_LE(std::fabs(measure(path).gain), kGainStepDb) << toolBytesOf(path);
    }
    runJob(JobKind::UndoGain, JobScope::TracksView, everyRow);
    runJob(JobKind::RemoveTags, JobScope::TracksView, everyRow);
    EXPECT_TRUE(host.callsOf("ask ").empty()) << testing::PrintToString(host.callsOf("ask "));
    for (const auto& [path, bytes] : untouched) {
        EXPECT_TRUE(readFileBytes(toPath(path)) == bytes) << toolBytesOf(path) << " was changed";
    }
}

// The names a library in another script holds, and a song in folders deep
// enough that its path passes 260 characters.
static std::vector<std::wstring> namesInEveryScript() {
    std::wstring deep;
    while (deep.size() < 270) {
        deep += L"A folder nested deep in the library";
        deep += static_cast<wchar_t>(std::filesystem::path::preferred_separator);
    }
    return {L"\u03a9\u03b4\u03ae \u03c3\u03c4\u03b7 \u03b8\u03ac\u03bb\u03b1\u03c3\u03c3\u03b1.mp3",
            L"\u041f\u0435\u0441\u043d\u044f.mp3", L"\u6d77\u306e\u6b4c.mp3",
            L"Song \U0001F3B5.mp3", deep + L"Deep down below.mp3"};
}

// Each name reaches the tool as it is: through every job the file gets the
// values and the bytes of the same audio under an ASCII name, and the database
// keeps the names iTunes gave.
TEST_F(RealToolJobTest, SongsNamedInAnyScriptOrDeepInFoldersAreLevelledAsAnAsciiNamedOne) {
    const std::wstring ascii = audio(L"quiet.mp3", L"q");
    std::vector<std::wstring> paths;
    for (const std::wstring& name : namesInEveryScript()) {
        paths.push_back(inDir(name));
        const std::filesystem::path path = toPath(paths.back());
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::copy_file(toPath(ascii), path);
        addTrack(paths.back(), L"q");
    }
    ASSERT_GT(paths.back().size(), 260u);
    std::set<int> everyRow;
    for (int row = 0; row < database.currentTrackCount(); ++row) {
        everyRow.insert(row);
    }
    const Measured before = measure(ascii);
    auto expectLikeAscii = [&](const char* job) {
        for (const std::wstring& path : paths) {
            EXPECT_TRUE(readFileBytes(toPath(path)) == readFileBytes(toPath(ascii)))
                << job << ": " << toolBytesOf(path);
            EXPECT_EQ(fileOf(path).trackGain, fileOf(ascii).trackGain)
                << job << ": " << toolBytesOf(path);
            EXPECT_EQ(fileOf(path).maxAmplitude, fileOf(ascii).maxAmplitude) << job;
        }
    };
    runJob(JobKind::Analyze, JobScope::TracksView, everyRow);
    ASSERT_TRUE(fileOf(ascii).trackGain.present);
    expectLikeAscii("Analyze");
    runJob(JobKind::ApplyGain, JobScope::TracksView, everyRow);
    EXPECT_NE(stepsBetween(before, measure(ascii)), 0);
    expectLikeAscii("Apply Gain");
    for (const std::wstring& path : paths) {
        EXPECT_NEAR(measure(path).gain, measure(ascii).gain, 0.01) << toolBytesOf(path);
    }
    runJob(JobKind::UndoGain, JobScope::TracksView, everyRow);
    EXPECT_NEAR(measure(ascii).gain, before.gain, 0.05);
    expectLikeAscii("Undo");
    runJob(JobKind::RemoveTags, JobScope::TracksView, everyRow);
    expectLikeAscii("Remove Tags");
    EXPECT_TRUE(host.callsOf("ask ").empty()) << testing::PrintToString(host.callsOf("ask "));
    EXPECT_TRUE(host.callsOf("summary").empty()) << testing::PrintToString(host.callsOf("summary"));
    EXPECT_EQ(database.contents().fileIndex.size(), paths.size() + 1);
    for (const std::wstring& path : paths) {
        EXPECT_EQ(database.contents().fileIndex.count(path), 1u) << toolBytesOf(path);
    }
}

#ifdef VELTO_ANSI_GAIN_TOOL
// mp3gain.exe built without the manifest, as a user's own tool: it speaks only
// the ANSI code page (1252 under this Wine).
class AnsiToolJobTest : public RealToolJobTest {
protected:
    AnsiToolJobTest() : RealToolJobTest(toolPathOf(VELTO_ANSI_GAIN_TOOL)) {}
};

// Greek and Japanese are outside code page 1252: the tool is given their short
// forms, and its rows, which name those, land on the records of the names
// iTunes gave. The tool writes a changed file anew under the name it was given,
// so each file gets its own name back after every change.
TEST_F(AnsiToolJobTest, ANameOutsideTheCodePageReachesTheToolInItsShortForm) {
    const std::wstring ascii = audio(L"quiet.mp3", L"q");
    const std::vector<std::wstring> names = namesInEveryScript();
    std::vector<std::wstring> paths;
    for (const std::wstring& name : {names[0], names[2]}) {
        paths.push_back(inDir(name));
        std::filesystem::copy_file(toPath(ascii), toPath(paths.back()));
        addTrack(paths.back(), L"q");
    }
    auto expectLikeAscii = [&](const char* job) {
        EXPECT_TRUE(host.callsOf("summary").empty())
            << job << ": " << testing::PrintToString(host.callsOf("summary"));
        ASSERT_TRUE(fileOf(ascii).trackGain.present) << job;
        for (const std::wstring& path : paths) {
            EXPECT_TRUE(readFileBytes(toPath(path)) == readFileBytes(toPath(ascii)))
                << job << ": " << toolBytesOf(path);
            EXPECT_EQ(fileOf(path).trackGain, fileOf(ascii).trackGain) << toolBytesOf(path);
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            EXPECT_EQ(entry.path().filename().wstring().find(L'~'), std::wstring::npos)
                << job << " left a file under its short name";
        }
    };
    const Measured before = measure(ascii);
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0, 1, 2});
    EXPECT_NE(stepsBetween(before, measure(ascii)), 0);
    expectLikeAscii("Apply Gain");
    runJob(JobKind::UndoGain, JobScope::TracksView, {0, 1, 2});
    EXPECT_NEAR(measure(ascii).gain, before.gain, 0.05);
    expectLikeAscii("Undo");
    EXPECT_EQ(database.contents().fileIndex.size(), 3u);
}
#endif
