// The bitmap route: the DIB decoder against hand-built files of known pixels and against
// ffmpeg, its failure messages, and the bitmap texture read back from OpenGL.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>

#include "pictures/dib_image.h"
#include "pictures/texture_bmp.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/image_test_tools.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

using Rgb = std::array<std::uint8_t, 3>;

std::string le16(std::uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A bitmap as stored: headers, masks, colour table, then `bits`.
struct Bmp {
    int headerSize = 40;
    bool fileHeader = true;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint32_t> masks;
    std::string bits;

    std::string bytes() const {
        std::string header;
        std::string table;
        if (headerSize == 12) {
            header = le32(12) + le16(width) + le16(height) + le16(1) + le16(bitCount);
            for (const Rgb& c : palette) table += std::string{char(c[2]), char(c[1]), char(c[0])};
        } else {
            // A table shorter than the depth's full one says how long it is.
            const std::uint32_t used =
                colorsUsed == 0 && !palette.empty() && palette.size() != (1u << bitCount) ? palette.size() : colorsUsed;
            header = le32(headerSize) + le32(width) + le32(height) + le16(1) + le16(bitCount) + le32(compression) +
                     le32(bits.size()) + le32(2835) + le32(2835) + le32(used) + le32(0);
            for (const Rgb& c : palette) table += std::string{char(c[2]), char(c[1]), char(c[0]), '\0'};
        }
        for (const std::uint32_t mask : masks) header += le32(mask);
        const std::string body = header + table;
        if (!fileHeader) return body + bits;
        const std::uint32_t offset = 14 + body.size();
        return "BM" + le32(offset + bits.size()) + le32(0) + le32(offset) + body + bits;
    }
};

// Rows packed as a bitmap stores them, each padded to 4 bytes; value(x, row) is an index or a
// packed pixel of `bitCount` bits (24 bits: 0xRRGGBB).
std::string packRows(int width, int rows, int bitCount, const std::function<std::uint32_t(int, int)>& value) {
    std::string out;
    for (int row = 0; row < rows; ++row) {
        std::string line;
        if (bitCount < 8) {
            line.assign((width * bitCount + 7) / 8, '\0');
            for (int x = 0; x < width; ++x) {
                const int bit = x * bitCount;
                line[bit / 8] = static_cast<char>(line[bit / 8] | value(x, row) << (8 - bitCount - bit % 8));
            }
        } else {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = value(x, row);
                if (bitCount == 8) line += static_cast<char>(v);
                if (bitCount == 16) line += le16(v);
                if (bitCount == 24) line += std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char(v >> 16)};
                if (bitCount == 32) line += le32(v);
            }
        }
        line.resize((line.size() + 3) / 4 * 4, '\0');
        out += line;
    }
    return out;
}

std::string rgbBytes(const std::vector<Rgb>& pixels) {
    std::string out;
    for (const Rgb& p : pixels) out += std::string{char(p[0]), char(p[1]), char(p[2])};
    return out;
}

std::vector<Rgb> somePalette(int entries) {
    std::vector<Rgb> palette;
    for (int i = 0; i < entries; ++i) {
        palette.push_back({static_cast<std::uint8_t>(i * 37 + 11), static_cast<std::uint8_t>(255 - i * 13),
                           static_cast<std::uint8_t>(i * 5)});
    }
    return palette;
}

struct Loaded {
    std::int32_t width = -1;
    std::int32_t height = -1;
    std::string pixels;
    bool ok = false;
};

Loaded load(const std::string& path) {
    Loaded result;
    DibImage* image = loadDibImage(path.c_str());
    if (image == nullptr) return result;
    result.ok = true;
    result.width = image->width;
    result.height = image->height;
    result.pixels.assign(reinterpret_cast<const char*>(image->pixels), std::size_t(image->width) * image->height * 3);
    freeDibImage(image);
    return result;
}

