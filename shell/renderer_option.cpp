// The renderer's name on the command line, checked against the renderers gfx knows.
#include "shell/renderer_option.h"

#include <string>

CLI::Option* addRendererOption(CLI::App& app, gfx::RendererKind& kind) {
    const CLI::Validator known(
        [](std::string& name) -> std::string {
            gfx::RendererKind parsed;
            if (gfx::parseRendererName(name, parsed)) return {};
            return "unknown renderer \"" + name + "\" (gl11 or gles3)";
        },
        "", "renderer name");
    return app
        .add_option_function<std::string>(
            "--renderer", [&kind](const std::string& name) { gfx::parseRendererName(name, kind); },
            "Draw with gl11 (fixed-function OpenGL, the default) or gles3 (OpenGL ES 3.0)")
        ->type_name("NAME")
        ->check(known);
}
