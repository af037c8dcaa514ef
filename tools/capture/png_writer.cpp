// PNG frames through FFmpeg's PNG encoder, RGB24, right side up.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>

#include "base/av_util.h"
#include "base/report.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/staged_output.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

namespace {

class PngEncoder {
public:
    bool open(int width, int height, std::string& error) {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
        if (codec == nullptr) {
            error = "this FFmpeg has no PNG encoder";
            return false;
        }
        context_.reset(avcodec_alloc_context3(codec));
        frame_.reset(av_frame_alloc());
        packet_.reset(av_packet_alloc());
        if (!context_ || !frame_ || !packet_) {
            error = "out of memory for the PNG encoder";
            return false;
        }
        context_->width = width;
        context_->height = height;
        context_->pix_fmt = AV_PIX_FMT_RGB24;
        context_->time_base = {1, 1};
        // The fastest deflate with the cheapest row filter: a third of the default's time for
        // files a sixth larger, so that writing keeps up with rendering.
        context_->compression_level = 1;
        AVDictionary* options = nullptr;
        av_dict_set(&options, "pred", "sub", 0);
        const int opened = avcodec_open2(context_.get(), codec, &options);
        av_dict_free(&options);
        if (const int result = opened; result < 0) {
            error = "cannot start the PNG encoder: " + avErrorText(result);
            return false;
        }
        frame_->width = width;
        frame_->height = height;
        frame_->format = AV_PIX_FMT_RGB24;
        if (const int result = av_frame_get_buffer(frame_.get(), 0); result < 0) {
            error = "out of memory for a frame: " + avErrorText(result);
            return false;
        }
        return true;
    }

    // The PNG of a GL read-back: rows turned right side up.
    bool encode(const CapturedFrame& frame, std::string& error) {
        if (const int result = av_frame_make_writable(frame_.get()); result < 0) {
            error = "out of memory for a frame: " + avErrorText(result);
            return false;
        }
        const auto rowBytes = static_cast<std::size_t>(context_->width) * 3;
        const auto height = static_cast<std::size_t>(context_->height);
        for (std::size_t y = 0; y < height; ++y)
            std::memcpy(frame_->data[0] + static_cast<std::ptrdiff_t>(y) * frame_->linesize[0],
                        &frame.pixels[(height - 1 - y) * rowBytes], rowBytes);
        frame_->pts = frame.number;
        int result = avcodec_send_frame(context_.get(), frame_.get());
        if (result >= 0) result = avcodec_receive_packet(context_.get(), packet_.get());
        if (result < 0) {
            error = "cannot encode frame " + std::to_string(frame.number) + " as PNG: " + avErrorText(result);
            return false;
        }
        return true;
    }

    const AVPacket& packet() const { return *packet_; }
    void done() { av_packet_unref(packet_.get()); }

private:
    AvCodecContextPtr context_;
    AvFramePtr frame_;
    AvPacketPtr packet_;
};

// Writes the packet to `path`; messages name `shownAs`, the file the user will look for.
bool writeWhole(const std::filesystem::path& path, const std::filesystem::path& shownAs, const AVPacket& packet,
                std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + shownAs.string() + ": " + errnoText(errno);
        return false;
    }
    const auto size = static_cast<std::size_t>(packet.size);
    bool ok = std::fwrite(packet.data, 1, size, file) == size;
    int failure = ok ? 0 : errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (!ok) error = "cannot write " + shownAs.string() + ": " + errnoText(failure != 0 ? failure : EIO);
    return ok;
}

class PngFolderWriter : public FrameWriter {
public:
    PngFolderWriter(std::filesystem::path target, std::unique_ptr<StagedFolder> folder, PngEncoder encoder,
                    bool segment)
        : target_(std::move(target)), folder_(std::move(folder)), encoder_(std::move(encoder)), segment_(segment) {}

    PixelOrder pixelOrder() const override { return PixelOrder::kRgb; }

    bool write(const CapturedFrame& frame, std::string& error) override {
        if (!encoder_.encode(frame, error)) return false;
        const std::string name = pngFrameName(frame.number);
        const bool ok = writeWhole(folder_->staged(name), target_ / name, encoder_.packet(), error);
        encoder_.done();
        if (ok) {
            names_.push_back(name);
            last_ = frame.number;
        }
        return ok;
    }

