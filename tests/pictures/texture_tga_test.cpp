// The TGA route: decoding checked against ffmpeg and hand-built files, every rejection and
// truncation message, and the texture read back from a real OpenGL context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "pictures/texture_tga.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/image_test_tools.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

std::string tgaHeader(std::uint8_t type, int width, int height, int bits, std::uint8_t descriptor = 0) {
    std::string header(18, '\0');
    header[2] = static_cast<char>(type);
    header[12] = static_cast<char>(width & 0xFF);
    header[13] = static_cast<char>(width >> 8);
    header[14] = static_cast<char>(height & 0xFF);
    header[15] = static_cast<char>(height >> 8);
    header[16] = static_cast<char>(bits);
    header[17] = static_cast<char>(descriptor);
    return header;
}

// Pixels as a TGA stores them.
std::string bgr(int r, int g, int b) { return {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)}; }
std::string rgb(int r, int g, int b) { return {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)}; }

struct Decoded {
    bool ok = false;
    std::string pixels;
    TextureImage image{};
};

Decoded decode(const std::string& fileBytes) {
    writeFileBytes("picture.tga", fileBytes);
    Decoded result;
    result.image.pixels = reinterpret_cast<std::uint8_t*>(1);  // must come back null on failure
    result.ok = readTga(result.image, "picture.tga");
    if (result.ok) {
        const std::size_t size = std::size_t{result.image.width} * result.image.height * result.image.bitsPerPixel / 8;
        result.pixels.assign(reinterpret_cast<const char*>(result.image.pixels), size);
        std::free(result.image.pixels);
    }
    return result;
}

// A 4 x 2 picture of eight different colours, file order (bottom row first).
std::string eightPixels() {
    return bgr(255, 0, 0) + bgr(0, 255, 0) + bgr(0, 0, 255) + bgr(10, 20, 30) + bgr(40, 50, 60) + bgr(70, 80, 90) +
           bgr(100, 110, 120) + bgr(130, 140, 150);
}

TEST(TgaUncompressed, FourByTwoTwentyFourBitsComeOutRedGreenBlueAndMatchFfmpeg) {
    TempWorkingDir dir;
    ReportCapture boxes;
    const Decoded decoded = decode(tgaHeader(2, 4, 2, 24) + eightPixels());
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(boxes.reports.empty());
    EXPECT_EQ(decoded.image.width, 4u);
    EXPECT_EQ(decoded.image.height, 2u);
    EXPECT_EQ(decoded.image.bitsPerPixel, 24u);
    EXPECT_EQ(decoded.image.pixelFormat, static_cast<std::uint32_t>(GL_RGB));
    ASSERT_EQ(decoded.pixels.size(), 24u);
    EXPECT_EQ(decoded.pixels.substr(0, 9), rgb(255, 0, 0) + rgb(0, 255, 0) + rgb(0, 0, 255));
    // ffmpeg gives the top row first; this file's first row is the bottom one.
    EXPECT_EQ(flipRows(ffmpegDecode("picture.tga", "rgb24"), 12), decoded.pixels);
}

TEST(TgaUncompressed, ThirtyTwoBitsKeepEveryAlphaByteAndMatchFfmpeg) {
    TempWorkingDir dir;
    std::string body;
    for (int i = 0; i < 6; ++i) body += bgr(i * 40, 255 - i * 40, i * 7) + std::string(1, static_cast<char>(i * 50));
    const Decoded decoded = decode(tgaHeader(2, 3, 2, 32, 8) + body);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.image.pixelFormat, static_cast<std::uint32_t>(GL_RGBA));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(decoded.pixels[i * 4]), i * 40);
        EXPECT_EQ(static_cast<unsigned char>(decoded.pixels[i * 4 + 3]), i * 50);
    }
    EXPECT_EQ(flipRows(ffmpegDecode("picture.tga", "rgba"), 12), decoded.pixels);
}

