// Pattern matching for model file lines, in the manner of the standard formatted-input
// scanner but limited to what the format uses and independent of the C locale.
#pragma once

#include <initializer_list>
#include <variant>

using ScanTarget = std::variant<int*, float*>;

// Matches `text` against `pattern` and stores each value read, in order, into `targets`.
// In the pattern a blank, tab or line end matches any run of white space (including none),
// "%d" reads an optionally signed decimal integer (saturated to the int range), "%f" a
// decimal number (sign, digits, optional point and fraction, optional exponent), and every
// other character must match exactly. Stops at the first mismatch or at the end of `text`;
// text after the last directive is ignored. Returns how many values were stored; a target
// of the wrong kind for its directive ends the scan.
int scanLine(const char* text, const char* pattern, std::initializer_list<ScanTarget> targets);

// How a scan ended. `numberMissing` tells a line that has no number where the pattern wants
// one from a line that stops at a literal, which the format defines as ending the line early.
struct ScanOutcome {
    int stored = 0;
    bool numberMissing = false;
};

// scanLine, telling also why the scan stopped.
ScanOutcome scanLineOutcome(const char* text, const char* pattern, std::initializer_list<ScanTarget> targets);
