// PNG frames through FFmpeg's PNG encoder, RGB24, right side up.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/av_util.h"
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

bool writeWhole(const std::filesystem::path& path, const AVPacket& packet, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path.string() + ": " + errnoText(errno);
        return false;
    }
    const auto size = static_cast<std::size_t>(packet.size);
    bool ok = std::fwrite(packet.data, 1, size, file) == size;
    int failure = ok ? 0 : errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (!ok) error = "cannot write " + path.string() + ": " + errnoText(failure != 0 ? failure : EIO);
    return ok;
}

class PngFolderWriter : public FrameWriter {
public:
    PngFolderWriter(std::unique_ptr<StagedFolder> folder, PngEncoder encoder)
        : folder_(std::move(folder)), encoder_(std::move(encoder)) {}

    PixelOrder pixelOrder() const override { return PixelOrder::Rgb; }

    bool write(const CapturedFrame& frame, std::string& error) override {
        if (!encoder_.encode(frame, error)) return false;
        const std::string name = pngFrameName(frame.number);
        const bool ok = writeWhole(folder_->staged(name), encoder_.packet(), error);
        encoder_.done();
        if (ok) names_.push_back(name);
        return ok;
    }

    bool finish(std::string& error) override { return folder_->commit(names_, error); }

private:
    std::unique_ptr<StagedFolder> folder_;
    PngEncoder encoder_;
    std::vector<std::string> names_;
};

class PngFileWriter : public FrameWriter {
public:
    PngFileWriter(std::unique_ptr<StagedFile> file, PngEncoder encoder)
        : file_(std::move(file)), encoder_(std::move(encoder)) {}

    PixelOrder pixelOrder() const override { return PixelOrder::Rgb; }

    bool write(const CapturedFrame& frame, std::string& error) override {
        if (written_) {
            error = "a single PNG takes one frame";
            return false;
        }
        if (!encoder_.encode(frame, error)) return false;
        written_ = writeWhole(file_->temporary(), encoder_.packet(), error);
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

std::unique_ptr<FrameWriter> openPngWriter(const WriterSettings& settings, std::string& error) {
    PngEncoder encoder;
    if (settings.kind == OutputKind::PngFolder) {
        auto folder = StagedFolder::create(settings.output, error);
        if (!folder || !encoder.open(settings.width, settings.height, error)) return nullptr;
        return std::make_unique<PngFolderWriter>(std::move(folder), std::move(encoder));
    }
    auto file = StagedFile::create(settings.output, error);
    if (!file || !encoder.open(settings.width, settings.height, error)) return nullptr;
    return std::make_unique<PngFileWriter>(std::move(file), std::move(encoder));
}

std::unique_ptr<FrameWriter> openFrameWriter(const WriterSettings& settings, std::string& error) {
    return isVideo(settings.kind) ? openMediaWriter(settings, error) : openPngWriter(settings, error);
}
