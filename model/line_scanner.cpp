// The model loader's line matcher: white space, literal characters, %d and %f, with the
// formatted-input scanner's rules and no dependence on the C locale.
#include "model/line_scanner.h"

#include <climits>
#include <cmath>
#include <cstdint>

#include "model/decimal_float.h"

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

const char* skipSpace(const char* text) {
    while (isSpace(*text)) ++text;
    return text;
}

// Reads an optionally signed decimal integer at `text`; nullptr when there is none.
const char* readInteger(const char* text, int* value) {
    const char* p = text;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (!isDigit(*p)) return nullptr;
    // Saturate rather than wrap: an out-of-range count must stay visibly out of range.
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT_MAX) + 1;
    std::int64_t magnitude = 0;
    for (; isDigit(*p); ++p) {
        if (magnitude < kLimit) magnitude = magnitude * 10 + (*p - '0');
    }
    if (magnitude > kLimit) magnitude = kLimit;
    if (negative) {
        *value = static_cast<int>(-magnitude);
    } else {
        *value = static_cast<int>(magnitude < kLimit ? magnitude : INT_MAX);
    }
    return p;
}

// Reads a decimal floating-point number at `text`; nullptr when there is none. Values
// beyond the float range become infinite, values below it zero, as strtof gives them.
const char* readReal(const char* text, float* value) {
    const char* p = text;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    const char* mantissa = p;
    int digits = 0;
    // Decimal exponent of the first significant digit, to tell overflow from underflow.
    std::int64_t leadingExponent = 0;
    bool significant = false;
    bool afterPoint = false;
    for (;; ++p) {
        if (isDigit(*p)) {
            ++digits;
            if (!significant && *p != '0') significant = true;
            if (!afterPoint && significant) ++leadingExponent;
            if (afterPoint && !significant) --leadingExponent;
        } else if (*p == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (digits == 0) return nullptr;
    const char* mantissaEnd = p;
    std::int64_t exponent = 0;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        const bool negativeExponent = *e == '-';
        if (*e == '+' || *e == '-') ++e;
        if (isDigit(*e)) {
            for (; isDigit(*e); ++e) {
                if (exponent < 100000) exponent = exponent * 10 + (*e - '0');
            }
            if (negativeExponent) exponent = -exponent;
            p = e;
        }
    }
    const DecimalFloat converted = decimalToFloat(mantissa, mantissaEnd, exponent);
    float result = converted.value;
    if (converted.outOfRange) result = significant && leadingExponent + exponent > 0 ? HUGE_VALF : 0.0f;
    *value = negative ? -result : result;
    return p;
}

}  // namespace

ScanOutcome scanLineOutcome(const char* text, const char* pattern, std::initializer_list<ScanTarget> targets) {
    const ScanTarget* target = targets.begin();
    ScanOutcome outcome;
    const char* in = text;
    for (const char* f = pattern; *f != '\0'; ++f) {
        if (isSpace(*f)) {
            in = skipSpace(in);
            continue;
        }
        if (*f == '%' && (f[1] == 'd' || f[1] == 'f')) {
            ++f;
            if (target == targets.end()) return outcome;
            in = skipSpace(in);
            if (*f == 'd') {
                int* const* slot = std::get_if<int*>(target);
                int* out = slot != nullptr ? *slot : nullptr;
                if (out == nullptr) return outcome;
                int value = 0;
                const char* next = readInteger(in, &value);
                if (next == nullptr) {
                    outcome.numberMissing = true;
                    return outcome;
                }
                *out = value;
                in = next;
            } else {
                float* const* slot = std::get_if<float*>(target);
                float* out = slot != nullptr ? *slot : nullptr;
                if (out == nullptr) return outcome;
                float value = 0.0f;
                const char* next = readReal(in, &value);
                if (next == nullptr) {
                    outcome.numberMissing = true;
                    return outcome;
                }
                *out = value;
                in = next;
            }
            ++target;
            ++outcome.stored;
            continue;
        }
        if (*in != *f) return outcome;
        ++in;
    }
    return outcome;
}

int scanLine(const char* text, const char* pattern, std::initializer_list<ScanTarget> targets) {
    return scanLineOutcome(text, pattern, targets).stored;
}
