#include "demo/offscreen_show.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <system_error>

#include "base/report.h"
#include "demo/data_folder.h"
#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "demo/timeline.h"
#include "gfx/gfx.h"
#include "gfx/renderer.h"
#include "platform/clock.h"
#include "platform/gl_context.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "shell/app_window.h"
#include "shell/gl_window.h"
#include "sound/sound_library.h"

namespace fs = std::filesystem;

namespace {

// The show writes "log.htm" where it runs: a private folder, gone with the show.
bool enterWorkFolder(fs::path& previous, fs::path& folder, std::string& error) {
    std::error_code ec;
    previous = fs::current_path(ec);
    std::string pattern = (fs::temp_directory_path(ec) / "oyun-show-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        error = "cannot make a working folder in " + fs::temp_directory_path(ec).string();
        return false;
    }
    folder = pattern;
    fs::current_path(folder, ec);
    if (ec) {
        error = "cannot prepare a working folder: " + ec.message();
        fs::remove_all(folder, ec);
        return false;
    }
    return true;
}

}  // namespace

struct OffscreenShow::State {
    fs::path previousFolder;
    fs::path workFolder;
    WindowClassInfo windowClass{platform::currentInstance(), "OpenGL"};
    bool classRegistered = false;
    KeyState keys{};
    AppWindow window{};
    bool windowOpen = false;
    bool demoSetUp = false;
    std::string firstBox;
    std::uint32_t lastTick = 0;
    ViewFrame frame;
    std::unique_ptr<base::ScopedReportSink> reports;

    bool frameFillsWindow() const {
        return frame.x == 0 && frame.y == 0 && frame.width == window.width && frame.height == window.height;
    }

    ~State() {
        if (demoSetUp) deinitialiseDemo();
        if (windowOpen) closeAppWindow(&window);
        if (classRegistered) platform::unregisterWindowClass(windowClass.className, windowClass.instance);
        platform::useRealClock();
        useShowOptions({});
        gfx::useRenderer(gfx::RendererKind::kGl11);
        std::error_code ec;
        if (!previousFolder.empty()) fs::current_path(previousFolder, ec);
        if (!workFolder.empty()) fs::remove_all(workFolder, ec);
    }
};

OffscreenShow::OffscreenShow(std::unique_ptr<State> state) : state_(std::move(state)) {}
OffscreenShow::~OffscreenShow() = default;

std::unique_ptr<OffscreenShow> OffscreenShow::open(const OffscreenShowOptions& options, std::string& error) {
    if (options.width < 1 || options.height < 1 || options.width > 16384 || options.height > 16384) {
        error = "the size must be between 1x1 and 16384x16384";
        return nullptr;
    }
    std::error_code ec;
    if (!fs::is_directory(options.dataDir, ec)) {
        error = "no data folder at " + options.dataDir.string();
        return nullptr;
    }
    for (const char* name : kShowDataFiles) {
        if (!fs::is_regular_file(options.dataDir / name, ec)) {
            error = "the data folder " + options.dataDir.string() + " has no " + name;
            return nullptr;
        }
    }
    if (!platform::useOffscreenVideo()) {
        error = "no offscreen OpenGL (SDL's offscreen driver would not start)";
        return nullptr;
    }

    auto state = std::make_unique<State>();
    // Messages name the data files by the caller's own path to them.
    ShowOptions showOptions;
    const ViewFrame frame = fittedFrame(options.width, options.height);
    showOptions.pixelScale = static_cast<float>(frame.height) / 768.0f;
    showOptions.dataFolder = fs::absolute(options.dataDir, ec).lexically_normal().string();
    if (!showOptions.dataFolder.empty() && showOptions.dataFolder.back() == '/') showOptions.dataFolder.pop_back();
    useShowOptions(showOptions);
    if (!enterWorkFolder(state->previousFolder, state->workFolder, error)) return nullptr;
    State& s = *state;
    // Loaders report through message boxes; the first one names what is wrong. Other
    // reports pass through.
    s.reports = std::make_unique<base::ScopedReportSink>([&s](const base::Report& entry) {
        if (!entry.box)
            s.reports->forward(entry);
        else if (s.firstBox.empty())
            s.firstBox = entry.caption + ": " + entry.text;
    });
    platform::useVirtualClock(0);
    sound::useOfflineOutput();
    // As in a fresh process, so that a second show in the same one draws the same frames.
    seedDemoRandom(1);

    if (!registerAppClass(&s.windowClass)) {
        error = "cannot register the window class";
        return nullptr;
    }
    s.classRegistered = true;
    s.window.keyState = &s.keys;
    s.window.classInfo = &s.windowClass;
    s.window.caption = "Oyun motorum";
    s.window.width = options.width;
    s.window.height = options.height;
    s.window.colourBits = 32;
    s.window.fullScreen = 0;
    programRunning = 1;
    gfx::useRenderer(options.renderer);
    if (!openAppWindow(&s.window)) {
        error = s.window.rendererError.empty() ? "cannot open an offscreen OpenGL window" : s.window.rendererError;
        return nullptr;
    }
    s.windowOpen = true;
    s.frame = frame;
    frameView(s.frame);
    s.demoSetUp = initialiseDemo(&s.window, &s.keys);
    if (!s.demoSetUp || !s.firstBox.empty()) {
        error = "the show cannot be set up from " + options.dataDir.string() +
                (s.firstBox.empty() ? std::string() : " (" + s.firstBox + ")");
        for (char& c : error)
            if (c == '\n') c = ' ';
        return nullptr;
    }
    if (!soundSystem.isPlaying(kMusicRecord)) {
        error = "the music in " + (options.dataDir / "music.wma").string() + " cannot be played";
        return nullptr;
    }
    return std::unique_ptr<OffscreenShow>(new OffscreenShow(std::move(state)));
}