Loaded loadBytes(const std::string& bytes) {
    writeFileBytes("picture.bmp", bytes);
    return load("picture.bmp");
}

// Bottom-up rows of 5 x 3 pixels from a palette: index (x + 2 row) mod entries.
constexpr int kWidth = 5;
constexpr int kRows = 3;

TEST(DibDecoder, EveryDepthInBothHeaderFormsGivesItsPixelsBottomUp) {
    TempWorkingDir dir;
    ReportCapture boxes;
    struct Case {
        int headerSize;
        int bitCount;
    };
    const Case cases[] = {{12, 1}, {12, 4}, {12, 8}, {12, 24}, {40, 1}, {40, 4}, {40, 8}, {40, 16}, {40, 24}, {40, 32}};
    for (const Case& c : cases) {
        Bmp bmp;
        bmp.headerSize = c.headerSize;
        bmp.width = kWidth;
        bmp.height = kRows;
        bmp.bitCount = c.bitCount;
        std::vector<Rgb> expected;
        if (c.bitCount <= 8) {
            bmp.palette = somePalette(1 << c.bitCount);
            const int entries = static_cast<int>(bmp.palette.size());
            bmp.bits = packRows(kWidth, kRows, c.bitCount, [&](int x, int row) { return (x + 2 * row) % entries; });
            for (int row = 0; row < kRows; ++row) {
                for (int x = 0; x < kWidth; ++x) expected.push_back(bmp.palette[(x + 2 * row) % entries]);
            }
        } else {
            // Colours every depth holds exactly: 5-bit steps of 8 widen back to themselves only
            // at 0 and 255, so the 16-bit case uses those.
            for (int row = 0; row < kRows; ++row) {
                for (int x = 0; x < kWidth; ++x) {
                    const bool full = (x + row) % 2 == 0;
                    const std::uint8_t r = c.bitCount == 16 ? (full ? 255 : 0) : std::uint8_t(x * 50 + row);
                    const std::uint8_t g = c.bitCount == 16 ? (x % 3 == 0 ? 255 : 0) : std::uint8_t(200 - row * 60);
                    const std::uint8_t b = c.bitCount == 16 ? (row == 1 ? 255 : 0) : std::uint8_t(x * row * 17);
                    expected.push_back({r, g, b});
                }
            }
            bmp.bits = packRows(kWidth, kRows, c.bitCount, [&](int x, int row) -> std::uint32_t {
                const Rgb& p = expected[row * kWidth + x];
                if (c.bitCount == 16) return (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3;
                return std::uint32_t(p[0]) << 16 | p[1] << 8 | p[2] | (c.bitCount == 32 ? 0xAB000000u : 0);
            });
        }
        const Loaded loaded = loadBytes(bmp.bytes());
        const std::string label =
            std::to_string(c.headerSize) + "-byte header, " + std::to_string(c.bitCount) + " bits";
        ASSERT_TRUE(loaded.ok) << label;
        EXPECT_EQ(loaded.width, kWidth);
        EXPECT_EQ(loaded.height, kRows);
        EXPECT_EQ(loaded.pixels, rgbBytes(expected)) << label;
        EXPECT_EQ(flipRows(ffmpegDecode("picture.bmp", "rgb24"), kWidth * 3), loaded.pixels) << label;
    }
    EXPECT_TRUE(boxes.reports.empty());
}

TEST(DibDecoder, FilesWrittenByFfmpegDecodeAsFfmpegReadsThem) {
    TempWorkingDir dir;
    std::string raw;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 11; ++x) raw += std::string{char(x * 23), char(y * 36), char((x * y * 7) & 0xFF)};
    }
    writeFileBytes("raw.rgb", raw);
    // 16 bits as 5-5-5 and as 5-6-5 bit fields, 32 bits, 24 bits, a palette, 1 bit.
    for (const char* format : {"rgb555le", "rgb565le", "bgra", "bgr24", "pal8", "monob"}) {
        const std::string file = std::string(format) + ".bmp";
        ASSERT_TRUE(runFfmpeg("-f rawvideo -pix_fmt rgb24 -s 11x7 -i raw.rgb -c:v bmp -pix_fmt " + std::string(format) +
                              " " + file));
        const Loaded loaded = load(file);
        ASSERT_TRUE(loaded.ok) << format;
        EXPECT_EQ(loaded.width, 11);
        EXPECT_EQ(loaded.height, 7);
        EXPECT_EQ(flipRows(ffmpegDecode(file, "rgb24"), 33), loaded.pixels) << format;
    }
}

