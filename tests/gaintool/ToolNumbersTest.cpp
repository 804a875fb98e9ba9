#include "ToolNumbers.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ToolNumbers, RealsReadTheLongestDecimalPrefixLikeWtof) {
    EXPECT_DOUBLE_EQ(toolReal(L"-13.450000"), -13.45);
    EXPECT_DOUBLE_EQ(toolReal(L"  28034.890625\r\n"), 28034.890625);
    EXPECT_DOUBLE_EQ(toolReal(L"+7"), 7.0);
    EXPECT_DOUBLE_EQ(toolReal(L".5dB"), 0.5);
    EXPECT_DOUBLE_EQ(toolReal(L"5."), 5.0);
    EXPECT_DOUBLE_EQ(toolReal(L"-3.5e2x"), -350.0);
    EXPECT_DOUBLE_EQ(toolReal(L"1e"), 1.0);
    EXPECT_DOUBLE_EQ(toolReal(L"2E-1"), 0.2);
    EXPECT_DOUBLE_EQ(toolReal(L"12\xFFFF"), 12.0);
}

TEST(ToolNumbers, TextsWithoutANumberReadAsZero) {
    EXPECT_EQ(toolReal(L"NA"), 0.0);
    EXPECT_EQ(toolReal(L""), 0.0);
    EXPECT_EQ(toolReal(L"-"), 0.0);
    EXPECT_EQ(toolReal(L"."), 0.0);
    EXPECT_EQ(toolReal(L"inf"), 0.0);
    EXPECT_EQ(toolInt(L"abc"), 0);
    EXPECT_EQ(toolInt(L""), 0);
}

TEST(ToolNumbers, IntegersLikeWtoi) {
    EXPECT_EQ(toolInt(L" 8"), 8);
    EXPECT_EQ(toolInt(L"17"), 17);
    EXPECT_EQ(toolInt(L"-3"), -3);
    EXPECT_EQ(toolInt(L"12.7"), 12);
    EXPECT_EQ(toolInt(L"99999999999"), INT_MAX);
    EXPECT_EQ(toolInt(L"-99999999999"), INT_MIN);
}
