#include "ScreenPlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
const std::vector<ScreenRect> kTwoMonitors{{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
const ScreenRect kPrimaryWorkArea{0, 0, 1280, 994};
} // namespace

TEST(ScreenPlacement, AWindowOnAnyMonitorStaysWhereItWas) {
    ScreenRect onSecond{1400, 100, 2000, 600};
    EXPECT_EQ(keepOnAMonitor(onSecond, kTwoMonitors, kPrimaryWorkArea), onSecond);
    ScreenRect partly{-300, -20, 200, 400};
    EXPECT_EQ(keepOnAMonitor(partly, kTwoMonitors, kPrimaryWorkArea), partly);
}

TEST(ScreenPlacement, AWindowOffEveryMonitorComesBackOntoThePrimaryWithItsSize) {
    // Saved on the second monitor, which has gone since.
    std::vector<ScreenRect> primaryOnly{kTwoMonitors[0]};
    EXPECT_EQ(keepOnAMonitor({1400, 100, 2000, 600}, primaryOnly, kPrimaryWorkArea),
              (ScreenRect{0, 0, 600, 500}));
    // Larger than the work area: as large as it.
    EXPECT_EQ(keepOnAMonitor({5000, 5000, 9000, 9000}, primaryOnly, kPrimaryWorkArea),
              kPrimaryWorkArea);
    // Just touching the edge is off the monitor (right and bottom are exclusive).
    EXPECT_EQ(keepOnAMonitor({1280, 10, 1380, 110}, primaryOnly, kPrimaryWorkArea),
              (ScreenRect{0, 0, 100, 100}));
}