TEST(DibDecoder, BitFieldsOfAnyWidthWidenToEightBits) {
    TempWorkingDir dir;
    // 5-6-5: full, half-way and single-bit values.
    Bmp bmp;
    bmp.width = 4;
    bmp.height = 1;
    bmp.bitCount = 16;
    bmp.compression = 3;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
    bmp.bits = le16(0xFFFF) + le16(0xF800) + le16(0x0400) + le16(0x0010);
    Loaded loaded = loadBytes(bmp.bytes());
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.pixels, rgbBytes({{255, 255, 255}, {255, 0, 0}, {0, 130, 0}, {0, 0, 132}}));
    // 4-4-4 (ffmpeg's rgb444 layout) and 10-bit fields in 32 bits.
    bmp.masks = {0x0F00, 0x00F0, 0x000F};
    bmp.bits = le16(0x0F00) + le16(0x0080) + le16(0x0001) + le16(0x0FFF);
    loaded = loadBytes(bmp.bytes());
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.pixels, rgbBytes({{255, 0, 0}, {0, 136, 0}, {0, 0, 17}, {255, 255, 255}}));
    bmp.bitCount = 32;
    bmp.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    bmp.bits = le32(0x3FF00000) + le32(0x00080000) + le32(0x00000200) + le32(0);
    loaded = loadBytes(bmp.bytes());
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.pixels, rgbBytes({{255, 0, 0}, {0, 128, 0}, {0, 0, 128}, {0, 0, 0}}));
}

// Palette whose entry 0 is black, so that pixels a run-length file skips read the same in
// every decoder.
std::vector<Rgb> rlePalette(int entries) {
    std::vector<Rgb> palette = somePalette(entries);
    palette[0] = {0, 0, 0};
    return palette;
}

TEST(DibDecoder, RunLengthEightCoversRunsAbsoluteRunsLineEndsDeltasAndTheEnd) {
    TempWorkingDir dir;
    Bmp bmp;
    bmp.width = 6;
    bmp.height = 4;
    bmp.bitCount = 8;
    bmp.compression = 1;
    bmp.palette = rlePalette(8);
    bmp.bits = std::string("\x03\x01", 2) +                  // row 0: three of 1
               std::string("\x00\x03\x02\x03\x04\x00", 6) +  // absolute 2, 3, 4 and a pad byte
               std::string("\x00\x00", 2) +                  // end of line
               std::string("\x02\x05", 2) +                  // row 1: two of 5
               std::string("\x00\x02\x02\x01", 4) +          // delta: right 2, up 1
               std::string("\x02\x06", 2) +                  // row 2, x 4: two of 6
               std::string("\x00\x00", 2) +                  // end of line
               std::string("\x06\x07", 2) +                  // row 3: six of 7
               std::string("\x00\x01", 2);                   // end of bitmap
    const Loaded loaded = loadBytes(bmp.bytes());
    ASSERT_TRUE(loaded.ok);
    const auto& p = bmp.palette;
    const Rgb k = p[0];
    const std::vector<Rgb> expected = {p[1], p[1], p[1], p[2], p[3], p[4],  // row 0
                                       p[5], p[5], k,    k,    k,    k,     // row 1
                                       k,    k,    k,    k,    p[6], p[6],  // row 2
                                       p[7], p[7], p[7], p[7], p[7], p[7]};
    EXPECT_EQ(loaded.pixels, rgbBytes(expected));
    EXPECT_EQ(flipRows(ffmpegDecode("picture.bmp", "rgb24"), 18), loaded.pixels);

    // Runs past the end of a row are cut there; a delta past the last row ends the picture.
    bmp.height = 2;
    bmp.bits = std::string("\x09\x07", 2) + std::string("\x00\x04\x01\x02\x03\x04", 6) +
               std::string("\x00\x00\x02\x03\x00\x02\x00\x05\x04\x04", 10);
    const Loaded clipped = loadBytes(bmp.bytes());
    ASSERT_TRUE(clipped.ok);
    EXPECT_EQ(clipped.pixels, rgbBytes({p[7], p[7], p[7], p[7], p[7], p[7], p[3], p[3], k, k, k, k}));
}

