// Decimal text to the nearest float, rounding ties to even, exactly as a correct strtof does
// in the "C" locale, on any standard library (some have no floating-point std::from_chars).
#pragma once

#include <cstdint>

// What a conversion gives: the nearest float, or out of range when that is infinite (too large)
// or zero while the number is not (too small); `value` is then left at 0.
struct DecimalFloat {
    float value = 0.0f;
    bool outOfRange = false;
};

// `first`..`last` hold digits with at most one '.', at least one digit, no sign and no
// exponent; the number is that times ten to `exponent`. Any other character makes the result
// unspecified (the caller has checked the syntax).
DecimalFloat decimalToFloat(const char* first, const char* last, std::int64_t exponent);
