#include "platform/text/freetype_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <iconv.h>

#include <cstring>
#include <unordered_map>

#include "platform/sjis.h"

namespace qf {

namespace {

// Faces Japanese games name, and what stands in for them here.
const char* substituteFamily(const std::string& utf8) {
    static const char* const kGothic[] = {
        "ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "ＭＳ Ｐ明朝", "MS Gothic", "MS PGothic", "MS UI Gothic",
        "MS Mincho", "MS PMincho", "メイリオ", "Meiryo", "ＭＳ ＵＩ ゴシック", "Osaka", "ＭＳゴシック",
    };
    for (const char* g : kGothic)
        if (utf8 == g) return "IPAGothic";
    if (utf8.empty()) return "IPAGothic";
    return nullptr;
}

std::u32string decodeSjis(std::string_view sjis) {
    std::u32string out;
    iconv_t cd = iconv_open("UTF-32LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char c : sjis) out.push_back(static_cast<unsigned char>(c));
        return out;
    }
    std::vector<char> buffer(sjis.size() * 4 + 8);
    char* src = const_cast<char*>(sjis.data());
    size_t left = sjis.size();
    while (left > 0) {
        char* dst = buffer.data();
        size_t room = buffer.size();
        size_t r = iconv(cd, &src, &left, &dst, &room);
        size_t produced = static_cast<size_t>(dst - buffer.data()) / 4;
        for (size_t i = 0; i < produced; ++i) {
            char32_t c;
            std::memcpy(&c, buffer.data() + i * 4, 4);
            out.push_back(c);
        }
        if (r == static_cast<size_t>(-1) && left > 0) {
            // A byte with no character: shown as '?', and the scan goes on.
            out.push_back(U'?');
            ++src;
            --left;
        }
    }
    iconv_close(cd);
    return out;
}

struct Glyph {
    int left = 0, top = 0, width = 0, rows = 0, pitch = 0, advance = 0;
    std::vector<uint8_t> bits;  // 1 bit a pixel, rows of `pitch` bytes
};

}  // namespace

struct FreeTypeText::Impl {
    FT_Library library = nullptr;
    struct PrivateFont {
        std::vector<uint8_t> data;
        std::string family;
    };
    std::vector<PrivateFont> privateFonts;

    ~Impl() {
        if (library) FT_Done_FreeType(library);
    }

    std::string resolve(const std::string& faceSjis, const uint8_t** memory, size_t* memorySize) {
        std::string utf8 = sjisToUtf8(faceSjis);
        for (auto it = privateFonts.rbegin(); it != privateFonts.rend(); ++it) {
            if (it->family == utf8) {
                *memory = it->data.data();
                *memorySize = it->data.size();
                return {};
            }
        }
        std::string family = utf8;
        if (const char* sub = substituteFamily(utf8)) family = sub;
        FcPattern* pattern = FcPatternCreate();
        if (utf8 == "symbol" || utf8 == "Symbol") {
            FcCharSet* set = FcCharSetCreate();
            FcCharSetAddChar(set, 0x2665);
            FcPatternAddCharSet(pattern, FC_CHARSET, set);
            FcCharSetDestroy(set);
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
        } else {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
            // Unknown faces fall back to a Japanese face rather than to a Latin one.
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("IPAGothic"));
        }
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        std::string file;
        if (match) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) file = reinterpret_cast<char*>(path);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        return file;
    }
};

namespace {

class FreeTypeFont : public Font {
public:
    explicit FreeTypeFont(FT_Face face) : face_(face) {}
    ~FreeTypeFont() override {
        if (face_) FT_Done_Face(face_);
    }

