#include "ModelFixture.h"

#include "GainArithmetic.h"
#include "LoudnessOverview.h"

#include <cmath>
#include <limits>

namespace {

class LoudnessOverviewTest : public ModelTest {
protected:
    // Seven tracks whose volumes, steps and clipping are worked out by hand at
    // target 89 (a volume is 89 minus the track gain):
    //   Even     89.0 dB, 0 steps                          bin 89 -> 89
    //   Hot      92.2 dB, -2 steps, 40000 clips now          bin 92 -> 89.19
    //   Quiet    83.0 dB, +4 steps, 20000 x 2 clips after    bin 83 -> 89.02
    //            (Don't Clip: at most 2 steps, to 86.01)
    //   Unknown  88.0 dB, +1 step, amplitude not measured    bin 88 -> 89.51
    //   Fresh    a file never analysed
    //   Gone     no file record
    //   Damaged  a gain that is not a number
    void addKnownPlaylist() {
        addAnalysedTrack(L"Even", L"C:\\even.mp3", 10000, 0.0);
        addAnalysedTrack(L"Hot", L"C:\\hot.mp3", 40000, -3.2);
        addAnalysedTrack(L"Quiet", L"C:\\quiet.mp3", 20000, 6.0);
        addTrack(L"Unknown", L"C:\\unknown.mp3");
        database.setTrackResult(L"C:\\unknown.mp3", OptionalReal::absent(), OptionalReal::of(1.0));
        addTrack(L"Fresh", L"C:\\fresh.mp3");
        addTrack(L"Gone", std::nullopt);
        addAnalysedTrack(L"Damaged", L"C:\\damaged.mp3", 10000,
                         std::numeric_limits<double>::quiet_NaN());
    }

    // The bins as (dB, count) pairs of the non-empty ones.
    static std::map<int, int> filled(const LoudnessPicture& picture, bool after) {
        std::map<int, int> bins;
        const std::vector<int>& counts = after ? picture.after : picture.now;
        for (size_t i = 0; i < counts.size(); ++i) {
            if (counts[i]) {
                bins[picture.lowestBin + int(i)] = counts[i];
            }
        }
        return bins;
    }

    LoudnessOverview overview{database};
};

} // namespace

TEST_F(LoudnessOverviewTest, BinsAndCountsOfAPlaylistWithKnownValues) {
    addKnownPlaylist();

    ASSERT_TRUE(overview.refresh(89, false));
    const LoudnessPicture& picture = overview.picture();
    EXPECT_EQ(picture.targetVolume, 89);
    EXPECT_EQ(picture.lowestBin, 83);
    EXPECT_EQ(picture.highestBin(), 89 + LoudnessOverview::kNarrowestReach);
    EXPECT_EQ(picture.now.size(), picture.after.size());
    EXPECT_EQ(filled(picture, false), (std::map<int, int>{{83, 1}, {88, 1}, {89, 1}, {92, 1}}));
    EXPECT_EQ(filled(picture, true), (std::map<int, int>{{89, 4}}));
    EXPECT_EQ(picture.tallestBin(), 4);
    EXPECT_EQ(picture.counts.analysed, 4);
    EXPECT_EQ(picture.counts.notAnalysed, 3); // Fresh, Gone and Damaged
    EXPECT_EQ(picture.counts.clippingNow, 1);
    EXPECT_EQ(picture.counts.wouldClipAfter, 1);
    EXPECT_EQ(picture.counts.limitedByDontClip, 0);

    ASSERT_TRUE(overview.refresh(89, true));
    EXPECT_EQ(filled(overview.picture(), true), (std::map<int, int>{{86, 1}, {89, 3}}));
    EXPECT_EQ(overview.picture().counts.wouldClipAfter, 0);
    EXPECT_EQ(overview.picture().counts.limitedByDontClip, 1);
}

