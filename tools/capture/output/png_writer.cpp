#include "tools/capture/output/png_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/av_util.h"
#include "base/report.h"
#include "tools/capture/output/png_frames.h"
#include "tools/capture/output/staged_output.h"
#include "tools/capture/output/system_errors.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
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
        error = cannotWrite(shownAs, errno);
        return false;
    }
    const auto size = static_cast<std::size_t>(packet.size);
    bool ok = std::fwrite(packet.data, 1, size, file) == size;
    int failure = ok ? 0 : errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (!ok) error = cannotWrite(shownAs, failure != 0 ? failure : EIO);
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

bool pngWriterTakes(int width, int height) {
    const int level = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);  // it would also say so in its own words
    const bool fits = av_image_check_size(static_cast<unsigned>(width), static_cast<unsigned>(height), 0, nullptr) == 0;
    av_log_set_level(level);
    return fits;
}