TEST(TgaRle, FilesFromAnIndependentEncoderDecodeToTheirPixels) {
    TempWorkingDir dir;
    // Stripes and flat areas, so that the encoder writes runs and raw packets across rows.
    std::string raw;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 37; ++x) {
            raw += x < 20 ? rgb(200, y * 30, 7) : rgb(x * 6, (x * y) & 0xFF, 255 - x);
        }
    }
    writeFileBytes("raw.rgb", raw);
    ASSERT_TRUE(runFfmpeg("-f rawvideo -pix_fmt rgb24 -s 37x6 -i raw.rgb -c:v targa -rle 1 rle24.tga"));
    ASSERT_EQ(readFileBytes("rle24.tga")[2], 10) << "expected a run-length file";
    writeFileBytes("picture.tga", readFileBytes("rle24.tga"));
    TextureImage image{};
    ASSERT_TRUE(readTga(image, "picture.tga"));
    // ffmpeg stores the top row first and says so in the descriptor, which the reader ignores:
    // the rows come out in file order.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.pixels), raw.size()), raw);
    std::free(image.pixels);

    std::string rawAlpha;
    for (std::size_t i = 0; i < raw.size(); i += 3) rawAlpha += raw.substr(i, 3) + std::string(1, (i / 3) % 5 * 60);
    writeFileBytes("raw.rgba", rawAlpha);
    ASSERT_TRUE(runFfmpeg("-f rawvideo -pix_fmt rgba -s 37x6 -i raw.rgba -c:v targa -pix_fmt bgra -rle 1 rle32.tga"));
    const Decoded decoded = decode(readFileBytes("rle32.tga"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.image.bitsPerPixel, 32u);
    EXPECT_EQ(decoded.pixels, rawAlpha);
}

TEST(TgaRle, EveryPacketKindAndPacketsAcrossRows) {
    TempWorkingDir dir;
    ReportCapture boxes;
    // 0x83: a run of four.
    Decoded run = decode(tgaHeader(10, 4, 1, 24) + "\x83" + bgr(1, 2, 3));
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(run.pixels, rgb(1, 2, 3) + rgb(1, 2, 3) + rgb(1, 2, 3) + rgb(1, 2, 3));
    // 0x00: one literal pixel, twice.
    Decoded literal = decode(tgaHeader(10, 2, 1, 24) + '\0' + bgr(9, 8, 7) + '\0' + bgr(6, 5, 4));
    ASSERT_TRUE(literal.ok);
    EXPECT_EQ(literal.pixels, rgb(9, 8, 7) + rgb(6, 5, 4));
    // 0x7F: 128 literal pixels.
    std::string body = "\x7F";
    std::string expected;
    for (int i = 0; i < 128; ++i) {
        body += bgr(i, 255 - i, i / 2);
        expected += rgb(i, 255 - i, i / 2);
    }
    Decoded raw128 = decode(tgaHeader(10, 128, 1, 24) + body);
    ASSERT_TRUE(raw128.ok);
    EXPECT_EQ(raw128.pixels, expected);
    // 0xFF: a run of 128 over two rows of 64, alpha kept.
    Decoded run128 = decode(tgaHeader(10, 64, 2, 32) + "\xFF" + bgr(10, 20, 30) + "\x44");
    ASSERT_TRUE(run128.ok);
    std::string runPixels;
    for (int i = 0; i < 128; ++i) runPixels += rgb(10, 20, 30) + "\x44";
    EXPECT_EQ(run128.pixels, runPixels);
    // Runs and raw packets that cross the row boundary of a 3 x 2 picture.
    Decoded mixed = decode(tgaHeader(10, 3, 2, 24) + "\x81" + bgr(1, 1, 1) + "\x02" + bgr(2, 2, 2) + bgr(3, 3, 3) +
                           bgr(4, 4, 4) + "\x80" + bgr(5, 5, 5));
    ASSERT_TRUE(mixed.ok);
    EXPECT_EQ(mixed.pixels, rgb(1, 1, 1) + rgb(1, 1, 1) + rgb(2, 2, 2) + rgb(3, 3, 3) + rgb(4, 4, 4) + rgb(5, 5, 5));
    // 1024 x 512 in runs of 128 with no byte to spare, the last run a different colour.
    std::string runs;
    for (int i = 0; i < 4095; ++i) {
        runs += '\xFF';
        runs += bgr(i % 256, 7, 9);
    }
    Decoded big = decode(tgaHeader(10, 1024, 512, 24) + runs + "\xFF" + bgr(1, 2, 3));
    ASSERT_TRUE(big.ok);
    ASSERT_EQ(big.pixels.size(), 1024u * 512 * 3);
    EXPECT_EQ(big.pixels.substr(0, 3), rgb(0, 7, 9));
    EXPECT_EQ(big.pixels.substr(4094 * 128 * 3, 3), rgb(4094 % 256, 7, 9));
    EXPECT_EQ(big.pixels.substr(big.pixels.size() - 3), rgb(1, 2, 3));
    EXPECT_TRUE(boxes.reports.empty());
}

