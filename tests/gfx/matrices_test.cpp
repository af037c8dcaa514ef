// The matrix calls against the driver: every sequence leaves the model-view and projection
// matrices the driver reports, bit for bit (infinities and NaNs where the driver has them).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "tests/gfx/renderer_context.h"

using namespace gfx_test;

namespace {

using Matrix = std::array<float, 16>;

struct Sequence {
    const char* name;
    std::function<void()> calls;
};

struct State {
    Matrix modelview{}, projection{};
    std::vector<gfx::Enum> errors;
};

State run(gfx::RendererKind kind, const Sequence& sequence) {
    State state;
    RendererContext context(kind, 32, 32);
    if (!context.ok()) return state;
    sequence.calls();
    gfx::getFloatv(gfx::kModelviewMatrix, state.modelview.data());
    gfx::getFloatv(gfx::kProjectionMatrix, state.projection.data());
    for (gfx::Enum e = gfx::getError(); e != gfx::kNoError; e = gfx::getError()) state.errors.push_back(e);
    return state;
}

bool same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

std::string differences(const Matrix& a, const Matrix& b) {
    std::ostringstream out;
    out.precision(9);
    for (int i = 0; i < 16; ++i)
        if (!same(a[i], b[i])) out << "[" << i << "] " << a[i] << " vs " << b[i] << "; ";
    return out.str();
}

void modelview() { gfx::matrixMode(gfx::kModelview); }
void projection() { gfx::matrixMode(gfx::kProjection); }

const Sequence kSequences[] = {
    {"translate, rotate and scale",
     [] {
         modelview();
         gfx::translatef(1.5f, -2.25f, 3.1f);
         gfx::rotatef(33.3f, 0, 1, 0);
         gfx::rotatef(-71.7f, 1, 2, 3);
         gfx::scalef(-1, 1.5f, 140);
         gfx::rotatef(401.5f, 0, 0, 1);
         gfx::rotatef(12.5f, 0.3f, 0.4f, 0.5f);
     }},
    {"rotation about a zero axis", [] { gfx::rotatef(30, 0, 0, 0); }},
    {"the show's projection",
     [] {
         projection();
         gfx::loadIdentity();
         gfx::perspective(45.0, 1024.0 / 512.0, 1.0, 4000.0);
         modelview();
     }},
    {"perspective of another aspect and depth",
     [] {
         projection();
         gfx::perspective(60.0, 4.0 / 3.0, 0.1, 100.0);
     }},
    {"perspective that is not finite leaves the matrix",
     [] {
         projection();
         gfx::perspective(45.0, 0.0, 1.0, 100.0);
         gfx::perspective(45.0, 1.0, 5.0, 5.0);
     }},
    {"orthographic boxes",
     [] {
         projection();
         gfx::ortho(0, 1024, 0, 768, -1, 1);
         gfx::ortho(-8.3, 8.1, -7, 9, -3, 8);
     }},
    {"look-at cameras",
     [] {
         gfx::lookAt(1, 2, 3, -4, 5, -6, 0.1, 1, 0.2);
         gfx::lookAt(12.5, -3.3, 7.25, 0, 10, -10, 0, 1, 0);
     }},
    {"the camera and a layer of the tower",
     [] {
         gfx::loadIdentity();
         gfx::lookAt(-3.02, 23.0, 41.7, 0.0, 60.0, 0.0, 0.0, 1.0, 0.0);
         gfx::scalef(-1.0f, 1.0f, 1.0f);
         gfx::rotatef(5.0f * 37 + 1234.0f, 0.0f, 1.0f, 0.0f);
     }},
    {"the ball chain's compounding scale until it overflows",
     [] {
         const float t = 1400.0f;
         gfx::translatef(static_cast<float>(2.0 * std::sin(t / 10.0) + 3.0), static_cast<float>(std::sin(t / 100.0)),
                         -24.0f);
         for (int n = 0; n < 30; ++n) {
             gfx::rotatef(-t / 3.0f, 0.0f, 1.0f, 0.0f);
             gfx::translatef(static_cast<float>(-n / 10), 0.0f, 0.0f);
             gfx::scalef(40.0f, 40.0f, 40.0f);
             gfx::rotatef(-t / 3.0f, 0.0f, 1.0f, 0.0f);
         }
     }},
    {"push and pop on both stacks",
     [] {
         gfx::translatef(1, 2, 3);
         gfx::pushMatrix();
         gfx::rotatef(90, 1, 0, 0);
         projection();
         gfx::pushMatrix();
         gfx::ortho(0, 10, 0, 10, -1, 1);
         modelview();
         gfx::popMatrix();
         gfx::scalef(2, 2, 2);
     }},
    {"a stack popped once too often",
     [] {
         gfx::translatef(4, 5, 6);
         gfx::popMatrix();
     }},
    {"a stack pushed past its depth",
     [] {
         for (int i = 0; i < 40; ++i) {
             gfx::pushMatrix();
             gfx::translatef(1, 0, 0);
         }
     }},
    {"load identity after all",
     [] {
         gfx::rotatef(10, 1, 1, 1);
         gfx::loadIdentity();
     }},
};

}  // namespace

TEST(Matrices, EverySequenceLeavesTheDriversMatricesAndErrors) {
    for (const Sequence& sequence : kSequences) {
        const State reference = run(gfx::RendererKind::kGl11, sequence);
        const State gles3 = run(gfx::RendererKind::kGles3, sequence);
        EXPECT_EQ(differences(reference.modelview, gles3.modelview), "") << sequence.name << ": model-view";
        EXPECT_EQ(differences(reference.projection, gles3.projection), "") << sequence.name << ": projection";
        EXPECT_EQ(reference.errors, gles3.errors) << sequence.name;
    }
}

// The comparison itself must see a matrix one float step off.
TEST(Matrices, TheComparisonSeesOneStep) {
    Matrix a{};
    Matrix b{};
    b[5] = std::nextafter(0.0f, 1.0f);
    EXPECT_NE(differences(a, b), "");
    a[3] = b[3] = std::nanf("");
    b[5] = 0.0f;
    EXPECT_EQ(differences(a, b), "");
}
