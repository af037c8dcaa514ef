#include "tests/gfx/renderer_context.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace gfx_test {

RendererContext::RendererContext(gfx::RendererKind kind, int width, int height) : width_(width), height_(height) {
    gfx::useRenderer(kind);
    context_ = std::make_unique<testing_support::GlTestContext>(width, height);
    if (!context_->ok()) return;
    std::string error;
    started_ = gfx::startContext(error);
    if (!started_) ADD_FAILURE() << error;
}

RendererContext::~RendererContext() {
    if (started_) gfx::stopContext();
    context_.reset();
    gfx::useRenderer(gfx::RendererKind::kGl11);
}

std::vector<std::uint8_t> RendererContext::pixels() const { return context_->readPixels(0, 0, width_, height_); }

namespace {

// With OYUN_GFX_DUMP=folder, each picture pair lands there as PPM files for a look.
void dump(const Pictures& pictures, int width, int height) {
    static int serial = 0;
    const char* folder = std::getenv("OYUN_GFX_DUMP");
    if (folder == nullptr) return;
    ++serial;
    for (int which = 0; which < 2; ++which) {
        const std::vector<std::uint8_t>& rgba = which == 0 ? pictures.gl11 : pictures.gles3;
        if (rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) continue;
        const std::string path =
            std::string(folder) + "/" + std::to_string(serial) + (which == 0 ? "-gl11.ppm" : "-gles3.ppm");
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) continue;
        std::fprintf(file, "P6 %d %d 255\n", width, height);
        for (int y = height - 1; y >= 0; --y)
            for (int x = 0; x < width; ++x)
                std::fwrite(&rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x)) *
                                  4],
                            1, 3, file);
        std::fclose(file);
    }
}

}  // namespace

Pictures drawBoth(int width, int height, const std::function<void()>& draw) {
    return drawBoth(width, height, [&draw](RendererContext&) { draw(); });
}

Pictures drawBoth(int width, int height, const std::function<void(RendererContext&)>& draw) {
    Pictures pictures;
    for (const gfx::RendererKind kind : {gfx::RendererKind::kGl11, gfx::RendererKind::kGles3}) {
        RendererContext context(kind, width, height);
        if (!context.ok()) {
            ADD_FAILURE() << "no context for " << gfx::rendererName(kind);
            continue;
        }
        draw(context);
        (kind == gfx::RendererKind::kGl11 ? pictures.gl11 : pictures.gles3) = context.pixels();
    }
    dump(pictures, width, height);
    return pictures;
}

Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    Difference d;
    if (a.size() != b.size()) return {-1, 255};
    for (std::size_t i = 0; i < a.size(); i += 4) {
        int worst = 0;
        for (std::size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int{a[i + c]} - int{b[i + c]}));
        if (worst > 0) ++d.pixels;
        d.largest = std::max(d.largest, worst);
    }
    return d;
}

int pixelsNot(const std::vector<std::uint8_t>& rgba, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    int n = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] != r || rgba[i + 1] != g || rgba[i + 2] != b) ++n;
    return n;
}

}  // namespace gfx_test
