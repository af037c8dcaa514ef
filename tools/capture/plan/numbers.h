// Whole numbers and WIDTHxHEIGHT sizes as the command line and segment descriptions write
// them: one parser of each, strict (no sign, space or trailing text).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The whole number `text` spells, when it lies in [low, high].
std::optional<std::int64_t> parseWholeNumber(const std::string& text, std::int64_t low, std::int64_t high);

struct PictureSize {
    int width = 0;
    int height = 0;
};

// "WIDTHxHEIGHT" with each side from 1 to `largestSide`.
std::optional<PictureSize> parsePictureSize(const std::string& text, int largestSide);

// "WIDTHxHEIGHT", as parsePictureSize reads it.
std::string sizeText(std::int64_t width, std::int64_t height);