TEST(DibDecoder, RunLengthFourAlternatesNibbles) {
    TempWorkingDir dir;
    Bmp bmp;
    bmp.width = 7;
    bmp.height = 2;
    bmp.bitCount = 4;
    bmp.compression = 2;
    bmp.palette = rlePalette(16);
    bmp.bits = std::string("\x05\x12", 2) +                  // 1 2 1 2 1
               std::string("\x02\x34", 2) +                  // run 3 4
               std::string("\x00\x00", 2) +                  // end of line
               std::string("\x00\x05\xAB\xCD\xE0\x00", 6) +  // absolute A B C D E, padded
               std::string("\x02\xFF", 2) +                  // F F
               std::string("\x00\x01", 2);
    const Loaded loaded = loadBytes(bmp.bytes());
    ASSERT_TRUE(loaded.ok);
    const auto& p = bmp.palette;
    const std::vector<Rgb> expected = {p[1],  p[2],  p[1],  p[2],  p[1],  p[3],  p[4],
                                       p[10], p[11], p[12], p[13], p[14], p[15], p[15]};
    EXPECT_EQ(loaded.pixels, rgbBytes(expected));
    EXPECT_EQ(flipRows(ffmpegDecode("picture.bmp", "rgb24"), 21), loaded.pixels);
}

TEST(DibDecoder, TopDownBitmapsAreDeliveredBottomUpWithAPositiveHeight) {
    TempWorkingDir dir;
    for (const int bitCount : {8, 24}) {
        Bmp bottomUp;
        bottomUp.width = 3;
        bottomUp.height = 4;
        bottomUp.bitCount = bitCount;
        if (bitCount == 8) bottomUp.palette = somePalette(256);
        const auto value = [&](int x, int row) -> std::uint32_t {
            return bitCount == 8 ? x * 4 + row : std::uint32_t(x * 60) << 16 | row * 50 << 8 | 9;
        };
        bottomUp.bits = packRows(3, 4, bitCount, value);
        Bmp topDown = bottomUp;
        topDown.height = -4;
        topDown.bits = packRows(3, 4, bitCount, [&](int x, int row) { return value(x, 3 - row); });
        const Loaded a = loadBytes(bottomUp.bytes());
        const Loaded b = loadBytes(topDown.bytes());
        ASSERT_TRUE(a.ok && b.ok) << bitCount;
        EXPECT_EQ(b.height, 4);
        EXPECT_EQ(b.pixels, a.pixels) << bitCount;
        EXPECT_EQ(flipRows(ffmpegDecode("picture.bmp", "rgb24"), 9), b.pixels);
    }
}

