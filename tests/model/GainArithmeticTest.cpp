#include "GainArithmetic.h"
#include "CellText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Volumes that are c steps away from the target 89.
static double volumeStepsBelow89(double c) {
    return 89.0 - c * kGainStepDb;
}

TEST(GainArithmetic, StepCountsRoundHalfAwayFromZero) {
    EXPECT_EQ(toGlobalGainAdjust(volumeStepsBelow89(2.5), 89), 3);
    EXPECT_EQ(toGlobalGainAdjust(volumeStepsBelow89(-2.5), 89), -3);
    EXPECT_EQ(toGlobalGainAdjust(volumeStepsBelow89(1.4999), 89), 1);
    EXPECT_EQ(toGlobalGainAdjust(volumeStepsBelow89(-1.4999), 89), -1);
    EXPECT_EQ(toGlobalGainAdjust(89.0, 89), 0);
    // The worked examples: gain 3.2 is volume 85.8, c = 2.126; gain -4.1 is 93.1, c = -2.724.
    EXPECT_EQ(toGlobalGainAdjust(volumeFromGain(3.2), 89), 2);
    EXPECT_EQ(toGlobalGainAdjust(volumeFromGain(-4.1), 89), -3);
    EXPECT_EQ(toGlobalGainAdjust(volumeFromGain(3.2), 92), 4);
    // Just below one and a half steps.
    EXPECT_EQ(toGlobalGainAdjust(volumeFromGain(2.2577), 89), 1);
    EXPECT_EQ(toGlobalGainAdjust(volumeFromGain(-2.2577), 89), -1);
}

// The volumes above reach a half only roughly (c = -2.5000000000000031), which
// rounding half up or half to even gets right too. These give exact halves.
TEST(GainArithmetic, ExactHalfStepsRoundAwayFromZero) {
    ASSERT_EQ((0 - 26.340124620598424) / kGainStepDb, -17.5);
    EXPECT_EQ(toGlobalGainAdjust(26.340124620598424, 0), -18);
    ASSERT_EQ((79 - 90.288624837399325) / kGainStepDb, -7.5);
    EXPECT_EQ(toGlobalGainAdjust(90.288624837399325, 79), -8);
    ASSERT_EQ((0 - -3.762874945799775) / kGainStepDb, 2.5);
    EXPECT_EQ(toGlobalGainAdjust(-3.762874945799775, 0), 3);
}

TEST(GainArithmetic, DisplayedGainsAreWholeStepsOfTheFieldStep) {
    EXPECT_EQ(formatTenths(stepsToDb(2)), L"3.0");
    EXPECT_EQ(formatTenths(stepsToDb(-3)), L"-4.5");
    EXPECT_EQ(formatTenths(stepsToDb(4)), L"6.0");
    EXPECT_DOUBLE_EQ(volumeFromGain(3.2), 85.8);
}

TEST(GainArithmetic, ClippingStartsAboveTheLargestSixteenBitSample) {
    EXPECT_FALSE(isClipping(32767.0));
    EXPECT_TRUE(isClipping(32767.5));
    EXPECT_FALSE(willClipAfter(0, 32767.0));
    EXPECT_TRUE(willClipAfter(1, 32767.0));
    EXPECT_TRUE(willClipAfter(2, 30000.0)); // 2^0.5 x 30000 = 42426.4
    EXPECT_TRUE(willClipAfter(3, 20000.0)); // 33636
    EXPECT_FALSE(willClipAfter(2, 20000.0));
    EXPECT_FALSE(willClipAfter(-1, 35000.0)); // lowering brings it under the limit
    EXPECT_FALSE(willClipAfter(100, 0.0));    // an unknown amplitude never clips
}

TEST(GainArithmetic, NoClipLimitIsTheFlooredStepCountToTheLimit) {
    EXPECT_EQ(maxNoClipGlobalGainAdjust(32767.0), 0);
    EXPECT_EQ(maxNoClipGlobalGainAdjust(30000.0), 0);
    EXPECT_EQ(maxNoClipGlobalGainAdjust(20000.0), 2);
    EXPECT_EQ(maxNoClipGlobalGainAdjust(12000.0), 5);
    EXPECT_EQ(maxNoClipGlobalGainAdjust(40000.0), -2);
    // The limit never itself clips, and one more step would.
    for (double amplitude : {1000.0, 5000.0, 16384.0, 25000.0, 32000.0}) {
        int limit = maxNoClipGlobalGainAdjust(amplitude);
        EXPECT_FALSE(willClipAfter(limit, amplitude)) << amplitude;
        EXPECT_TRUE(willClipAfter(limit + 1, amplitude)) << amplitude;
    }
}

TEST(GainArithmetic, MeaninglessAmplitudesAllowNoGainChange) {
    // A silent or broken measurement must not let Don't Clip approve a change.
    EXPECT_EQ(maxNoClipGlobalGainAdjust(0.0), 0);
    EXPECT_EQ(maxNoClipGlobalGainAdjust(-1.0), 0);
    EXPECT_EQ(maxNoClipGlobalGainAdjust(std::numeric_limits<double>::quiet_NaN()), 0);
    // Degenerate but positive amplitudes stay within the 8-bit gain field.
    EXPECT_EQ(maxNoClipGlobalGainAdjust(std::numeric_limits<double>::denorm_min()), 255);
    EXPECT_EQ(maxNoClipGlobalGainAdjust(std::numeric_limits<double>::infinity()), -255);
    EXPECT_EQ(toGlobalGainAdjust(-1e300, 89), 255);
    EXPECT_EQ(toGlobalGainAdjust(std::numeric_limits<double>::quiet_NaN(), 89), 0);
}

TEST(CellText, NumbersPrintAsPrintfTenthsInEveryBuild) {
    EXPECT_EQ(formatTenths(85.8), L"85.8");
    EXPECT_EQ(formatTenths(0.0), L"0.0");
    EXPECT_EQ(formatTenths(1.5051499783199), L"1.5");
    // Exact binary halves round to even, as the C library's printf does.
    EXPECT_EQ(formatTenths(85.25), L"85.2");
    EXPECT_EQ(formatTenths(0.75), L"0.8");
    EXPECT_EQ(formatTenths(-0.04), L"-0.0");
}

TEST(CellText, CopiesAreCutToTheBufferAndAlwaysTerminated) {
    wchar_t buffer[6] = L"xxxxx";
    copyCellText(L"Clipping", buffer, 5);
    EXPECT_STREQ(buffer, L"Clipp");
    copyCellText(L"", buffer, 5);
    EXPECT_STREQ(buffer, L"");
    copyCellText(L"Yes", buffer, 0);
    EXPECT_STREQ(buffer, L"");
    copyCellText(L"Yes", nullptr, 5); // asks only for the colour: must not crash
}
