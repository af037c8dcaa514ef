// The model loader's line matcher against the formatted-input scanner's rules.
#include "model/line_scanner.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

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

TEST(LineScanner, TheOutcomeTellsAMissingNumberFromAMismatchedLiteral) {
    struct Case {
        const char* text;
        const char* pattern;
        int stored;
        bool numberMissing;
    };
    const Case cases[] = {
        {"4.0 5.0 6.0", "\t%d.0 %d.0 %d.0", 3, false}, {"4.0 5.0 6.0 nan", "\t%d.0 %d.0 %d.0", 3, false},
        {"4 5.0 6.0", "\t%d.0 %d.0 %d.0", 1, false},   {"4.5 nan", "\t%d.0 %d.0 %d.0", 1, false},
        {"nan 5.0 6.0", "\t%d.0 %d.0 %d.0", 0, true},  {"-nan", "\t%d.0 %d.0 %d.0", 0, true},
        {"+inf", "\t%d.0 %d.0 %d.0", 0, true},         {"", "\t%d.0 %d.0 %d.0", 0, true},
        {"4.0 x 6.0", "\t%d.0 %d.0 %d.0", 1, true},    {"4.0 5.0", "\t%d.0 %d.0 %d.0", 2, true},
        {"4.0 5.0\n", "\t%d.0 %d.0 %d.0", 2, true},    {"1 2 nan 4 5", "\t%f %f %f %f %f", 2, true},
        {"1 2 3 4 5", "\t%f %f %f %f %f", 5, false},   {"POINT x", "\tPOINT %d", 0, true},
        {"point 3", "\tPOINT %d", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " against " + c.pattern);
        int d[3] = {};
        float f[5] = {};
        const bool reals = std::string(c.pattern).find("%f") != std::string::npos;
        const ScanOutcome outcome = reals ? scanLineOutcome(c.text, c.pattern, {&f[0], &f[1], &f[2], &f[3], &f[4]})
                                          : scanLineOutcome(c.text, c.pattern, {&d[0], &d[1], &d[2]});
        EXPECT_EQ(outcome.stored, c.stored);
        EXPECT_EQ(outcome.numberMissing, c.numberMissing);
        const int count = reals ? scanLine(c.text, c.pattern, {&f[0], &f[1], &f[2], &f[3], &f[4]})
                                : scanLine(c.text, c.pattern, {&d[0], &d[1], &d[2]});
        EXPECT_EQ(count, c.stored);
    }
    // Running out of targets, or a target of the wrong kind, is not a missing number.
    float value = 0.0f;
    EXPECT_FALSE(scanLineOutcome("3 4", "%d %d", {&value}).numberMissing);
    int a = 0;
    EXPECT_FALSE(scanLineOutcome("3 x", "%d %d", {&a}).numberMissing);
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
