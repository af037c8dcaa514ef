// The glyph file's layout, all numbers little-endian:
//   "OYUNGLYF", version (u32, 1), font count (u32), then per font:
//   face name length (u16) and bytes, height (i32), weight (i32), italic (u8), first code (u32),
//   glyph count (u32), then per glyph: rendered (u8) and, when 1, width and rows (u16 each),
//   x and y origin, x and y move (f32 each) and rows * ((width + 7) / 8) bytes of bits.
#include "platform/glyph_file.h"

#include <cstring>

namespace platform {

namespace {

constexpr char kMagic[8] = {'O', 'Y', 'U', 'N', 'G', 'L', 'Y', 'F'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kMaxNameBytes = 256;
constexpr std::uint32_t kMaxFonts = 64;

class Writer {
public:
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        out_.insert(out_.end(), p, p + size);
    }
    void u8(std::uint32_t value) { out_.push_back(static_cast<std::uint8_t>(value)); }
    void u16(std::uint32_t value) {
        for (int i = 0; i < 2; ++i) u8((value >> (8 * i)) & 0xFF);
    }
    void u32(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) u8((value >> (8 * i)) & 0xFF);
    }
    void f32(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    std::vector<std::uint8_t> take() { return std::move(out_); }

private:
    std::vector<std::uint8_t> out_;
};

// Reads from a bounded buffer; any read past its end makes the reader fail for good.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return left_ == 0; }
    std::size_t left() const { return left_; }
    const std::uint8_t* take(std::size_t size) {
        if (!ok_ || size > left_) {
            ok_ = false;
            return nullptr;
        }
        const std::uint8_t* at = data_;
        data_ += size;
        left_ -= size;
        return at;
    }
    std::uint32_t unsignedValue(std::size_t size) {
        const std::uint8_t* at = take(size);
        std::uint32_t value = 0;
        for (std::size_t i = 0; at != nullptr && i < size; ++i) value |= std::uint32_t{at[i]} << (8 * i);
        return value;
    }
    std::uint32_t u8() { return unsignedValue(1); }
    std::uint32_t u16() { return unsignedValue(2); }
    std::uint32_t u32() { return unsignedValue(4); }
    float f32() {
        const std::uint32_t bits = u32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t left_;
    bool ok_ = true;
};

std::size_t bitsSize(int width, int rows) {
    return static_cast<std::size_t>((width + 7) / 8) * static_cast<std::size_t>(rows);
}

void writeGlyph(Writer& out, const GlyphBitmap& glyph) {
    out.u8(glyph.rendered ? 1 : 0);
    if (!glyph.rendered) return;
    out.u16(static_cast<std::uint32_t>(glyph.width));
    out.u16(static_cast<std::uint32_t>(glyph.rows));
    for (float value : {glyph.xOrigin, glyph.yOrigin, glyph.xMove, glyph.yMove}) out.f32(value);
    std::vector<std::uint8_t> bits = glyph.bits;
    bits.resize(bitsSize(glyph.width, glyph.rows), 0);
    out.bytes(bits.data(), bits.size());
}

bool readGlyph(Reader& in, GlyphBitmap& glyph, std::string& error) {
    const std::uint32_t rendered = in.u8();
    if (rendered > 1) {
        error = "a glyph's rendered flag is neither 0 nor 1";
        return false;
    }
    glyph.rendered = rendered == 1;
    if (!glyph.rendered) return in.ok();
    glyph.width = static_cast<int>(in.u16());
    glyph.rows = static_cast<int>(in.u16());
    if (glyph.width > kGlyphFileMaxSide || glyph.rows > kGlyphFileMaxSide) {
        error = "a glyph is larger than " + std::to_string(kGlyphFileMaxSide) + " pixels";
        return false;
    }
    glyph.xOrigin = in.f32();
    glyph.yOrigin = in.f32();
    glyph.xMove = in.f32();
    glyph.yMove = in.f32();
    const std::size_t size = bitsSize(glyph.width, glyph.rows);
    const std::uint8_t* bits = in.take(size);
    if (bits != nullptr) glyph.bits.assign(bits, bits + size);
    return in.ok();
}

bool readFont(Reader& in, GlyphFont& font, std::string& error) {
    const std::uint32_t nameBytes = in.u16();
    if (nameBytes > kMaxNameBytes) {
        error = "a face name is longer than " + std::to_string(kMaxNameBytes) + " bytes";
        return false;
    }
    const std::uint8_t* name = in.take(nameBytes);
    if (name != nullptr) font.faceName.assign(reinterpret_cast<const char*>(name), nameBytes);
    font.height = static_cast<std::int32_t>(in.u32());
    font.weight = static_cast<std::int32_t>(in.u32());
    const std::uint32_t italic = in.u8();
    font.first = in.u32();
    const std::uint32_t count = in.u32();
    if (!in.ok()) return false;
    // Every glyph takes at least its flag byte: a count beyond the bytes left is a lie.
    if (italic > 1 || count > kGlyphFileMaxGlyphs || count > in.left()) {
        error = "a font's header is out of range";
        return false;
    }
    font.italic = italic == 1;
    font.glyphs.resize(count);
    for (GlyphBitmap& glyph : font.glyphs) {
        if (!readGlyph(in, glyph, error)) return false;
    }
    return true;
}

bool sameFace(const std::string& a, const char* b) {
    if (b == nullptr || a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> encodeGlyphFile(const std::vector<GlyphFont>& fonts) {
    Writer out;
    out.bytes(kMagic, sizeof kMagic);
    out.u32(kVersion);
    out.u32(static_cast<std::uint32_t>(fonts.size()));
    for (const GlyphFont& font : fonts) {
        const std::string name = font.faceName.substr(0, kMaxNameBytes);
        out.u16(static_cast<std::uint32_t>(name.size()));
        out.bytes(name.data(), name.size());
        out.u32(static_cast<std::uint32_t>(font.height));
        out.u32(static_cast<std::uint32_t>(font.weight));
        out.u8(font.italic ? 1 : 0);
        out.u32(font.first);
        out.u32(static_cast<std::uint32_t>(font.glyphs.size()));
        for (const GlyphBitmap& glyph : font.glyphs) writeGlyph(out, glyph);
    }
    return out.take();
}

bool decodeGlyphFile(const std::uint8_t* data, std::size_t size, std::vector<GlyphFont>& fonts, std::string& error) {
    fonts.clear();
    error.clear();
    Reader in(data, size);
    const std::uint8_t* magic = in.take(sizeof kMagic);
    if (magic == nullptr || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        error = "not a glyph file";
        return false;
    }
    const std::uint32_t version = in.u32();
    const std::uint32_t count = in.u32();
    if (in.ok() && version != kVersion) {
        error = "glyph file version " + std::to_string(version) + " (this program reads version 1)";
        return false;
    }
    if (in.ok() && count > kMaxFonts) {
        error = "more than " + std::to_string(kMaxFonts) + " fonts";
        return false;
    }
    std::vector<GlyphFont> read(in.ok() ? count : 0);
    for (GlyphFont& font : read) {
        if (!readFont(in, font, error)) break;
    }
    if (error.empty() && !in.ok()) error = "the glyph file is cut short";
    if (error.empty() && !in.atEnd()) error = "the glyph file has bytes after its last font";
    if (!error.empty()) return false;
    fonts = std::move(read);
    return true;
}

const GlyphFont* findGlyphFont(const std::vector<GlyphFont>& fonts, const char* faceName, int height, int weight,
                               bool italic) {
    const int resolvedHeight = height == 0 ? -12 : height;
    const bool bold = weight >= FW_BOLD;
    for (const GlyphFont& font : fonts) {
        const int fontHeight = font.height == 0 ? -12 : font.height;
        if (sameFace(font.faceName, faceName) && fontHeight == resolvedHeight && (font.weight >= FW_BOLD) == bold &&
            font.italic == italic)
            return &font;
    }
    return nullptr;
}

}  // namespace platform
