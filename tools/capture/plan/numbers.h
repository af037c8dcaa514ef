// WIDTHxHEIGHT sizes as the command line and segment descriptions write them, strict (no
// sign, space or trailing text); whole numbers are base::parseWholeNumber's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/whole_number.h"

struct PictureSize {
    int width = 0;
    int height = 0;
};

// "WIDTHxHEIGHT" with each side from 1 to `largestSide`.
std::optional<PictureSize> parsePictureSize(const std::string& text, int largestSide);

// "WIDTHxHEIGHT", as parsePictureSize reads it.
std::string sizeText(std::int64_t width, std::int64_t height);