TEST(TgaOrigin, TheTopDownFlagIsIgnored) {
    TempWorkingDir dir;
    const Decoded bottomUp = decode(tgaHeader(2, 4, 2, 24, 0x00) + eightPixels());
    const Decoded topDown = decode(tgaHeader(2, 4, 2, 24, 0x20) + eightPixels());
    ASSERT_TRUE(bottomUp.ok && topDown.ok);
    EXPECT_EQ(topDown.pixels, bottomUp.pixels);
    const Decoded rleTopDown = decode(tgaHeader(10, 2, 2, 24, 0x20) + "\x81" + bgr(1, 2, 3) + "\x81" + bgr(4, 5, 6));
    ASSERT_TRUE(rleTopDown.ok);
    EXPECT_EQ(rleTopDown.pixels.substr(0, 3), rgb(1, 2, 3));
}

TEST(TgaHeaders, AnythingButTheTwoTemplatesIsNotATgaOfTypeTwoOrTen) {
    TempWorkingDir dir;
    const std::string valid = tgaHeader(2, 4, 2, 24) + eightPixels();
    // Image-ID length, colour-map type, colour-map fields, x and y origins.
    for (const int byte : {0, 1, 3, 5, 7, 8, 9, 10, 11}) {
        for (const std::uint8_t type : {2, 10}) {
            std::string bytes = valid;
            bytes[2] = static_cast<char>(type);
            bytes[byte] = 1;
            ReportCapture boxes;
            const Decoded decoded = decode(bytes);
            EXPECT_FALSE(decoded.ok) << "byte " << byte;
            EXPECT_EQ(decoded.image.pixels, nullptr);
            ASSERT_EQ(boxes.reports.size(), 1u);
            EXPECT_EQ(boxes.reports[0].text, "TGA file be type 2 or type 10 ");
            EXPECT_EQ(boxes.reports[0].caption, "Invalid Image");
            EXPECT_EQ(boxes.reports[0].level, base::Level::kInfo);
        }
    }
    for (const int type : {0, 1, 3, 9, 11, 130}) {
        std::string bytes = valid;
        bytes[2] = static_cast<char>(type);
        ReportCapture boxes;
        EXPECT_FALSE(decode(bytes).ok) << "type " << type;
        EXPECT_EQ(boxes.onlyText(), "TGA file be type 2 or type 10 ");
    }
}

TEST(TgaHeaders, OtherDepthsAndEmptySizesAreInvalidTextureInformation) {
    TempWorkingDir dir;
    for (const std::uint8_t type : {2, 10}) {
        for (const auto& [width, height, bits] : {std::tuple{4, 2, 8}, std::tuple{4, 2, 16}, std::tuple{4, 2, 15},
                                                  std::tuple{4, 2, 0}, std::tuple{0, 2, 24}, std::tuple{4, 0, 32}}) {
            ReportCapture boxes;
            const Decoded decoded = decode(tgaHeader(type, width, height, bits) + std::string(64, '\x7F'));
            EXPECT_FALSE(decoded.ok);
            EXPECT_EQ(decoded.image.pixels, nullptr);
            EXPECT_EQ(boxes.onlyText(), "Invalid texture information") << width << "x" << height << "x" << bits;
            ASSERT_FALSE(boxes.reports.empty());
            EXPECT_EQ(boxes.reports[0].caption, "ERROR");
        }
    }
}

TEST(TgaHeaders, ClaimsBeyondThirtyTwoBitsOrBeyondTheFileFailBeforeAllocating) {
    TempWorkingDir dir;
    for (const std::uint8_t type : {2, 10}) {
        // 65535 x 65535 x 4 and 40000 x 40000 x 3 bytes do not fit a 32-bit size.
        for (const auto& [width, bits] : {std::pair{65535, 32}, std::pair{40000, 24}}) {
            ReportCapture boxes;
            EXPECT_FALSE(decode(tgaHeader(type, width, width, bits) + std::string(40, '\0')).ok);
            EXPECT_EQ(boxes.onlyText(), "Invalid texture information");
        }
        // 30000 x 30000 x 3 fits 32 bits (2.7 GB) but not in a 40-byte body, which ends as a
        // type-2 body ends inside its pixels and a type-10 one after ten one-pixel raw packets.
        ReportCapture boxes;
        EXPECT_FALSE(decode(tgaHeader(type, 30000, 30000, 24) + std::string(40, '\0')).ok);
        EXPECT_EQ(boxes.onlyText(), type == 2 ? "Could not read image data" : "Could not read RLE header");
    }
}