    // A folder used again keeps no frames of a longer earlier capture after this one's last,
    // which would read as part of it; earlier frames stay, so captures of consecutive spans
    // fill one folder. Frames after a segment's are other segments' own.
    bool finish(std::string& error) override {
        if (!folder_->commit(names_, error)) return false;
        if (segment_) return true;
        if (const std::string kept = removeFramesAfter(target_, last_); !kept.empty())
            base::report(base::Level::kWarning, kept);
        return true;
    }

private:
    std::filesystem::path target_;
    std::unique_ptr<StagedFolder> folder_;
    PngEncoder encoder_;
    std::vector<std::string> names_;
    std::int64_t last_ = -1;
    bool segment_ = false;
};

class PngFileWriter : public FrameWriter {
public:
    PngFileWriter(std::filesystem::path target, std::unique_ptr<StagedFile> file, PngEncoder encoder)
        : target_(std::move(target)), file_(std::move(file)), encoder_(std::move(encoder)) {}

    PixelOrder pixelOrder() const override { return PixelOrder::kRgb; }

    bool write(const CapturedFrame& frame, std::string& error) override {
        if (written_) {
            error = "a single PNG takes one frame";
            return false;
        }
        if (!encoder_.encode(frame, error)) return false;
        written_ = writeWhole(file_->temporary(), target_, encoder_.packet(), error);
        encoder_.done();
        return written_;
    }

    bool finish(std::string& error) override {
        if (!written_) {
            error = "no frame was captured";
            return false;
        }
        return file_->commit(error);
    }

private:
    std::filesystem::path target_;
    std::unique_ptr<StagedFile> file_;
    PngEncoder encoder_;
    bool written_ = false;
};

}  // namespace

std::string pngFrameName(std::int64_t number) {
    char name[40];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(number));
    return name;
}

std::optional<std::int64_t> pngFrameNumber(const std::string& name) {
    constexpr std::string_view kPrefix = "frame_";
    constexpr std::string_view kSuffix = ".png";
    constexpr std::size_t kLeastDigits = 6;
    if (name.size() < kPrefix.size() + kLeastDigits + kSuffix.size() || name.rfind(kPrefix, 0) != 0 ||
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return std::nullopt;
    const char* first = name.data() + kPrefix.size();
    const char* last = name.data() + name.size() - kSuffix.size();
    if (!std::all_of(first, last, [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    std::int64_t number = 0;
    if (std::from_chars(first, last, number).ec != std::errc()) return std::nullopt;
    // Only the spelling pngFrameName gives: "frame_0000001.png" is someone else's.
    if (pngFrameName(number) != name) return std::nullopt;
    return number;
}

std::string removeFramesAfter(const std::filesystem::path& folder, std::int64_t last) {
    std::error_code ec;
    std::size_t failed = 0;
    std::string reason;
    for (auto entry = std::filesystem::directory_iterator(folder, ec); !ec && entry != std::filesystem::end(entry);
         entry.increment(ec)) {
        const std::string name = entry->path().filename().string();
        const std::optional<std::int64_t> number = pngFrameNumber(name);
        if (!number || *number <= last) continue;
        std::error_code problem;
        if (entry->is_regular_file(problem))
            std::filesystem::remove(entry->path(), problem);
        else if (!problem)
            problem = std::make_error_code(std::errc::is_a_directory);
        if (problem) {
            ++failed;
            if (reason.empty()) reason = errnoText(problem.value());
        }
    }
    if (ec) return "cannot look for frames of an earlier capture in " + folder.string() + ": " + errnoText(ec.value());
    if (failed == 0) return {};
    return std::to_string(failed) + (failed == 1 ? " frame" : " frames") + " of an earlier capture after " +
           pngFrameName(last) + (failed == 1 ? " stays in " : " stay in ") + folder.string() + ": " + reason;
}

std::unique_ptr<FrameWriter> openPngWriter(const WriterSettings& settings, std::string& error) {
    PngEncoder encoder;
    if (settings.kind == OutputKind::kPngFolder) {
        auto folder = StagedFolder::create(settings.output, error);
        if (!folder || !encoder.open(settings.width, settings.height, error)) return nullptr;
        return std::make_unique<PngFolderWriter>(settings.output, std::move(folder), std::move(encoder),
                                                 settings.segment.has_value());
    }
    auto file = StagedFile::create(settings.output, error);
    if (!file || !encoder.open(settings.width, settings.height, error)) return nullptr;
    return std::make_unique<PngFileWriter>(settings.output, std::move(file), std::move(encoder));
}

std::unique_ptr<FrameWriter> openFrameWriter(const WriterSettings& settings, std::string& error) {
    return isVideo(settings.kind) ? openMediaWriter(settings, error) : openPngWriter(settings, error);
}
