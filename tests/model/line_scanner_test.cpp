// The model loader's line matcher against the formatted-input scanner's rules.
#include "model/line_scanner.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TEST(LineScanner, WhiteSpaceInThePatternMatchesAnyRunIncludingNone) {
    int value = -1;
    EXPECT_EQ(scanLine("numofjoints 7\n", "numofjoints %d\n", {&value}), 1);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(scanLine("numofjoints7", "numofjoints %d\n", {&value}), 1);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(scanLine("numofjoints \t\r\v\f 8 trailing", "numofjoints %d\n", {&value}), 1);
    EXPECT_EQ(value, 8);
    EXPECT_EQ(scanLine(" \t POINT 12", "\tPOINT %d", {&value}), 1);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(scanLine("POINT 13", "\tPOINT %d", {&value}), 1);
    EXPECT_EQ(value, 13);
}

TEST(LineScanner, LiteralsMatchExactlyAndAMismatchStopsTheScan) {
    int value = -1;
    EXPECT_EQ(scanLine(" numofjoints 3", "numofjoints %d\n", {&value}), 0);
    EXPECT_EQ(scanLine("numOfJoints 3", "numofjoints %d\n", {&value}), 0);
    EXPECT_EQ(scanLine("point 3", "\tPOINT %d", {&value}), 0);
    EXPECT_EQ(scanLine("", "\tPOINT %d", {&value}), 0);
    EXPECT_EQ(value, -1);
    int a = -1, b = -1, c = -1;
    EXPECT_EQ(scanLine("4.0 5.0 6.0", "\t%d.0 %d.0 %d.0", {&a, &b, &c}), 3);
    EXPECT_EQ(a + b + c, 15);
    a = b = c = -1;
    EXPECT_EQ(scanLine("4 5.0 6.0", "\t%d.0 %d.0 %d.0", {&a, &b, &c}), 1);
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, -1);
    EXPECT_EQ(scanLine("4.1 5.0 6.0", "\t%d.0 %d.0 %d.0", {&a, &b, &c}), 1);
    EXPECT_EQ(scanLine("4.0 x 6.0", "\t%d.0 %d.0 %d.0", {&a, &b, &c}), 1);
}

TEST(LineScanner, IntegersTakeASignAndSaturate) {
    int value = 0;
    EXPECT_EQ(scanLine("-42", "%d", {&value}), 1);
    EXPECT_EQ(value, -42);
    EXPECT_EQ(scanLine("+42abc", "%d", {&value}), 1);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(scanLine("- 4", "%d", {&value}), 0);
    EXPECT_EQ(scanLine("+", "%d", {&value}), 0);
    EXPECT_EQ(scanLine("2147483647", "%d", {&value}), 1);
    EXPECT_EQ(value, INT_MAX);
    EXPECT_EQ(scanLine("2147483648", "%d", {&value}), 1);
    EXPECT_EQ(value, INT_MAX);
    EXPECT_EQ(scanLine("-2147483648", "%d", {&value}), 1);
    EXPECT_EQ(value, INT_MIN);
    EXPECT_EQ(scanLine("-99999999999999999999999", "%d", {&value}), 1);
    EXPECT_EQ(value, INT_MIN);
}

TEST(LineScanner, RealsAreDecimalOnly) {
    float v[5] = {};
    EXPECT_EQ(scanLine("1 -2.5 .5 3. +1e2", "\t%f %f %f %f %f", {&v[0], &v[1], &v[2], &v[3], &v[4]}), 5);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], -2.5f);
    EXPECT_EQ(v[2], 0.5f);
    EXPECT_EQ(v[3], 3.0f);
    EXPECT_EQ(v[4], 100.0f);
    float x = 7.0f;
    EXPECT_EQ(scanLine("nan", "%f", {&x}), 0);
    EXPECT_EQ(scanLine("inf", "%f", {&x}), 0);
    EXPECT_EQ(scanLine(".", "%f", {&x}), 0);
    EXPECT_EQ(scanLine("-", "%f", {&x}), 0);
    EXPECT_EQ(x, 7.0f);
    // Hexadecimal stops after the 0; an incomplete exponent is not part of the number.
    EXPECT_EQ(scanLine("0x10", "%f", {&x}), 1);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(scanLine("2e", "%f", {&x}), 1);
    EXPECT_EQ(x, 2.0f);
    float y = 0.0f;
    EXPECT_EQ(scanLine("2e+ 5", "%f %f", {&x, &y}), 1);
    EXPECT_EQ(scanLine("1.5E-1 2e1", "%f %f", {&x, &y}), 2);
    EXPECT_FLOAT_EQ(x, 0.15f);
    EXPECT_EQ(y, 20.0f);
}

TEST(LineScanner, RealsOutOfRangeBecomeInfiniteOrZero) {
    float x = 0.0f;
    EXPECT_EQ(scanLine("1e39", "%f", {&x}), 1);
    EXPECT_TRUE(std::isinf(x) && x > 0);
    EXPECT_EQ(scanLine("-123456789e999999999999", "%f", {&x}), 1);
    EXPECT_TRUE(std::isinf(x) && x < 0);
    EXPECT_EQ(scanLine("1e-60", "%f", {&x}), 1);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(scanLine("0.0000001e-45", "%f", {&x}), 1);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(scanLine("0e99999", "%f", {&x}), 1);
    EXPECT_EQ(x, 0.0f);
}

TEST(LineScanner, ATargetOfTheWrongKindEndsTheScan) {
    int count = 5;
    float value = 0.0f;
    EXPECT_EQ(scanLine("3 4", "%f %d", {&value, &value}), 1);
    EXPECT_EQ(scanLine("3", "%d", {&value}), 0);
    EXPECT_EQ(scanLine("3 4", "%d %d", {&count}), 1);
    EXPECT_EQ(count, 3);
}

}  // namespace