// `count` copies of `packet`.
std::string repeated(const std::string& packet, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += packet;
    return out;
}

TEST(TgaShortFiles, EachStageReportsWhereTheFileEndsWhateverThePictureSize) {
    TempWorkingDir dir;
    const std::string full = tgaHeader(2, 4, 2, 24) + eightPixels();
    const std::string px = bgr(1, 2, 3);
    const std::string rle = tgaHeader(10, 4, 2, 24);
    // 1024 x 512: 4095 runs of 128 leave one run short; so do 4095 raw packets of 128.
    const std::string bigRle = tgaHeader(10, 1024, 512, 24);
    const std::string bigRle32 = tgaHeader(10, 1024, 512, 32);
    const std::string runs = repeated('\xFF' + px, 4095);
    const std::string raws = repeated('\x7F' + repeated(px, 128), 4095);
    const std::string bigPlain = tgaHeader(2, 1024, 512, 24) + std::string(1024 * 512 * 3, '\x40');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "Could not read file header"},
        {full.substr(0, 5), "Could not read file header"},
        {full.substr(0, 11), "Could not read file header"},
        {full.substr(0, 12), "Could not read info header"},
        {full.substr(0, 17), "Could not read info header"},
        {full.substr(0, 18), "Could not read image data"},
        {full.substr(0, full.size() - 1), "Could not read image data"},
        {rle, "Could not read RLE header"},
        {rle + "\x83" + px, "Could not read RLE header"},
        {rle + "\x03" + px + px, "Could not read image data"},
        {rle + "\x03" + px + "\x01\x02", "Could not read image data"},
        {rle + "\x83" + "\x01\x02", "Could not read from file"},
        {rle + "\x85" + px + "\x82" + px, "Too many pixels read"},
        {rle + "\x05" + px + px + px + px + px + px + "\x02" + px + px + px, "Too many pixels read"},
        {rle + "\xFF" + px, "Too many pixels read"},
        {bigPlain.substr(0, 18), "Could not read image data"},
        {bigPlain.substr(0, 18 + 3 * 1000), "Could not read image data"},
        {bigPlain.substr(0, bigPlain.size() - 1), "Could not read image data"},
        {tgaHeader(2, 1024, 512, 32) + repeated(px + "\xFF", 1024 * 511), "Could not read image data"},
        {bigRle, "Could not read RLE header"},
        {bigRle + "\x83" + px, "Could not read RLE header"},
        {bigRle + "\x03" + px + px, "Could not read image data"},
        {bigRle + "\x03" + px + "\x01\x02", "Could not read image data"},
        {bigRle + "\x83" + "\x01\x02", "Could not read from file"},
        {bigRle32 + "\x83" + px, "Could not read from file"},
        {bigRle32 + "\x80" + px + '\0', "Could not read RLE header"},
        {bigRle + runs, "Could not read RLE header"},
        {bigRle + runs + "\x7F" + px, "Could not read image data"},
        {bigRle + runs + "\xFF" + "\x01", "Could not read from file"},
        {bigRle + runs + "\xFE" + px + "\x81" + px, "Too many pixels read"},
        {bigRle + raws + "\x7F" + repeated(px, 127), "Could not read image data"},
        {bigRle + raws + "\x7F" + repeated(px, 127) + "\x01", "Could not read image data"},
        {bigRle + raws + "\xFF", "Could not read from file"},
        {bigRle + raws, "Could not read RLE header"},
        {bigRle + raws + "\xFE" + px + "\x01" + px + px, "Too many pixels read"},
    };
    const int descriptorsBefore = openDescriptorCount();
    for (const auto& [bytes, message] : cases) {
        ReportCapture boxes;
        const Decoded decoded = decode(bytes);
        EXPECT_FALSE(decoded.ok) << message;
        EXPECT_EQ(decoded.image.pixels, nullptr) << message;
        EXPECT_EQ(boxes.onlyText(), message) << bytes.size() << " bytes";
        ASSERT_FALSE(boxes.reports.empty());
        EXPECT_EQ(boxes.reports[0].caption, "ERROR");
    }
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

