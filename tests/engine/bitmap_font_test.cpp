// The bitmap font: which lists a text runs, the list base it leaves, the 255-character cut,
// the glyphs it puts on screen, and a system without fonts.
#include "engine/bitmap_font.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/gl_test_context.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using testing_support::GlTestContext;

namespace {

// Window coordinates: one unit per pixel of the 256 x 256 view.
class FontScreen : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 256, 0, 256, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
    }
    void TearDown() override { deleteFontLists(); }

    float rasterX() const {
        GLfloat position[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0];
    }

    int litPixels(int x, int y, int width, int height) const {
        const std::vector<std::uint8_t> rgba = gl.readPixels(x, y, width, height);
        int lit = 0;
        for (std::size_t i = 0; i < rgba.size(); i += 4) lit += rgba[i] > 128 ? 1 : 0;
        return lit;
    }

    GlTestContext gl;
};

// Runs `draw` in feedback mode and returns the pass-through values it produced, in order.
template <typename Draw>
std::vector<int> passThroughValues(Draw draw) {
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<int> values;
    for (GLint i = 0; i < used; ++i) {
        if (buffer[i] == GL_PASS_THROUGH_TOKEN) {
            values.push_back(static_cast<int>(buffer[i + 1]));
            ++i;
        } else if (buffer[i] == GL_BITMAP_TOKEN) {
            i += 2;
        }
    }
    return values;
}

// Makes list fontListBase + offset record `value` instead of drawing its glyph.
void markList(int offset, int value) {
    glNewList(fontListBase + offset, GL_COMPILE);
    glPassThrough(static_cast<GLfloat>(value));
    glEndList();
}

TEST_F(FontScreen, TextRunsOneListPerByteAndRestoresTheListBase) {
    createFontLists(gl.deviceContext());
    ASSERT_NE(fontListBase, 0u);
    for (int i = 0; i < 96; ++i) EXPECT_TRUE(glIsList(fontListBase + i)) << i;
    markList(33, 33);
    markList(17, 17);
    glListBase(7);
    EXPECT_EQ(passThroughValues([] { drawText("A1"); }), (std::vector<int>{33, 17}));
    EXPECT_EQ(passThroughValues([] { drawText("%c%d", 'A', 1); }), (std::vector<int>{33, 17}));
    GLint base = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 7);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FontScreen, ANullFormatDrawsNothingAndChangesNothing) {
    createFontLists(gl.deviceContext());
    markList(33, 33);
    glRasterPos2i(20, 20);
    const float before = rasterX();
    // Through a pointer, so that the compiler's format check lets the null through.
    void (*const draw)(const char*, ...) = drawText;
    EXPECT_TRUE(passThroughValues([&] { draw(nullptr); }).empty());
    EXPECT_EQ(rasterX(), before);
    GLint base = -1;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 0);
}

TEST_F(FontScreen, TextLongerThan255CharactersIsCut) {
    createFontLists(gl.deviceContext());
    markList(33, 1);
    const std::string longText(300, 'A');
    EXPECT_EQ(passThroughValues([&] { drawText("%s", longText.c_str()); }).size(), 255u);
}

TEST_F(FontScreen, GlyphsAreDrawnAtTheRasterPositionAndAdvanceIt) {
    createFontLists(gl.deviceContext());
    glRasterPos2i(20, 100);
    drawText("A");
    const float advance = rasterX() - 20.0f;
    // Liberation Mono at a 24-pixel character height: 0.6 em per character.
    EXPECT_GE(advance, 13.0f);
    EXPECT_LE(advance, 15.0f);
    EXPECT_GT(litPixels(20, 100, 16, 24), 40);
    EXPECT_EQ(litPixels(0, 0, 256, 256), litPixels(18, 99, 20, 26)) << "all of the A near its raster position";

    // Monospaced: every character moves on by the same amount; a space lights nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    glRasterPos2i(10, 50);
    drawText("Mi %d", 42);
    EXPECT_FLOAT_EQ(rasterX(), 10.0f + 5 * advance);
    EXPECT_EQ(litPixels(10 + static_cast<int>(2 * advance) + 1, 40, static_cast<int>(advance) - 2, 40), 0);
    // A descender reaches below the baseline.
    glClear(GL_COLOR_BUFFER_BIT);
    glRasterPos2i(10, 50);
    drawText("g");
    EXPECT_GT(litPixels(10, 40, 20, 10), 0);
}

TEST_F(FontScreen, DeletedListsDrawNothing) {
    createFontLists(gl.deviceContext());
    deleteFontLists();
    EXPECT_FALSE(glIsList(fontListBase));
    EXPECT_FALSE(glIsList(fontListBase + 95));
    glRasterPos2i(20, 100);
    drawText("AB");
    EXPECT_EQ(rasterX(), 20.0f);
    EXPECT_EQ(litPixels(0, 0, 256, 256), 0);
}

TEST(FontWithoutFonts, ListsExistButDrawNothingAndTheReasonIsPrinted) {
    // A fontconfig set-up that knows no font directory.
    testing_support::TempWorkingDir dir;
    testing_support::writeFileBytes("fonts.conf", "<?xml version=\"1.0\"?><fontconfig></fontconfig>\n");
    const std::string config = (dir.path() / "fonts.conf").string();
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 256, 0, 256, -1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    testing_support::ReportCapture captured;
    createFontLists(gl.deviceContext());
    const std::string printed = captured.written();
    EXPECT_NE(printed.find("no font for \"Courier New\""), std::string::npos) << printed;
    glRasterPos2i(20, 100);
    drawText("Hello");
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    EXPECT_EQ(position[0], 20.0f);
    const std::vector<std::uint8_t> rgba = gl.readPixels(0, 0, 256, 256);
    int lit = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) lit += rgba[i] != 0 ? 1 : 0;
    EXPECT_EQ(lit, 0);
    deleteFontLists();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
