// The TGA writer of oyun-assets: headers, row order, colour order and run-length packets,
// read back by the tests' own strict reader.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "tests/support/temp_dir.h"
#include "tests/support/tga_test_reader.h"
#include "tools/assets/file_output.h"
#include "tools/assets/random.h"
#include "tools/assets/tga_writer.h"

using namespace assets;
using testing_support::decodeTga;
using testing_support::TgaPicture;

namespace {

Image8 makeImage(int w, int h, int channels) {
    Image8 image;
    image.width = w;
    image.height = h;
    image.channels = channels;
    image.bytes.assign(static_cast<std::size_t>(w * h * channels), 0);
    return image;
}

std::uint8_t* at(Image8& image, int x, int y) {
    return image.bytes.data() +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) *
               static_cast<std::size_t>(image.channels);
}

TgaPicture decode(const std::vector<std::uint8_t>& bytes) {
    TgaPicture picture;
    std::string error;
    EXPECT_TRUE(decodeTga(std::string(bytes.begin(), bytes.end()), picture, error)) << error;
    return picture;
}

// Every pixel of the decoded file equals the image's, seen from the top-left corner.
void expectSamePixels(const Image8& image, const TgaPicture& picture) {
    ASSERT_EQ(picture.width, image.width);
    ASSERT_EQ(picture.height, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* want = image.bytes.data() + (static_cast<std::size_t>(y * image.width + x)) *
                                                                static_cast<std::size_t>(image.channels);
            const std::uint8_t* got = picture.pixel(x, y);
            for (int c = 0; c < image.channels; ++c)
                ASSERT_EQ(got[c], want[c]) << "pixel " << x << "," << y << " channel " << c;
        }
    }
}

}  // namespace

TEST(TgaWriter, UncompressedHeaderRowsAndColourOrder) {
    Image8 image = makeImage(4, 2, 3);
    at(image, 0, 0)[0] = 200;  // top-left red
    at(image, 3, 1)[2] = 100;  // bottom-right blue
    const std::vector<std::uint8_t> bytes = encodeTga(image, TgaEncoding::kUncompressed);
    ASSERT_EQ(bytes.size(), 18u + 4 * 2 * 3);
    const std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + 12);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bytes[12] | (bytes[13] << 8), 4);
    EXPECT_EQ(bytes[14] | (bytes[15] << 8), 2);
    EXPECT_EQ(bytes[16], 24);
    EXPECT_EQ(bytes[17] & 0x20, 0) << "origin must be the lower left";
    // The bottom row comes first, blue-green-red: the blue pixel is the file's fourth.
    EXPECT_EQ(bytes[18 + 3 * 3 + 0], 100);
    // The top row comes last: its first pixel's red is the third byte of the fifth pixel.
    EXPECT_EQ(bytes[18 + 4 * 3 + 2], 200);
    expectSamePixels(image, decode(bytes));
}

TEST(TgaWriter, RunLengthRoundTripOfMixedContent) {
    // Odd width, long runs that must split at 128, pairs, and noise, with alpha.
    Image8 image = makeImage(301, 9, 4);
    Random random(7);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = at(image, x, y);
            const bool noisy = (x / 40 + y) % 3 == 0;
            const std::uint8_t v =
                noisy ? static_cast<std::uint8_t>(random.nextU32()) : static_cast<std::uint8_t>(x / 2 % 7 * 30);
            p[0] = v;
            p[1] = static_cast<std::uint8_t>(v ^ 0x55);
            p[2] = static_cast<std::uint8_t>(y * 20);
            p[3] = static_cast<std::uint8_t>(255 - y);
        }
    }
    const std::vector<std::uint8_t> bytes = encodeTga(image, TgaEncoding::kRunLength);
    EXPECT_EQ(bytes[2], 10);
    EXPECT_EQ(bytes[16], 32);
    EXPECT_EQ(bytes[17], 8) << "eight alpha bits, origin at the lower left";
    const TgaPicture picture = decode(bytes);
    EXPECT_FALSE(picture.packetCrossesRow);
    expectSamePixels(image, picture);
}

TEST(TgaWriter, RunLengthPacksRunsAndLiteralsAtMost128) {
    Image8 flat = makeImage(1024, 1, 4);
    for (int x = 0; x < 1024; ++x) at(flat, x, 0)[3] = 255;
    const std::vector<std::uint8_t> runs = encodeTga(flat, TgaEncoding::kRunLength);
    EXPECT_EQ(runs.size(), 18u + 8 * (1 + 4)) << "a flat row is eight full runs";
    EXPECT_EQ(runs[18], 0xFF);

    Image8 busy = makeImage(300, 1, 3);
    for (int x = 0; x < 300; ++x) at(busy, x, 0)[0] = static_cast<std::uint8_t>(x & 1);
    const std::vector<std::uint8_t> literals = encodeTga(busy, TgaEncoding::kRunLength);
    EXPECT_EQ(literals.size(), 18u + 3 + 300 * 3) << "alternating pixels are three literal packets";
    EXPECT_EQ(literals[18], 127);
    const TgaPicture picture = decode(literals);
    EXPECT_EQ(picture.packets, 3);
    expectSamePixels(busy, picture);
}

TEST(TgaWriter, EightBitConversionClampsAndMakesOpaque) {
    Canvas canvas(3, 1);
    canvas.at(0, 0) = {-0.5f, 0.5f, 2.0f};
    canvas.at(1, 0) = {std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f};
    canvas.at(2, 0) = {0.25f, 0.75f, 1.0f / 255.0f};
    const Image8 image = toImage8(canvas, 4);
    EXPECT_EQ(image.bytes, (std::vector<std::uint8_t>{0, 128, 255, 255, 0, 255, 0, 255, 64, 191, 1, 255}));
    EXPECT_EQ(toImage8(canvas, 3).bytes.size(), 9u);
}

TEST(FileOutput, FilesAppearWholeOrNotAtAll) {
    testing_support::TempWorkingDir dir;
    testing_support::writeFileBytes(dir.path() / "plain", "x");
    std::string error;
    EXPECT_FALSE(writeFile((dir.path() / "plain" / "a.tga").string(), {1, 2, 3}, error));
    EXPECT_NE(error.find("plain/a.tga"), std::string::npos) << error;

    const std::string path = (dir.path() / "b.tga").string();
    testing_support::writeFileBytes(path, "an older, longer picture");
    ASSERT_TRUE(writeFile(path, {1, 2, 3}, error)) << error;
    EXPECT_EQ(testing_support::readFileBytes(path), std::string("\x01\x02\x03"));
    EXPECT_FALSE(std::filesystem::exists(partPath(path)));

    // A part file that cannot be renamed into place (a folder holds the name) is cleaned up.
    std::filesystem::create_directory(dir.path() / "c.tga");
    std::filesystem::create_directory(dir.path() / "c.tga" / "inside");
    EXPECT_FALSE(writeFile((dir.path() / "c.tga").string(), {1}, error));
    EXPECT_FALSE(std::filesystem::exists(partPath((dir.path() / "c.tga").string())));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "c.tga"));
}
