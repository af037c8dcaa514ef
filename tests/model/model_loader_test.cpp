// The text model loader: its grammar, line reader, bounds, shared arrays, log lines, and
// the refusal of files that cannot be loaded safely.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "model/model.h"
#include "platform/clock.h"
#include "tests/model/model_test_support.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using model_testing::CapturedMessages;
using model_testing::expectSameModel;
using testing_support::readFileBytes;
using testing_support::TempWorkingDir;
using testing_support::writeFileBytes;

namespace {

const std::string kReference =
    "box\n"
    "numofjoints 2\n"
    "numofframe 2\n"
    "framerate 12\n"
    "first {\n"
    "\tPOINT 3\n"
    "\tFACE 1\n"
    "\t1.0 2.0 3.0 0.25 0.5\n"
    "\t4.5 0.5 1.0 1.0 0.0\n"
    "\t2.0 6.0 0.5 0.0 1.0\n"
    "\t0.0 1.0 2.0\n"
    "}\n"
    "second {\n"
    "\tPOINT 4\n"
    "\tFACE 2\n"
    "\t-1.0 -2.0 -3.0 0 0\n"
    "\t-0.5 -1.5e0 -7 1 1\n"
    "\t-2 -1 -0.25 0.5 0.5\n"
    "\t-1 -1 -1 0 1\n"
    "\t0.0 1.0 2.0\n"
    "\t3.0 2.0 1.0\n"
    "}\n"
    "frame 0 {\n"
    "\tjoint 0 0 0 0 0 0\n"
    "\tjoint 1 2 3 10 20 30\n"
    "}\n"
    "frame 1 {\n"
    "\tjoint 0.5 0 0 90 0 0\n"
    "\tjoint -1 -2 -3 -10 -20 -30\n"
    "}\n";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Rewrites every line of `text` through `change` and joins them with `ending`.
std::string rewrite(const std::string& text, const std::function<std::string(const std::string&)>& change,
                    const std::string& ending = "\n") {
    std::string out;
    for (const std::string& line : splitLines(text)) out += change(line) + ending;
    return out;
}

// Loads `text` from a file named `name` in the current directory.
Model loadText(const std::string& text, const std::string& name = "model.txt") {
    writeFileBytes(name, text);
    Model model;
    return model.load(name.c_str());
}

void expectEmpty(const Model& model) {
    EXPECT_EQ(model.numofjoints, 0);
    EXPECT_EQ(model.joints, nullptr);
    EXPECT_EQ(model.numofframe, 0);
    EXPECT_EQ(model.framerate, 1);
    EXPECT_EQ(model.currentFrame, 0);
    EXPECT_EQ(model.maxX, 0.0f);
    EXPECT_EQ(model.minZ, 0.0f);
}

class ModelLoader : public ::testing::Test {
protected:
    TempWorkingDir dir;
    CapturedMessages messages;
};

TEST_F(ModelLoader, ReadsTheReferenceModel) {
    platform::useVirtualClock(5000);
    Model source;
    source.wireframe = true;
    source.paused = true;
    source.currentFrame = 7;
    source.texture = 42;
    writeFileBytes("model.txt", kReference);
    const Model model = source.load("model.txt");
    EXPECT_TRUE(CapturedMessages::messages().empty());

    ASSERT_EQ(model.numofjoints, 2);
    ASSERT_EQ(model.numofframe, 2);
    EXPECT_EQ(model.framerate, 12);
    EXPECT_EQ(model.currentFrame, 0);
    EXPECT_FALSE(model.wireframe);
    EXPECT_FALSE(model.paused);
    EXPECT_EQ(model.lastStepTick, 5000);
    EXPECT_EQ(model.texture, 42u);  // the caller's, untouched

    const Joint& first = model.joints[0];
    ASSERT_EQ(first.pointCount, 3);
    ASSERT_EQ(first.faceCount, 1);
    EXPECT_EQ(first.points[1].x, 4.5f);
    EXPECT_EQ(first.points[0].u, 0.25f);
    EXPECT_EQ(first.points[2].v, 1.0f);
    EXPECT_EQ(first.faces[0].a, 0);
    EXPECT_EQ(first.faces[0].b, 1);
    EXPECT_EQ(first.faces[0].c, 2);
    const Joint& second = model.joints[1];
    ASSERT_EQ(second.pointCount, 4);
    ASSERT_EQ(second.faceCount, 2);
    EXPECT_EQ(second.points[1].y, -1.5f);
    EXPECT_EQ(second.points[1].z, -7.0f);
    EXPECT_EQ(second.faces[1].a, 3);
    EXPECT_EQ(second.faces[1].c, 1);

    EXPECT_EQ(first.tx[1], 0.5f);
    EXPECT_EQ(first.rx[1], 90.0f);
    EXPECT_EQ(second.ty[0], 2.0f);
    EXPECT_EQ(second.rz[0], 30.0f);
    EXPECT_EQ(second.rz[1], -30.0f);
    EXPECT_EQ(second.tz[1], -3.0f);
}

TEST_F(ModelLoader, BoundsAlwaysContainTheOrigin) {
    const Model model = loadText(kReference);
    const Joint& positive = model.joints[0];
    EXPECT_EQ(positive.maxX, 4.5f);
    EXPECT_EQ(positive.maxY, 6.0f);
    EXPECT_EQ(positive.maxZ, 3.0f);
    EXPECT_EQ(positive.minX, 0.0f);
    EXPECT_EQ(positive.minY, 0.0f);
    EXPECT_EQ(positive.minZ, 0.0f);
    const Joint& negative = model.joints[1];
    EXPECT_EQ(negative.maxX, 0.0f);
    EXPECT_EQ(negative.maxY, 0.0f);
    EXPECT_EQ(negative.maxZ, 0.0f);
    EXPECT_EQ(negative.minX, -2.0f);
    EXPECT_EQ(negative.minY, -2.0f);
    EXPECT_EQ(negative.minZ, -7.0f);
    EXPECT_EQ(model.maxX, 4.5f);
    EXPECT_EQ(model.maxY, 6.0f);
    EXPECT_EQ(model.maxZ, 3.0f);
    EXPECT_EQ(model.minX, -2.0f);
    EXPECT_EQ(model.minY, -2.0f);
    EXPECT_EQ(model.minZ, -7.0f);
    EXPECT_EQ(model.getMaxY(), 6.0f);
    EXPECT_EQ(model.getMinZ(), -7.0f);
}

TEST_F(ModelLoader, CommentsBlanksIndentationAndLineEndsChangeNothing) {
    const Model reference = loadText(kReference);
    const std::vector<std::pair<const char*, std::string>> variants = {
        {"comments and blanks before every line",
         rewrite(kReference, [](const std::string& line) { return "// note\n\n/\n" + line; })},
        {"blank lines after every line", rewrite(kReference, [](const std::string& line) { return line + "\n\n"; })},
        {"no indentation",
         rewrite(kReference, [](const std::string& line) { return line[0] == '\t' ? line.substr(1) : line; })},
        {"spaces and tabs",
         rewrite(kReference,
                 [](const std::string& line) { return line[0] == '\t' ? "  \t " + line.substr(1) : line; })},
        {"CR LF line ends", rewrite(
                                kReference, [](const std::string& line) { return line; }, "\r\n")},
        {"no final line end", kReference.substr(0, kReference.size() - 1)},
        {"trailing text after the values",
         rewrite(kReference, [](const std::string& line) { return line[0] == '\t' ? line + " // trailing" : line; })},
    };
    for (const auto& [what, text] : variants) {
        SCOPED_TRACE(what);
        const Model model = loadText(text);
        EXPECT_TRUE(CapturedMessages::messages().empty());
        expectSameModel(model, reference);
    }
}

TEST_F(ModelLoader, HeaderKeywordsMustBeginTheirLinesAndMatchCase) {
    for (const std::string& header :
         {std::string(" numofjoints 2"), std::string("Numofjoints 2"), std::string("numofjoints")}) {
        SCOPED_TRACE(header);
        std::string text = kReference;
        text.replace(text.find("numofjoints 2"), 13, header);
        // No joints: each frame block is just its two ignored lines, taken from what follows.
        const Model model = loadText(text);
        EXPECT_TRUE(CapturedMessages::messages().empty());
        EXPECT_EQ(model.numofjoints, 0);
        EXPECT_EQ(model.joints, nullptr);
        EXPECT_EQ(model.numofframe, 2);
        EXPECT_EQ(model.framerate, 12);
    }
    std::string text = kReference;
    text.replace(text.find("framerate 12"), 12, "framerate\t\t-3 fps");
    EXPECT_EQ(loadText(text).framerate, -3);
}

TEST_F(ModelLoader, FaceIndicesNeedTheirPointZero) {
    const auto faceOf = [](const std::string& faceLine) {
        std::string text = kReference;
        text.replace(text.find("\t3.0 2.0 1.0"), 12, faceLine);
        const Model model = loadText(text);
        EXPECT_TRUE(CapturedMessages::messages().empty()) << faceLine;
        const ModelFace& face = model.joints[1].faces[1];
        return std::vector<int>{face.a, face.b, face.c};
    };
    EXPECT_EQ(faceOf("\t3.0 2.0 1.0"), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(faceOf("3.0\t2.0    1.0"), (std::vector<int>{3, 2, 1}));
    // Without ".0" the scan ends after the first index; the others stay unread (zero).
    EXPECT_EQ(faceOf("\t3 2 1"), (std::vector<int>{3, 0, 0}));
    EXPECT_EQ(faceOf("\t2.0 3.5 1.0"), (std::vector<int>{2, 3, 0}));
    EXPECT_EQ(faceOf("\t+1.0 2.0 3.0"), (std::vector<int>{1, 2, 3}));
    // What follows an index without ".0", or the third corner, is not read.
    EXPECT_EQ(faceOf("\t3 nan 1"), (std::vector<int>{3, 0, 0}));
    EXPECT_EQ(faceOf("\t1.5 nan inf"), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(faceOf("\t1.0 2.0 3.0 nan"), (std::vector<int>{1, 2, 3}));
}

TEST_F(ModelLoader, UnmatchedPointAndJointLinesLeaveZeros) {
    std::string text = kReference;
    text.replace(text.find("\t4.5 0.5 1.0 1.0 0.0"), 20, "\t4.5 x 1.0 1.0 0.0");
    text.replace(text.find("\tjoint 1 2 3 10 20 30"), 21, "\tJOINT 1 2 3 10 20 30");
    const Model model = loadText(text);
    EXPECT_TRUE(CapturedMessages::messages().empty());
    const ModelPoint& point = model.joints[0].points[1];
    EXPECT_EQ(point.x, 4.5f);
    EXPECT_EQ(point.y, 0.0f);
    EXPECT_EQ(point.z, 0.0f);
    EXPECT_EQ(point.v, 0.0f);
    EXPECT_EQ(model.joints[1].tx[0], 0.0f);
    EXPECT_EQ(model.joints[1].rz[0], 0.0f);
    EXPECT_EQ(model.joints[1].rz[1], -30.0f);
}

TEST_F(ModelLoader, ZeroFramesMeansNoFrameBlocks) {
    std::string text = kReference.substr(0, kReference.find("frame 0 {"));
    text.replace(text.find("numofframe 2"), 12, "numofframe 0");
    const Model model = loadText(text);
    EXPECT_TRUE(CapturedMessages::messages().empty());
    ASSERT_EQ(model.numofjoints, 2);
    EXPECT_EQ(model.numofframe, 0);
    EXPECT_EQ(model.joints[1].pointCount, 4);
    EXPECT_EQ(model.joints[1].faces[1].a, 3);
}

TEST_F(ModelLoader, NothingAfterTheLastFrameBlockIsRead) {
    const Model model = loadText(kReference + "numofjoints 99\n\tjoint garbage\n\x01\x02\n");
    EXPECT_TRUE(CapturedMessages::messages().empty());
    expectSameModel(model, loadText(kReference));
}

TEST_F(ModelLoader, ReadLineSplitsLongLinesAndSkipsCommentsAndBlanks) {
    const std::string longLine(300, 'x');
    writeFileBytes("lines.txt", "// comment\n\n" + longLine + "\n/x\r\n\r\n   \nlast");
    std::FILE* file = std::fopen("lines.txt", "rb");
    ASSERT_NE(file, nullptr);
    Model model;
    char buffer[255];
    ASSERT_TRUE(model.readLine(file, buffer));
    EXPECT_EQ(std::string(buffer), std::string(254, 'x'));
    ASSERT_TRUE(model.readLine(file, buffer));
    EXPECT_EQ(std::string(buffer), std::string(46, 'x') + "\n");
    ASSERT_TRUE(model.readLine(file, buffer));  // a line of spaces is neither comment nor blank
    EXPECT_EQ(std::string(buffer), "   \n");
    ASSERT_TRUE(model.readLine(file, buffer));
    EXPECT_EQ(std::string(buffer), "last");
    EXPECT_FALSE(model.readLine(file, buffer));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_FALSE(model.readLine(file, buffer));
    std::fclose(file);
}

TEST_F(ModelLoader, ReadLineTakesAtMost254CharactersCountingTheLineEnd) {
    writeFileBytes("lines.txt",
                   std::string(253, 'a') + "\r\n" + std::string(254, 'b') + "\n//" + std::string(260, 'c'));
    std::FILE* file = std::fopen("lines.txt", "rb");
    ASSERT_NE(file, nullptr);
    Model model;
    char buffer[255];
    ASSERT_TRUE(model.readLine(file, buffer));
    EXPECT_EQ(std::string(buffer), std::string(253, 'a') + "\n");
    ASSERT_TRUE(model.readLine(file, buffer));
    EXPECT_EQ(std::string(buffer), std::string(254, 'b'));
    // The line end of the full line comes alone and is skipped as blank; the comment's tail
    // beyond 254 characters is a line of its own.
    ASSERT_TRUE(model.readLine(file, buffer));
    EXPECT_EQ(std::string(buffer), std::string(8, 'c'));
    EXPECT_FALSE(model.readLine(file, buffer));
    std::fclose(file);
}

TEST_F(ModelLoader, ALongCommentShiftsTheGrammar) {
    // The first 254 characters are a comment; the rest is the ignored first line, so the
    // model's name line is taken for the numofjoints line and matches nothing.
    const Model model = loadText("//" + std::string(298, '-') + "\n" + kReference);
    EXPECT_TRUE(CapturedMessages::messages().empty());
    EXPECT_EQ(model.numofjoints, 0);
    EXPECT_EQ(model.numofframe, 0);
    EXPECT_EQ(model.framerate, 0);
}

TEST_F(ModelLoader, PointValueAnswersZeroOutsideTheModel) {
    const Model model = loadText(kReference);
    EXPECT_EQ(model.pointValue(0, 1, 1), 4.5f);
    EXPECT_EQ(model.pointValue(0, 1, 2), 0.5f);
    EXPECT_EQ(model.pointValue(0, 1, 3), 1.0f);
    EXPECT_EQ(model.pointValue(0, 0, 4), 0.25f);
    EXPECT_EQ(model.pointValue(0, 0, 5), 0.5f);
    EXPECT_EQ(model.pointValue(1, 3, 3), -1.0f);
    EXPECT_EQ(model.pointValue(2, 0, 1), 0.0f);
    EXPECT_EQ(model.pointValue(-1, 0, 1), 0.0f);
    EXPECT_EQ(model.pointValue(0, 3, 1), 0.0f);
    EXPECT_EQ(model.pointValue(0, -1, 1), 0.0f);
    EXPECT_EQ(model.pointValue(0, 1, 0), 0.0f);
    EXPECT_EQ(model.pointValue(0, 1, 6), 0.0f);
    EXPECT_EQ(Model().pointValue(0, 0, 1), 0.0f);
}

TEST_F(ModelLoader, CopiesShareTheArraysAndKeepThemAlive) {
    Model source;
    writeFileBytes("model.txt", kReference);
    Model copy = source.load("model.txt");
    EXPECT_EQ(copy.joints.get(), source.joints.get());
    EXPECT_EQ(copy.joints[1].points.get(), source.joints[1].points.get());
    copy.joints[0].points[0].x = 99.0f;
    EXPECT_EQ(source.pointValue(0, 0, 1), 99.0f);

    // Loading afresh gives the source new arrays; the copy keeps the old ones.
    std::string other = kReference;
    other.replace(other.find("\t1.0 2.0 3.0"), 12, "\t8.0 2.0 3.0");
    writeFileBytes("other.txt", other);
    source.load("other.txt");
    EXPECT_NE(copy.joints.get(), source.joints.get());
    EXPECT_EQ(source.pointValue(0, 0, 1), 8.0f);
    EXPECT_EQ(copy.pointValue(0, 0, 1), 99.0f);
    {
        Model scoped = copy;
        copy = Model();
        EXPECT_EQ(scoped.joints[1].faces[1].a, 3);
    }
}

TEST_F(ModelLoader, WritesTheTwoLogLines) {
    loadText(kReference, "walker.txt");
    const std::string log = readFileBytes("log.htm");
    const std::size_t loading = log.find("<b>walker.txt model dosyasi yukleniyor...</b><br>\r\n");
    const std::size_t loaded = log.find("<b>walker.txt model dosyasi yuklendi.</b><br>\r\n");
    ASSERT_NE(loading, std::string::npos) << log;
    ASSERT_NE(loaded, std::string::npos) << log;
    EXPECT_LT(loading, loaded);
}

TEST_F(ModelLoader, LongFileNamesAreCutToFitTheLogBuffer) {
    const std::string name = std::string(150, 'n') + ".txt";
    const Model model = loadText(kReference, name);
    EXPECT_EQ(model.numofjoints, 2);
    const std::string log = readFileBytes("log.htm");
    const std::string loading = "<b>" + std::string(60, 'n') + " model dosyasi yukleniyor...</b><br>\r\n";
    const std::string loaded = "<b>" + std::string(64, 'n') + " model dosyasi yuklendi.</b><br>\r\n";
    EXPECT_NE(log.find("\r\n" + loading), std::string::npos) << log;
    EXPECT_NE(log.find("\r\n" + loaded), std::string::npos) << log;
    // A name of 60 characters fits whole.
    const std::string sixty = std::string(56, 's') + ".txt";
    loadText(kReference, sixty);
    EXPECT_NE(readFileBytes("log.htm").find("<b>" + sixty + " model dosyasi yukleniyor...</b><br>"), std::string::npos);
}

TEST_F(ModelLoader, CutNamesKeepWholeUtf8Characters) {
    // 59 ASCII bytes then a two-byte character straddling the 60-byte limit.
    const std::string name = std::string(59, 'a') + "\xC3\xBC" + std::string(10, 'b');
    loadText(kReference, name);
    const std::string log = readFileBytes("log.htm");
    EXPECT_NE(log.find("<b>" + std::string(59, 'a') + " model dosyasi yukleniyor"), std::string::npos) << log;
}

TEST_F(ModelLoader, LoadsFromAnOpenStream) {
    std::FILE* stream = fmemopen(const_cast<char*>(kReference.data()), kReference.size(), "r");
    ASSERT_NE(stream, nullptr);
    Model model;
    EXPECT_TRUE(model.loadStream(stream, "memory"));
    std::fclose(stream);
    expectSameModel(model, loadText(kReference));
    EXPECT_NE(readFileBytes("log.htm").find("<b>memory model dosyasi yuklendi.</b><br>"), std::string::npos);
}

// Refused files: an empty model, one message naming the file and the line, no second log line.
struct Refusal {
    const char* what;
    std::string text;
    std::string message;  // expected after "model.txt:"
};

std::string replaced(const std::string& from, const std::string& to, std::string text = kReference) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST_F(ModelLoader, RefusesTruncatedFilesWithoutHanging) {
    const std::vector<Refusal> refusals = {
        {"empty file", "", "1: the file ends before its first line"},
        {"only comments", "// a\n// b\n\n", "4: the file ends before its first line"},
        {"header cut short", "box\nnumofjoints 2\n", "3: the file ends before the numofframe line"},
        {"cut inside the points", kReference.substr(0, kReference.find("\t2.0 6.0")),
         "10: the file ends before point 2 of joint 0"},
        {"cut before a face, ending in a comment",
         kReference.substr(0, kReference.find("\t3.0 2.0 1.0")) + "// the rest is missing\n",
         "22: the file ends before face 1 of joint 1"},
        {"cut inside a frame", kReference.substr(0, kReference.find("\tjoint -1 -2")),
         "29: the file ends before joint 1 in frame 1"},
        {"last closing line missing", kReference.substr(0, kReference.size() - 2),
         "30: the file ends before the closing line of frame 1"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        CapturedMessages::messages().clear();
        const Model model = loadText(refusal.text);
        expectEmpty(model);
        EXPECT_EQ(messages.only(), "model.txt:" + refusal.message + "; the model is left empty");
    }
}

TEST_F(ModelLoader, RefusesNegativeAndImpossibleCounts) {
    const std::vector<Refusal> refusals = {
        {"negative joints", replaced("numofjoints 2", "numofjoints -1"), "4: numofjoints is negative (-1)"},
        {"negative frames", replaced("numofframe 2", "numofframe -2"), "4: numofframe is negative (-2)"},
        {"negative points", replaced("\tPOINT 3", "\tPOINT -3"), "6: joint 0 has a negative POINT count (-3)"},
        {"negative faces", replaced("\tFACE 2", "\tFACE -1"), "15: joint 1 has a negative FACE count (-1)"},
        {"more joints than lines", replaced("numofjoints 2", "numofjoints 2000000000"),
         "4: the counts need 12000000004 more lines, but the rest of the file holds at most 174"},
        {"more frames than lines", replaced("numofframe 2", "numofframe 2147483647"),
         "4: the counts need 8589934596 more lines, but the rest of the file holds at most 174"},
        {"an overflowing count", replaced("numofframe 2", "numofframe 99999999999999"),
         "4: the counts need 8589934596 more lines, but the rest of the file holds at most 174"},
        {"more points than lines", replaced("\tPOINT 4", "\tPOINT 1000"),
         "15: the counts need 1011 more lines, but the rest of the file holds at most 109"},
        {"more faces than lines", replaced("\tFACE 1", "\tFACE 300"),
         "7: the counts need 316 more lines, but the rest of the file holds at most 162"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        CapturedMessages::messages().clear();
        const Model model = loadText(refusal.text);
        expectEmpty(model);
        EXPECT_EQ(messages.only(), "model.txt:" + refusal.message + "; the model is left empty");
    }
}

TEST_F(ModelLoader, FilesThatExactlyHoldTheirCountsAreNotRefused) {
    // After the FACE line 15 more lines are needed (5 points, the closing line, three frame
    // blocks of three) and 29 bytes remain: one-character lines with no final line end.
    const std::string tight = "m\nnumofjoints 1\nnumofframe 3\nframerate 1\na\nPOINT 5\nFACE 0\n" +
                              std::string("p\np\np\np\np\n") + "b\n" + "c\nj\nd\nc\nj\nd\nc\nj\nd";
    const Model model = loadText(tight);
    EXPECT_TRUE(CapturedMessages::messages().empty());
    EXPECT_EQ(model.numofjoints, 1);
    EXPECT_EQ(model.joints[0].pointCount, 5);
    EXPECT_EQ(model.numofframe, 3);

    expectEmpty(loadText(replaced("POINT 5", "POINT 6", tight)));
    EXPECT_EQ(messages.only(),
              "model.txt:7: the counts need 16 more lines, but the rest of the file holds at most 15; the model is "
              "left empty");
}

TEST_F(ModelLoader, RefusesFaceCornersMissingOrOutsideTheirJoint) {
    const std::vector<Refusal> refusals = {
        {"one past the end", replaced("\t0.0 1.0 2.0\n}", "\t0.0 1.0 3.0\n}"),
         "11: face 0 of joint 0 uses point 3, but the joint has 3 points"},
        {"negative", replaced("\t3.0 2.0 1.0", "\t3.0 -1.0 1.0"),
         "21: face 1 of joint 1 uses point -1, but the joint has 4 points"},
        {"a joint without points", replaced("\tPOINT 3", "\tPOINT 0"),
         "8: face 0 of joint 0 uses point 1, but the joint has 0 points"},
        {"nan for a corner", replaced("\t0.0 1.0 2.0\n}", "nan 1.0 2.0\n}"),
         "11: face 0 of joint 0 gives no point index for its first corner"},
        {"inf for a corner", replaced("\t3.0 2.0 1.0", "\tinf 2.0 1.0"),
         "21: face 1 of joint 1 gives no point index for its first corner"},
        {"-nan for a corner", replaced("\t3.0 2.0 1.0", "\t-nan 2.0 1.0"),
         "21: face 1 of joint 1 gives no point index for its first corner"},
        {"a word for a corner", replaced("\t3.0 2.0 1.0", "\tthree 2.0 1.0"),
         "21: face 1 of joint 1 gives no point index for its first corner"},
        {"a face line of spaces", replaced("\t3.0 2.0 1.0", "   "),
         "21: face 1 of joint 1 gives no point index for its first corner"},
        {"a fraction without its whole part", replaced("\t3.0 2.0 1.0", "\t.5 2.0 1.0"),
         "21: face 1 of joint 1 gives no point index for its first corner"},
        {"NaN for the second corner", replaced("\t3.0 2.0 1.0", "\t3.0 NaN 1.0"),
         "21: face 1 of joint 1 gives no point index for its second corner"},
        {"a lone sign for the second corner", replaced("\t3.0 2.0 1.0", "\t3.0 - 1.0"),
         "21: face 1 of joint 1 gives no point index for its second corner"},
        {"-inf for the third corner", replaced("\t3.0 2.0 1.0", "\t3.0 2.0 -inf"),
         "21: face 1 of joint 1 gives no point index for its third corner"},
        {"two corners only", replaced("\t3.0 2.0 1.0", "\t3.0 2.0"),
         "21: face 1 of joint 1 gives no point index for its third corner"},
        {"a corner after a comment and a blank line", replaced("\t3.0 2.0 1.0", "// c\n\n\t3.0 2.0 nan"),
         "23: face 1 of joint 1 gives no point index for its third corner"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        CapturedMessages::messages().clear();
        expectEmpty(loadText(refusal.text));
        EXPECT_EQ(messages.only(), "model.txt:" + refusal.message + "; the model is left empty");
    }
}

TEST_F(ModelLoader, RefusesWhatCannotBeOpenedOrRead) {
    Model model;
    model.load("missing.txt");
    expectEmpty(model);
    EXPECT_EQ(messages.only(),
              "cannot open model file missing.txt: No such file or directory; the model is left empty");

    std::filesystem::create_directory("folder");
    CapturedMessages::messages().clear();
    EXPECT_FALSE(model.loadFile("folder"));
    expectEmpty(model);
    EXPECT_EQ(messages.only(), "cannot load model file folder: it is not a regular file; the model is left empty");

    const std::string log = readFileBytes("log.htm");
    EXPECT_NE(log.find("<b>missing.txt model dosyasi yukleniyor...</b><br>"), std::string::npos);
    EXPECT_EQ(log.find("yuklendi"), std::string::npos);
}

TEST_F(ModelLoader, ARefusedLoadEmptiesTheModelButNotItsEarlierCopies) {
    Model model;
    writeFileBytes("good.txt", kReference);
    const Model copy = model.load("good.txt");
    model.setPosition(1, 2, 3);
    model.texture = 9;
    writeFileBytes("bad.txt", replaced("\tPOINT 4", "\tPOINT -4"));
    EXPECT_FALSE(model.loadFile("bad.txt"));
    expectEmpty(model);
    EXPECT_EQ(model.texture, 9u);
    EXPECT_EQ(model.getPosY(), 2.0f);
    EXPECT_EQ(copy.numofjoints, 2);
    EXPECT_EQ(copy.joints[1].points[3].z, -1.0f);
    EXPECT_TRUE(model.loadFile("good.txt"));
    EXPECT_EQ(model.numofjoints, 2);
}

TEST(ModelLoaderMessages, AreErrorsOfTheProgram) {
    TempWorkingDir dir;
    testing_support::ReportCapture captured;
    Model model;
    model.load("nowhere.txt");
    const std::string err = captured.written();
    ASSERT_EQ(captured.reports.size(), 1u);
    EXPECT_EQ(captured.reports[0].level, base::Level::kError);
    EXPECT_EQ(err, "oyun: cannot open model file nowhere.txt: No such file or directory; the model is left empty\n");
}

}  // namespace
