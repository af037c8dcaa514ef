// Decimal to float by exact integer comparison: the candidate floats are ordered, so a binary
// search over their bit patterns, comparing the number with the midpoints between neighbours
// in big integers, finds the nearest one. A double estimate narrows the search to a few steps,
// and short numbers take one exact float operation.
#include "model/decimal_float.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Every midpoint between floats is an exact decimal of at most 112 significant digits, so
// keeping 120 digits and a non-zero digit after them for anything dropped rounds the same.
constexpr int kKeptDigits = 120;
constexpr std::uint32_t kInfinityBits = 0x7F800000;

// Unsigned integers of any size, least significant 32 bits first.
class BigInteger {
public:
    explicit BigInteger(std::uint64_t value = 0) {
        for (; value != 0; value >>= 32) limbs_.push_back(static_cast<std::uint32_t>(value));
    }
    void multiplyAdd(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    void multiplyByPowerOfFive(std::int64_t power) {
        for (; power >= 13; power -= 13) multiplyAdd(1220703125u, 0);  // 5^13
        std::uint32_t rest = 1;
        for (; power > 0; --power) rest *= 5;
        multiplyAdd(rest, 0);
    }
    void shiftLeft(std::int64_t bits) {
        if (limbs_.empty() || bits <= 0) return;
        limbs_.insert(limbs_.begin(), static_cast<std::size_t>(bits / 32), 0u);
        const int shift = static_cast<int>(bits % 32);
        if (shift == 0) return;
        std::uint32_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const std::uint32_t next = limb >> (32 - shift);
            limb = (limb << shift) | carry;
            carry = next;
        }
        if (carry != 0) limbs_.push_back(carry);
    }
    friend int compare(const BigInteger& a, const BigInteger& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        for (std::size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        }
        return 0;
    }

private:
    std::vector<std::uint32_t> limbs_;
};

// The number as significant digits times ten to a power: digits * 10^power.
struct Decimal {
    std::vector<char> digits;  // '0'..'9', no leading or trailing zeros; empty for zero
    std::int64_t power = 0;
};

Decimal readDecimal(const char* first, const char* last, std::int64_t exponent) {
    Decimal d;
    std::int64_t pointShift = 0;  // digits after the point that were kept or were zeros
    bool afterPoint = false;
    bool dropped = false;
    for (const char* p = first; p != last; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        if (d.digits.empty() && *p == '0') {
            if (afterPoint) ++pointShift;
            continue;
        }
        if (static_cast<int>(d.digits.size()) < kKeptDigits) {
            d.digits.push_back(*p);
            if (afterPoint) ++pointShift;
        } else {
            dropped = dropped || *p != '0';
            if (!afterPoint) --pointShift;
        }
    }
    if (dropped) {
        d.digits.push_back('1');
        ++pointShift;
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        --pointShift;
    }
    d.power = exponent - pointShift;
    return d;
}

// Not std::bit_cast: some standard libraries with C++20 lack it.
std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits) {
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A positive float (or, for kInfinityBits, 2^128) as mantissa * 2^exponent.
void floatParts(std::uint32_t bits, std::uint32_t& mantissa, std::int64_t& exponent) {
    if (bits >= kInfinityBits) {
        mantissa = 1;
        exponent = 128;
        return;
    }
    const std::uint32_t biased = bits >> 23;
    mantissa = bits & 0x7FFFFFu;
    if (biased == 0) {
        exponent = -149;
    } else {
        mantissa |= 0x800000u;
        exponent = static_cast<std::int64_t>(biased) - 150;
    }
}

class ExactComparison {
public:
    explicit ExactComparison(const Decimal& d) : power_(d.power) {
        for (char c : d.digits) digits_.multiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
    }

    // Whether the number rounds to the float with these bits or below: it lies under the
    // midpoint to the next float up, or on it with these bits even.
    bool roundsAtOrBelow(std::uint32_t bits) const {
        std::uint32_t lowMantissa = 0, highMantissa = 0;
        std::int64_t lowExponent = 0, highExponent = 0;
        floatParts(bits, lowMantissa, lowExponent);
        floatParts(bits + 1, highMantissa, highExponent);
        // The upper neighbour's exponent is never the smaller, and at most 24 above (2^128
        // over the largest float), so twice the midpoint is a 64-bit multiple of 2^lowExponent.
        const std::uint64_t twiceMidpoint =
            std::uint64_t{lowMantissa} + (std::uint64_t{highMantissa} << (highExponent - lowExponent));
        const int order = compareWith(twiceMidpoint, lowExponent - 1);
        return order < 0 || (order == 0 && (bits & 1u) == 0);
    }

private:
    // Compares the number, digits * 5^power * 2^power, with value * 2^twoPower, both sides
    // scaled to integers.
    int compareWith(std::uint64_t value, std::int64_t twoPower) const {
        BigInteger left = digits_;
        BigInteger right(value);
        if (power_ >= 0)
            left.multiplyByPowerOfFive(power_);
        else
            right.multiplyByPowerOfFive(-power_);
        const std::int64_t common = std::min(power_, twoPower);
        left.shiftLeft(power_ - common);
        right.shiftLeft(twoPower - common);
        return compare(left, right);
    }

    std::int64_t power_;
    BigInteger digits_;
};

}  // namespace

DecimalFloat decimalToFloat(const char* first, const char* last, std::int64_t exponent) {
    DecimalFloat result;
    const Decimal d = readDecimal(first, last, std::clamp<std::int64_t>(exponent, -1000000, 1000000));
    if (d.digits.empty()) return result;
    const auto count = static_cast<std::int64_t>(d.digits.size());
    // The number lies in [10^(count - 1 + power), 10^(count + power)): far beyond the largest
    // float (3.4e38) or under half the smallest (1.4e-45) it is out of range at once.
    if (count - 1 + d.power > 39 || count + d.power < -46) {
        result.outOfRange = true;
        return result;
    }
    // Both factors exact in a float: one correctly rounded operation gives the answer.
    if (count <= 7 && d.power >= -10 && d.power <= 10) {
        constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
        float digits = 0.0f;
        for (char c : d.digits) digits = digits * 10.0f + static_cast<float>(c - '0');
        const float scale = kPowers[d.power < 0 ? -d.power : d.power];
        result.value = d.power < 0 ? digits / scale : digits * scale;
        return result;
    }
    const ExactComparison exact(d);
    // A double estimate is within a hair of the number: the answer is next to its float,
    // unless the estimate is off after all, when the whole range is searched.
    double estimate = 0.0;
    for (std::size_t i = 0; i < d.digits.size() && i < 19; ++i) estimate = estimate * 10.0 + (d.digits[i] - '0');
    estimate *= std::pow(10.0, static_cast<double>(d.power + std::max<std::int64_t>(count - 19, 0)));
    const auto guess = bitsOf(static_cast<float>(estimate));
    std::uint32_t low = 0;               // the answer is above this...
    std::uint32_t high = kInfinityBits;  // ...and at most this
    if (guess >= 3 && guess <= kInfinityBits - 3 && !exact.roundsAtOrBelow(guess - 3) &&
        exact.roundsAtOrBelow(guess + 2)) {
        low = guess - 3;
        high = guess + 2;
    } else if (exact.roundsAtOrBelow(0)) {
        result.outOfRange = true;
        return result;
    }
    while (high - low > 1) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (exact.roundsAtOrBelow(middle))
            high = middle;
        else
            low = middle;
    }
    if (high == kInfinityBits) {
        result.outOfRange = true;
        return result;
    }
    result.value = floatOf(high);
    return result;
}
