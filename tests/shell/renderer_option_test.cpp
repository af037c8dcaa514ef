// The renderer's names and the --renderer option the programs share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/renderer.h"
#include "shell/renderer_option.h"

namespace {

TEST(RendererNames, EachNameParsesToTheRendererThatBearsIt) {
    for (const gfx::RendererKind kind : {gfx::RendererKind::kGl11, gfx::RendererKind::kGles3}) {
        gfx::RendererKind parsed =
            kind == gfx::RendererKind::kGl11 ? gfx::RendererKind::kGles3 : gfx::RendererKind::kGl11;
        ASSERT_TRUE(gfx::parseRendererName(gfx::rendererName(kind), parsed)) << gfx::rendererName(kind);
        EXPECT_EQ(parsed, kind);
    }
    EXPECT_STREQ(gfx::rendererName(gfx::RendererKind::kGl11), "gl11");
    EXPECT_STREQ(gfx::rendererName(gfx::RendererKind::kGles3), "gles3");
    for (const char* name : {"", "GL11", "gles", "gles30", "gl11 ", " gles3", "webgl2"}) {
        gfx::RendererKind kind = gfx::RendererKind::kGles3;
        EXPECT_FALSE(gfx::parseRendererName(name, kind)) << '"' << name << '"';
        EXPECT_EQ(kind, gfx::RendererKind::kGles3) << "a refused name changed the choice";
    }
}

// Parses `words` after the program's name; the message of a refused line, or "".
std::string parse(std::vector<std::string> words, gfx::RendererKind& kind) {
    CLI::App app{"test"};
    addRendererOption(app, kind);
    words.insert(words.begin(), "program");
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        return error.what();
    }
    return "";
}

TEST(RendererOption, TakesEitherRendererAndKeepsGl11WhenNotGiven) {
    const struct {
        std::vector<std::string> words;
        gfx::RendererKind kind;
    } kCases[] = {
        {{}, gfx::RendererKind::kGl11},
        {{"--renderer", "gles3"}, gfx::RendererKind::kGles3},
        {{"--renderer=gles3"}, gfx::RendererKind::kGles3},
        {{"--renderer", "gl11"}, gfx::RendererKind::kGl11},
    };
    for (const auto& c : kCases) {
        gfx::RendererKind kind = gfx::RendererKind::kGl11;
        EXPECT_EQ(parse(c.words, kind), "");
        EXPECT_EQ(kind, c.kind) << testing::PrintToString(c.words);
    }
}

TEST(RendererOption, AnUnknownOrMissingNameIsAWrongCommandLine) {
    gfx::RendererKind kind = gfx::RendererKind::kGl11;
    EXPECT_EQ(parse({"--renderer", "vulkan"}, kind), "--renderer: unknown renderer \"vulkan\" (gl11 or gles3)");
    // An option is never taken for the name.
    EXPECT_EQ(parse({"--renderer", "--help"}, kind), "--renderer: unknown renderer \"--help\" (gl11 or gles3)");
    EXPECT_NE(parse({"--renderer"}, kind), "");
    EXPECT_EQ(kind, gfx::RendererKind::kGl11);
}

}  // namespace