TEST(TgaFiles, MissingFileOrNullPathCannotBeOpened) {
    TempWorkingDir dir;
    const int descriptorsBefore = openDescriptorCount();
    for (const char* path : {"absent.tga", static_cast<const char*>(nullptr)}) {
        ReportCapture boxes;
        TextureImage image{};
        EXPECT_FALSE(readTga(image, path));
        EXPECT_EQ(boxes.onlyText(), "Could not open texture file");
        ASSERT_FALSE(boxes.reports.empty());
        EXPECT_EQ(boxes.reports[0].caption, "ERROR");
    }
    decode(tgaHeader(2, 4, 2, 24) + eightPixels());
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

// The bytes of the bound texture's level 0.
std::string texelsOfBoundTexture(GLenum format, int width, int height) {
    const int components = format == GL_RGBA ? 4 : 3;
    std::string texels(static_cast<std::size_t>(width * height * components), '\0');
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

GLint levelParameter(GLenum name) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

GLint textureParameter(GLenum name) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

TEST(TgaTexture, UploadsLinearFilteredTextureLeftBoundAndLogsThePath) {
    TempWorkingDir dir;
    GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    writeFileBytes("pic.tga", tgaHeader(2, 4, 2, 24) + eightPixels());
    const Decoded decoded = decode(readFileBytes("pic.tga"));
    const std::uint32_t name = loadTgaTexture("pic.tga");
    ASSERT_NE(name, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<std::uint32_t>(bound), name);
    EXPECT_EQ(levelParameter(GL_TEXTURE_INTERNAL_FORMAT), 3);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(texelsOfBoundTexture(GL_RGB, 4, 2), decoded.pixels);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::string log = readFileBytes("log.htm");
    EXPECT_EQ(log.substr(24), "\r\n<b>pic.tga TGA dosyasi acildi.</b><br>\r\n");
}

TEST(TgaTexture, RowsOfOddLengthUploadIntactAndAlphaPicturesGetFourComponents) {
    TempWorkingDir dir;
    GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    // 3 x 3 at 24 bits: 9-byte rows, not a multiple of 4.
    std::string body;
    for (int i = 0; i < 9; ++i) body += bgr(i * 25, 200 - i * 20, i * 3 + 1);
    writeFileBytes("odd.tga", tgaHeader(2, 3, 3, 24) + body);
    const Decoded odd = decode(readFileBytes("odd.tga"));
    ASSERT_NE(loadTgaTexture("odd.tga"), 0u);
    EXPECT_EQ(texelsOfBoundTexture(GL_RGB, 3, 3), odd.pixels);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the unpack alignment must be given back";

    writeFileBytes("alpha.tga", tgaHeader(10, 3, 1, 32) + "\x02" + bgr(1, 2, 3) + "\x10" + bgr(4, 5, 6) + "\x80" +
                                    bgr(7, 8, 9) + "\xF0");
    ASSERT_NE(loadTgaTexture("alpha.tga"), 0u);
    EXPECT_EQ(levelParameter(GL_TEXTURE_INTERNAL_FORMAT), 4);
    EXPECT_EQ(texelsOfBoundTexture(GL_RGBA, 3, 1),
              rgb(1, 2, 3) + "\x10" + rgb(4, 5, 6) + "\x80" + rgb(7, 8, 9) + "\xF0");
}

TEST(TgaTexture, AFailedLoadGivesTheDefaultTextureAndLeavesNothingBehind) {
    TempWorkingDir dir;
    GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    ReportCapture boxes;
    writeFileBytes("bad.tga", tgaHeader(2, 4, 2, 16) + eightPixels());
    writeFileBytes("short.tga", tgaHeader(10, 4, 2, 24) + "\x83");
    const int descriptorsBefore = openDescriptorCount();
    EXPECT_EQ(loadTgaTexture("absent.tga"), 0u);
    EXPECT_EQ(loadTgaTexture("bad.tga"), 0u);
    EXPECT_EQ(loadTgaTexture("short.tga"), 0u);
    EXPECT_EQ(boxes.reports.size(), 3u);
    for (GLuint name = 1; name < 32; ++name) EXPECT_FALSE(glIsTexture(name)) << name;
    EXPECT_FALSE(std::filesystem::exists("log.htm"));
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

TEST(TgaTexture, ALongPathIsCutToTheLogBuffer) {
    TempWorkingDir dir;
    GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    const std::string folder = std::string(60, 'd') + "/" + std::string(40, 'e');
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/picture_with_a_long_name.tga";
    writeFileBytes(path, tgaHeader(2, 4, 2, 24) + eightPixels());
    ASSERT_NE(loadTgaTexture(path.c_str()), 0u);
    const std::string line = "<b>" + path + " TGA dosyasi acildi.</b><br>";
    EXPECT_EQ(readFileBytes("log.htm").substr(24), "\r\n" + line.substr(0, 99) + "\r\n");
}

}  // namespace