TEST(DibDecoder, PackedBitmapsFindTheirBitsAfterTheColourTable) {
    TempWorkingDir dir;
    // A short table (three colours used) and bit fields, with and without the file header.
    Bmp paletted;
    paletted.width = 5;
    paletted.height = 2;
    paletted.bitCount = 8;
    paletted.colorsUsed = 3;
    paletted.palette = somePalette(3);
    paletted.bits = packRows(5, 2, 8, [](int x, int row) { return (x + row) % 4; });
    Bmp fields;
    fields.width = 3;
    fields.height = 2;
    fields.bitCount = 16;
    fields.compression = 3;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.bits = packRows(3, 2, 16, [](int x, int row) { return 0x1234u * (x + 1) + row; });
    for (Bmp* bmp : {&paletted, &fields}) {
        const Loaded withHeader = loadBytes(bmp->bytes());
        bmp->fileHeader = false;
        const Loaded packed = loadBytes(bmp->bytes());
        ASSERT_TRUE(withHeader.ok && packed.ok);
        EXPECT_EQ(packed.pixels, withHeader.pixels);
    }
    // Index 3 lies past the three colours: black.
    const Loaded loaded = loadBytes(paletted.bytes());
    const auto& p = paletted.palette;
    EXPECT_EQ(loaded.pixels.substr(0, 15), rgbBytes({p[0], p[1], p[2], {0, 0, 0}, p[0]}));
}