    void draw(PixelTarget& t, int x, int y, std::string_view sjis, uint32_t colour) override {
        if (!face_ || !t.bits) return;
        const uint8_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
        int penX = x;
        const int baseline = y + ascender_;
        for (char32_t c : decodeSjis(sjis)) {
            const Glyph& glyph = glyphFor(c);
            for (int row = 0; row < glyph.rows; ++row) {
                int py = baseline - glyph.top + row;
                if (py < 0 || py >= t.height) continue;
                uint8_t* line = t.bits + static_cast<size_t>(py) * static_cast<size_t>(t.stride);
                for (int col = 0; col < glyph.width; ++col) {
                    if (!(glyph.bits[static_cast<size_t>(row * glyph.pitch + col / 8)] & (0x80 >> (col % 8)))) continue;
                    int px = penX + glyph.left + col;
                    if (px < 0 || px >= t.width) continue;
                    uint8_t* p = line + px * 3;
                    p[0] = b;
                    p[1] = g;
                    p[2] = r;
                }
            }
            penX += glyph.advance;
        }
    }

    int measure(std::string_view sjis) override {
        int w = 0;
        for (char32_t c : decodeSjis(sjis)) w += glyphFor(c).advance;
        return w;
    }

    bool sizeTo(int height) {
        FT_Size_RequestRec request{};
        request.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;  // the height is the character cell, ascent plus descent
        request.height = static_cast<FT_Long>(height > 0 ? height : -height) << 6;
        if (height < 0) request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;  // a negative height is the em size
        if (FT_Request_Size(face_, &request) != 0) return false;
        ascender_ = static_cast<int>((face_->size->metrics.ascender + 63) >> 6);
        return true;
    }

private:
    const Glyph& glyphFor(char32_t c) {
        auto it = cache_.find(c);
        if (it != cache_.end()) return it->second;
        Glyph glyph;
        if (FT_Load_Char(face_, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
            FT_GlyphSlot slot = face_->glyph;
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.width = static_cast<int>(slot->bitmap.width);
            glyph.rows = static_cast<int>(slot->bitmap.rows);
            glyph.pitch = slot->bitmap.pitch < 0 ? -slot->bitmap.pitch : slot->bitmap.pitch;
            glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            glyph.bits.assign(slot->bitmap.buffer, slot->bitmap.buffer + static_cast<size_t>(glyph.pitch) * glyph.rows);
        }
        return cache_.emplace(c, std::move(glyph)).first->second;
    }

    FT_Face face_;
    int ascender_ = 0;
    std::unordered_map<char32_t, Glyph> cache_;
};

}  // namespace

FreeTypeText::FreeTypeText() : impl_(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&impl_->library) != 0) impl_->library = nullptr;
    FcInit();
}

FreeTypeText::~FreeTypeText() = default;

std::string FreeTypeText::fontFileFor(const std::string& faceSjis) {
    const uint8_t* memory = nullptr;
    size_t size = 0;
    std::string file = impl_->resolve(faceSjis, &memory, &size);
    return memory ? "<private>" : file;
}

std::unique_ptr<Font> FreeTypeText::createFont(const FontDescription& d) {
    if (!impl_->library) return nullptr;
    const uint8_t* memory = nullptr;
    size_t size = 0;
    std::string file = impl_->resolve(d.faceSjis, &memory, &size);
    FT_Face face = nullptr;
    FT_Error error = memory ? FT_New_Memory_Face(impl_->library, memory, static_cast<FT_Long>(size), 0, &face)
                            : FT_New_Face(impl_->library, file.c_str(), 0, &face);
    if (error != 0 || !face) return nullptr;
    auto font = std::make_unique<FreeTypeFont>(face);
    if (!font->sizeTo(d.height == 0 ? 10 : d.height)) return nullptr;
    return font;
}

bool FreeTypeText::installPrivateFont(const uint8_t* data, size_t size) {
    if (!impl_->library || !data || size == 0) return false;
    Impl::PrivateFont font;
    font.data.assign(data, data + size);
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(impl_->library, font.data.data(), static_cast<FT_Long>(font.data.size()), 0, &face) != 0) return false;
    font.family = face->family_name ? face->family_name : "";
    FT_Done_Face(face);
    if (font.family.empty()) return false;
    impl_->privateFonts.push_back(std::move(font));
    return true;
}

}  // namespace qf