int OffscreenShow::width() const { return state_->window.width; }
int OffscreenShow::height() const { return state_->window.height; }

bool OffscreenShow::update(std::uint32_t tick) {
    State& s = *state_;
    // Messages the window posted to itself (its first size, a quit) are taken as the shell would.
    platform::Message message;
    bool dispatched = false;
    while (platform::peekMessage(message, s.window.windowHandle)) {
        if (message.message == platform::WM_QUIT) return false;
        platform::dispatchMessage(message);
        dispatched = true;
    }
    // A size message gives the whole client the window's view; the picture keeps its frame.
    if (dispatched) frameView(s.frame);
    if (programRunning != 1) return false;
    platform::setVirtualTick(tick);
    updateDemo(tick - s.lastTick);
    s.lastTick = tick;
    return programRunning == 1;
}

void OffscreenShow::draw() {
    drawDemo();
    const State& s = *state_;
    if (s.frameFillsWindow()) return;
    // The show clears the whole client; outside its frame the picture is black.
    float clearColour[4];
    int scissor[4];
    gfx::getFloatv(gfx::kColorClearValue, clearColour);
    gfx::getIntegerv(gfx::kScissorBox, scissor);
    gfx::clearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gfx::enable(gfx::kScissorTest);
    const int right = s.frame.x + s.frame.width;
    const int top = s.frame.y + s.frame.height;
    const ViewFrame outside[] = {
        {0, 0, s.frame.x, s.window.height},
        {right, 0, s.window.width - right, s.window.height},
        {0, 0, s.window.width, s.frame.y},
        {0, top, s.window.width, s.window.height - top},
    };
    for (const ViewFrame& part : outside) {
        if (part.width < 1 || part.height < 1) continue;
        gfx::scissor(part.x, part.y, part.width, part.height);
        gfx::clear(gfx::kColorBufferBit);
    }
    gfx::disable(gfx::kScissorTest);
    gfx::scissor(scissor[0], scissor[1], scissor[2], scissor[3]);
    gfx::clearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
}

void OffscreenShow::skip() { skipDemoFrame(); }

void OffscreenShow::present() { platform::swapBuffers(state_->window.deviceContext); }

void OffscreenShow::readPixelsBottomUp(PixelOrder order, std::uint8_t* out) const {
    gfx::pixelStorei(gfx::kPackAlignment, 1);
    gfx::readBuffer(gfx::kBack);
    gfx::readPixels(0, 0, width(), height(), order == PixelOrder::kBgr ? gfx::kBgr : gfx::kRgb, gfx::kUnsignedByte,
                    out);
}

void OffscreenShow::readPixels(std::vector<std::uint8_t>& rgb) const {
    const auto rowBytes = static_cast<std::size_t>(width()) * 3;
    const auto rows = static_cast<std::size_t>(height());
    rgb.resize(rowBytes * rows);
    readPixelsBottomUp(PixelOrder::kRgb, rgb.data());
    for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rgb.begin() + static_cast<std::ptrdiff_t>(top * rowBytes),
                         rgb.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowBytes),
                         rgb.begin() + static_cast<std::ptrdiff_t>(bottom * rowBytes));
}