TEST(DibLoader, EveryFailureShowsItsBoxAndGivesNull) {
    TempWorkingDir dir;
    Bmp good;
    good.width = 4;
    good.height = 2;
    good.bits = packRows(4, 2, 24, [](int x, int row) { return x * 1000u + row; });
    const auto variant = [&](const std::function<void(Bmp&)>& change) {
        Bmp bmp = good;
        change(bmp);
        return bmp.bytes();
    };
    std::string v4 = good.bytes();
    v4[14] = 108;
    std::string offsetPastEnd = good.bytes();
    offsetPastEnd[10] = 120;
    const std::string full = good.bytes();
    std::filesystem::create_directory("folder.bmp");
    writeFileBytes("empty.bmp", "");

    const std::vector<std::pair<std::string, std::string>> cases = {
        {v4, "Unknown DIB file format."},
        {variant([](Bmp& b) { b.headerSize = 64; }).substr(0, 30), "Unknown DIB file format."},
        {"BM", "Unknown DIB file format."},
        {full.substr(0, 20), "Unknown DIB file format."},
        {full.substr(0, 50), "Unknown DIB file format."},
        {full.substr(0, full.size() - 4), "Image file conversion error."},
        {offsetPastEnd, "Image file conversion error."},
        {variant([](Bmp& b) { b.bitCount = 2; }), "Image file conversion error."},
        {variant([](Bmp& b) { b.compression = 4; }), "Image file conversion error."},
        {variant([](Bmp& b) { b.compression = 1; }), "Image file conversion error."},
        {variant([](Bmp& b) { b.width = 0; }), "Image file conversion error."},
        {variant([](Bmp& b) { b.width = -4; }), "Image file conversion error."},
        {variant([](Bmp& b) { b.height = 0; }), "Image file conversion error."},
        {variant([](Bmp& b) { b.colorsUsed = 1000000; }), "Image file conversion error."},
        {variant([](Bmp& b) {
             b.bitCount = 8;
             b.compression = 1;
             b.height = -2;
             b.palette = somePalette(2);
             b.bits = std::string("\x00\x01", 2);
         }),
         "Image file conversion error."},
        {variant([](Bmp& b) {
             b.bitCount = 8;
             b.compression = 1;
             b.palette = somePalette(2);
             b.bits = std::string("\x00\x05\x01", 3);
         }),
         "Image file conversion error."},
        // A few bytes of run-length data may claim any size; 65535 x 65535 is refused.
        {variant([](Bmp& b) {
             b.bitCount = 8;
             b.compression = 1;
             b.width = 65535;
             b.height = 65535;
             b.palette = somePalette(2);
             b.bits = std::string("\x00\x01", 2);
         }),
         "Out of memory."},
        // A huge uncompressed claim in a small file.
        {variant([](Bmp& b) {
             b.width = 40000;
             b.height = 40000;
         }),
         "Image file conversion error."},
    };
    const int descriptorsBefore = openDescriptorCount();
    for (const auto& [bytes, message] : cases) {
        ReportCapture boxes;
        writeFileBytes("picture.bmp", bytes);
        EXPECT_EQ(loadDibImage("picture.bmp"), nullptr) << message << " " << bytes.size();
        EXPECT_EQ(boxes.onlyText(), message) << bytes.size() << " bytes";
        ASSERT_FALSE(boxes.reports.empty());
        EXPECT_EQ(boxes.reports[0].caption, "Error");
    }
    for (const char* path : {"absent.bmp", "empty.bmp", "folder.bmp"}) {
        ReportCapture boxes;
        EXPECT_EQ(loadDibImage(path), nullptr);
        EXPECT_EQ(boxes.onlyText(), "Failed to open DIB file " + std::string(path) + ".\n");
    }
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

TEST(BmpImage, NullOrMissingFilesGiveNullWithoutALogEntry) {
    TempWorkingDir dir;
    ReportCapture boxes;
    EXPECT_EQ(loadBmpImage(nullptr), nullptr);
    EXPECT_EQ(loadBmpImage("absent.bmp"), nullptr);
    EXPECT_TRUE(boxes.reports.empty());
    EXPECT_FALSE(std::filesystem::exists("log.htm"));
}

TEST(BmpImage, LogsTheFileBeforeDecodingAndCutsLongPaths) {
    TempWorkingDir dir;
    Bmp bmp;
    bmp.width = 2;
    bmp.height = 1;
    bmp.bits = packRows(2, 1, 24, [](int x, int) { return x == 0 ? 0x102030u : 0x405060u; });
    writeFileBytes("small.bmp", bmp.bytes());
    DibImage* image = loadBmpImage("small.bmp");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->pixels), 6), "\x10\x20\x30\x40\x50\x60");
    freeDibImage(image);
    EXPECT_EQ(readFileBytes("log.htm").substr(24), "\r\n<b>small.bmp BMP dosyasi acildi.</b><br>\r\n");

    std::filesystem::remove("log.htm");
    const std::string folder = std::string(70, 'f') + "/" + std::string(30, 'g');
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/x.bmp";
    writeFileBytes(path, bmp.bytes());
    image = loadBmpImage(path.c_str());
    ASSERT_NE(image, nullptr);
    freeDibImage(image);
    const std::string line = "<b>" + path + " BMP dosyasi acildi.</b><br>";
    EXPECT_EQ(readFileBytes("log.htm").substr(24), "\r\n" + line.substr(0, 99) + "\r\n");
}

TEST(BmpTexture, UploadsThreeComponentsWithOddRowsIntact) {
    TempWorkingDir dir;
    GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    Bmp bmp;
    bmp.width = 3;
    bmp.height = 2;
    bmp.bitCount = 4;
    bmp.palette = somePalette(16);
    bmp.bits = packRows(3, 2, 4, [](int x, int row) { return x * 3 + row; });
    writeFileBytes("odd.bmp", bmp.bytes());
    const Loaded decoded = load("odd.bmp");
    const std::uint32_t name = loadBmpTexture("odd.bmp");
    ASSERT_NE(name, 0u);
    GLint value = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<std::uint32_t>(value), name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    EXPECT_EQ(value, 3);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 3);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &value);
    EXPECT_EQ(value, 2);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    std::string texels(18, '\0');
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, decoded.pixels);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 4);

    ReportCapture boxes;
    writeFileBytes("bad.bmp", "BM not a bitmap");
    EXPECT_EQ(loadBmpTexture("bad.bmp"), 0u);
    EXPECT_EQ(loadBmpTexture("absent.bmp"), 0u);
    EXPECT_FALSE(glIsTexture(name + 1));
}

}  // namespace
