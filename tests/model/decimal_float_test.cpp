// Decimal to float: the same float (or out of range) as the standard library's correctly
// rounded std::from_chars, for random numbers, the exact midpoints between floats and the
// edges of the range.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "model/decimal_float.h"

namespace {

struct Expected {
    std::uint32_t bits = 0;
    bool outOfRange = false;
};

// What std::from_chars makes of the number (digits, point, optional exponent).
Expected reference(const std::string& text) {
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() || error == std::errc::result_out_of_range) << text;
    EXPECT_EQ(end, text.data() + text.size()) << text;
    return {std::bit_cast<std::uint32_t>(value), error == std::errc::result_out_of_range};
}

// The same text through decimalToFloat, its exponent split off as the line scanner does.
Expected converted(const std::string& text) {
    const std::size_t e = text.find_first_of("eE");
    const std::int64_t exponent = e == std::string::npos ? 0 : std::stoll(text.substr(e + 1));
    const char* first = text.data();
    const DecimalFloat result = decimalToFloat(first, first + (e == std::string::npos ? text.size() : e), exponent);
    return {std::bit_cast<std::uint32_t>(result.value), result.outOfRange};
}

void expectSame(const std::string& text) {
    const Expected want = reference(text);
    const Expected got = converted(text);
    EXPECT_EQ(got.outOfRange, want.outOfRange) << text;
    if (!want.outOfRange) {
        EXPECT_EQ(got.bits, want.bits) << text << " gave " << std::bit_cast<float>(got.bits);
    }
}

// The exact decimal expansion of a double, which glibc prints digit for digit.
std::string exactly(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%.130e", value);
    return text;
}

}  // namespace

TEST(DecimalFloat, ShortAndEdgeNumbers) {
    for (const char* text : {"0",
                             "0.0",
                             "000",
                             "1",
                             "1.",
                             ".5",
                             "0.1",
                             "0.3",
                             "1.5",
                             "2.5e-1",
                             "123456.7",
                             "1234567",
                             "12345678",
                             "16777216",
                             "16777217",
                             "16777218",
                             "16777219",
                             "33554431",
                             "3.4028234e38",
                             "3.40282346638528859e38",
                             "3.4028235e38",
                             "3.40282356779733661637539395458142568448e38",
                             "3.4028236e38",
                             "1e39",
                             "1e38",
                             "1.17549435e-38",
                             "1.1754942e-38",
                             "1e-40",
                             "1.4e-45",
                             "1.401298464324817e-45",
                             "7.006492321624085e-46",
                             "7.006492321624086e-46",
                             "7.0064923216240853e-46",
                             "1e-46",
                             "0.000000000000000000000000000000000000001",
                             "100000000000000000000000000000000000000000",
                             "9.99999999e-11",
                             "0.1e11",
                             "1e10",
                             "1e-10",
                             "0.00000001234567e20"}) {
        expectSame(text);
    }
}

TEST(DecimalFloat, MidpointsBetweenFloatsRoundToEven) {
    std::mt19937 random(2024);
    for (int i = 0; i < 4000; ++i) {
        // Any positive finite float but the largest, and its upper neighbour.
        const std::uint32_t bits = random() % 0x7F7FFFFFu;
        const double low = std::bit_cast<float>(bits);
        const double high = std::bit_cast<float>(bits + 1);
        const double middle = (low + high) / 2.0;  // exact: a double has room for one more bit
        expectSame(exactly(middle));
        expectSame(exactly(std::nextafter(middle, 0.0)));
        expectSame(exactly(std::nextafter(middle, 1e300)));
        // A long tail of zeros, then a one, just above the midpoint.
        std::string above = exactly(middle);
        const std::size_t e = above.find('e');
        above.insert(e, std::string(40, '0').append("1"));
        expectSame(above);
    }
}

TEST(DecimalFloat, RandomDecimalsOfEveryLength) {
    std::mt19937 random(7);
    for (int i = 0; i < 30000; ++i) {
        const int digits = i % 50 == 0 ? 100 + static_cast<int>(random() % 200) : 1 + static_cast<int>(random() % 24);
        std::string text;
        for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
        const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 2)) - 1;
        if (point >= 0) text.insert(static_cast<std::size_t>(point), 1, '.');
        if (random() % 4 != 0) text.append(1, 'e').append(std::to_string(static_cast<int>(random() % 110) - 65));
        expectSame(text);
    }
}

TEST(DecimalFloat, HugeExponentsAndLongZeroRuns) {
    expectSame("0e999999");
    expectSame("0.000e-999999");
    expectSame("1e999999");
    expectSame("1e-999999");
    // Built by append: GCC 12 warns falsely about chains of string additions.
    expectSame(std::string("0.").append(300, '0').append("1e300"));
    expectSame(std::string("1").append(300, '0').append("e-300"));
    expectSame(std::string(200, '9').append("e-200"));
    const std::string one = "1";
    EXPECT_TRUE(decimalToFloat(one.data(), one.data() + 1, 4000000000LL).outOfRange);
    EXPECT_TRUE(decimalToFloat(one.data(), one.data() + 1, -4000000000LL).outOfRange);
}