// The picture must show what Apply Gain does: its steps are those the tracks
// view and the job take, for volumes on both sides of every rounding edge.
TEST_F(LoudnessOverviewTest, PredictionTakesTheJobsStepsAndDontClipLimit) {
    for (int i = 0; i < 40; ++i) {
        const double gain = -15.0 + i * 0.7525;
        const double amplitude = 3000.0 + i * 900.0;
        const std::wstring path = L"C:\\t" + std::to_wstring(i) + L".mp3";
        addAnalysedTrack(L"T", path, amplitude, gain);
        ASSERT_TRUE(tracks.selectRow(i));
        for (int target : {75, 89, 100}) {
            trackbar.position = target;
            tracks.reset();
            ASSERT_TRUE(tracks.selectRow(i));
            int steps = 0;
            ASSERT_TRUE(tracks.getGlobalGainAdjust(steps));
            bool willClip = false;
            tracks.getWillClip(willClip);
            PredictedGain free =
                LoudnessOverview::predict(89.0 - gain, OptionalReal::of(amplitude), target, false);
            EXPECT_EQ(free.steps, steps) << i << " at " << target;
            EXPECT_EQ(free.wouldClip, willClip) << i << " at " << target;
            PredictedGain limited =
                LoudnessOverview::predict(89.0 - gain, OptionalReal::of(amplitude), target, true);
            if (willClip) {
                int limit = 0;
                tracks.getMaxNoClipGlobalGainAdjust(limit);
                EXPECT_EQ(limited.steps, limit);
                EXPECT_TRUE(limited.limitedByDontClip);
            } else {
                EXPECT_EQ(limited.steps, steps);
            }
            EXPECT_FALSE(limited.wouldClip) << i << " at " << target;
            EXPECT_DOUBLE_EQ(limited.volume, 89.0 - gain + stepsToDb(limited.steps));
        }
    }
}

TEST_F(LoudnessOverviewTest, FollowsTheTargetThePlaylistAndStoredValues) {
    addKnownPlaylist();
    database.addPlaylist(std::wstring(L"Short"), 0, false, 2);
    database.addTrack(1, std::wstring(L"C:\\even.mp3"), std::wstring(L"Even"),
                      std::wstring(L"Artist"), std::wstring(L"Album"));

    ASSERT_TRUE(overview.refresh(89, false));
    EXPECT_FALSE(overview.refresh(89, false)); // nothing changed: no redraw

    ASSERT_TRUE(overview.refresh(95, false));
    EXPECT_EQ(overview.picture().targetVolume, 95);
    EXPECT_EQ(overview.picture().highestBin(), 95 + LoudnessOverview::kNarrowestReach);
    EXPECT_EQ(overview.picture().counts.wouldClipAfter, 2); // Hot at +2 steps, Quiet at +8

    // A job stores a value: the never-analysed track joins the picture.
    database.setTrackResult(L"C:\\fresh.mp3", 5000, 2.0);
    ASSERT_TRUE(overview.refresh(95, false));
    EXPECT_EQ(overview.picture().counts.analysed, 5);
    database.clearTrackValues(*database.findTrack(database.playlistAt(0).trackIds[0]));
    ASSERT_TRUE(overview.refresh(95, false));
    EXPECT_EQ(overview.picture().counts.analysed, 4);

    database.setCurrentPlaylist(1);
    ASSERT_TRUE(overview.refresh(95, false));
    EXPECT_EQ(overview.picture().counts.analysed + overview.picture().counts.notAnalysed, 1);
}

// A hand-edited or damaged file can hold any number: the picture stays a
// bounded number of bins around the target, the outliers in the edge bins.
TEST_F(LoudnessOverviewTest, ExtremeVolumesLandInTheEdgeBins) {
    addAnalysedTrack(L"Absurdly loud", L"C:\\loud.mp3", 100, -1.0e300);
    addAnalysedTrack(L"Absurdly quiet", L"C:\\quiet.mp3", 100, 1.0e9);
    addAnalysedTrack(L"Protected", L"C:\\song.m4p", 40000, 5.0);

    ASSERT_TRUE(overview.refresh(89, true));
    const LoudnessPicture& picture = overview.picture();
    EXPECT_EQ(picture.lowestBin, 89 - LoudnessOverview::kWidestReach);
    EXPECT_EQ(picture.highestBin(), 89 + LoudnessOverview::kWidestReach);
    EXPECT_EQ(picture.now.front(), 1);
    EXPECT_EQ(picture.now.back(), 1);
    // Apply Gain skips a protected file: it stays at 84 dB and keeps clipping.
    EXPECT_EQ(filled(picture, false)[84], 1);
    EXPECT_EQ(filled(picture, true)[84], 1);
    EXPECT_EQ(picture.counts.clippingNow, 1);
    EXPECT_EQ(picture.counts.wouldClipAfter, 1);
}
