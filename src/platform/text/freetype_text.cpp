#include "platform/text/freetype_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H

#include <iconv.h>

#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

#include "platform/sjis.h"
#include "platform/text/symbol_encoding.h"

namespace qf {

namespace {

constexpr int kDefaultCellHeight = 12;  // what a height of 0 asks for
constexpr size_t kSizedFaceCacheLimit = 48;
constexpr size_t kGlyphCacheBytesLimit = size_t(8) << 20;

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// Faces Japanese games name, and what stands in for them here.
bool isJapaneseSystemFace(const std::string& utf8) {
    static const char* const kFaces[] = {
        "ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "ＭＳ Ｐ明朝", "MS Gothic", "MS PGothic", "MS UI Gothic",
        "MS Mincho", "MS PMincho", "メイリオ", "Meiryo", "ＭＳ ＵＩ ゴシック", "Osaka", "ＭＳゴシック",
    };
    if (utf8.empty()) return true;
    for (const char* face : kFaces)
        if (equalsIgnoringAsciiCase(utf8, face)) return true;
    return false;
}

bool isSjisLeadByte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// One Shift-JIS character code (one byte, or lead << 8 | trail) at a time.
class SjisDecoder {
public:
    SjisDecoder() : cd_(iconv_open("UTF-32LE", "CP932")) {}
    ~SjisDecoder() {
        if (cd_ != invalid()) iconv_close(cd_);
    }
    SjisDecoder(const SjisDecoder&) = delete;
    SjisDecoder& operator=(const SjisDecoder&) = delete;

    // '?' for a code that has no character.
    char32_t decode(uint16_t code) {
        char in[2];
        size_t inLeft = 0;
        if (code > 0xFF) in[inLeft++] = static_cast<char>(code >> 8);
        in[inLeft++] = static_cast<char>(code & 0xFF);
        if (cd_ == invalid()) return code < 0x80 ? code : U'?';
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[8];
        char* src = in;
        char* dst = out;
        size_t outLeft = sizeof out;
        if (iconv(cd_, &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1) || dst - out != 4) return U'?';
        char32_t c;
        std::memcpy(&c, out, 4);
        return c;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t cd_;
};

// Calls f(code) for each character of a Shift-JIS string; a symbol face reads single bytes.
template <class F>
void forEachCode(std::string_view text, bool singleBytes, F&& f) {
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = static_cast<uint8_t>(text[i]);
        if (!singleBytes && isSjisLeadByte(c)) {
            if (i + 1 >= text.size()) return;  // a lead byte without its trail draws nothing
            f(static_cast<uint16_t>(c << 8 | static_cast<uint8_t>(text[++i])));
        } else {
            f(static_cast<uint16_t>(c));
        }
    }
}

struct Glyph {
    int left = 0, top = 0, width = 0, rows = 0, pitch = 0, advance = 0;
    std::vector<uint8_t> bits;  // 1 bit a pixel, rows of `pitch` bytes
};

using FontBytes = std::shared_ptr<const std::vector<uint8_t>>;

// The FreeType library, kept alive by every face made with it, so a font may
// outlive the text object that made it.
struct Library {
    FT_Library handle = nullptr;
    Library() {
        if (FT_Init_FreeType(&handle) != 0) handle = nullptr;
    }
    ~Library() {
        if (handle) FT_Done_FreeType(handle);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
};

// A face opened at one size, with the glyphs rendered so far.
struct SizedFace {
    std::shared_ptr<Library> library;
    FT_Face face = nullptr;
    FontBytes memory;  // kept alive for a face made from memory
    std::shared_ptr<SjisDecoder> decoder;
    bool symbol = false;
    int ascent = 0;
    std::unordered_map<uint16_t, Glyph> glyphs;
    size_t glyphBytes = 0;

    SizedFace() = default;
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;
    ~SizedFace() {
        if (face) FT_Done_Face(face);
    }

    const Glyph& glyphFor(uint16_t code) {
        auto it = glyphs.find(code);
        if (it != glyphs.end()) return it->second;
        if (glyphBytes > kGlyphCacheBytesLimit) {
            glyphs.clear();
            glyphBytes = 0;
        }
        Glyph glyph;
        char32_t c = symbol ? symbolToUnicode(static_cast<uint8_t>(code)) : decoder->decode(code);
        if (c != 0 && FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
            FT_GlyphSlot slot = face->glyph;
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.width = static_cast<int>(slot->bitmap.width);
            glyph.rows = static_cast<int>(slot->bitmap.rows);
            glyph.pitch = slot->bitmap.pitch < 0 ? -slot->bitmap.pitch : slot->bitmap.pitch;
            glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            if (slot->bitmap.buffer)
                glyph.bits.assign(slot->bitmap.buffer,
                                  slot->bitmap.buffer + static_cast<size_t>(glyph.pitch) * static_cast<size_t>(glyph.rows));
            else
                glyph.rows = glyph.width = 0;
        }
        glyphBytes += glyph.bits.size() + sizeof(Glyph);
        return glyphs.emplace(code, std::move(glyph)).first->second;
    }
};

// Sets the face's size for a LOGFONT height; the ascent in pixels goes to `ascent`.
bool sizeFace(FT_Face face, int height, bool cellIsHhea, int& ascent) {
    if (height > kMaxFontPixels) height = kMaxFontPixels;
    if (height < -kMaxFontPixels) height = -kMaxFontPixels;
    if (height == 0) height = kDefaultCellHeight;
    const double upem = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
    double asc = face->ascender, desc = -static_cast<double>(face->descender);
    if (!cellIsHhea) {
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            asc = os2->usWinAscent;
            desc = os2->usWinDescent;
        }
    }
    if (asc + desc <= 0) {
        asc = upem;
        desc = 0;
    }
    long em = height > 0 ? std::lround(height * upem / (asc + desc)) : -height;
    if (em < 1) em = 1;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) {
        if (face->num_fixed_sizes < 1 || FT_Select_Size(face, 0) != 0) return false;
        ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
        return true;
    }
    ascent = static_cast<int>(std::lround(asc * static_cast<double>(em) / upem));
    return true;
}

class FreeTypeFont : public Font {
public:
    explicit FreeTypeFont(std::shared_ptr<SizedFace> face) : face_(std::move(face)) {}

    void draw(PixelTarget& t, int x, int y, std::string_view sjis, uint32_t colour) override {
        if (!t.bits || t.width <= 0 || t.height <= 0) return;
        const uint8_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
        long penX = x;
        const long baseline = static_cast<long>(y) + face_->ascent;
        forEachCode(sjis, face_->symbol, [&](uint16_t code) {
            const Glyph& glyph = face_->glyphFor(code);
            for (int row = 0; row < glyph.rows; ++row) {
                const long py = baseline - glyph.top + row;
                if (py < 0 || py >= t.height) continue;
                uint8_t* line = t.bits + static_cast<size_t>(py) * static_cast<size_t>(t.stride);
                const uint8_t* bits = glyph.bits.data() + static_cast<size_t>(row) * static_cast<size_t>(glyph.pitch);
                for (int col = 0; col < glyph.width; ++col) {
                    if (!(bits[col >> 3] & (0x80 >> (col & 7)))) continue;
                    const long px = penX + glyph.left + col;
                    if (px < 0 || px >= t.width) continue;
                    uint8_t* p = line + px * 3;
                    p[0] = b;
                    p[1] = g;
                    p[2] = r;
                }
            }
            penX += glyph.advance;
        });
    }

    int measure(std::string_view sjis) override {
        int w = 0;
        forEachCode(sjis, face_->symbol, [&](uint16_t code) { w += face_->glyphFor(code).advance; });
        return w;
    }

private:
    std::shared_ptr<SizedFace> face_;
};

std::string utf16BeToUtf8(const uint8_t* p, size_t bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        char32_t c = static_cast<char32_t>(p[i] << 8 | p[i + 1]);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes) {
            char32_t low = static_cast<char32_t>(p[i + 2] << 8 | p[i + 3]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Every family and full name of the face, in every language it carries (UTF-8).
std::vector<std::string> faceNames(FT_Face face) {
    std::vector<std::string> names;
    auto add = [&names](std::string name) {
        if (name.empty()) return;
        for (const std::string& n : names)
            if (n == name) return;
        names.push_back(std::move(name));
    };
    if (face->family_name) add(face->family_name);
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName entry;
        if (FT_Get_Sfnt_Name(face, i, &entry) != 0) continue;
        if (entry.name_id != TT_NAME_ID_FONT_FAMILY && entry.name_id != TT_NAME_ID_FULL_NAME &&
            entry.name_id != TT_NAME_ID_TYPOGRAPHIC_FAMILY)
            continue;
        if (entry.platform_id == TT_PLATFORM_MICROSOFT || entry.platform_id == TT_PLATFORM_APPLE_UNICODE) {
            add(utf16BeToUtf8(entry.string, entry.string_len));
        } else if (entry.platform_id == TT_PLATFORM_MACINTOSH && entry.encoding_id == TT_MAC_ID_JAPANESE) {
            add(sjisToUtf8(std::string_view(reinterpret_cast<const char*>(entry.string), entry.string_len)));
        } else if (entry.platform_id == TT_PLATFORM_MACINTOSH && entry.encoding_id == TT_MAC_ID_ROMAN) {
            std::string ascii;
            for (FT_UInt k = 0; k < entry.string_len; ++k)
                if (entry.string[k] < 0x80) ascii += static_cast<char>(entry.string[k]);
            add(ascii);
        }
    }
    return names;
}

}  // namespace

struct FreeTypeText::Impl {
    std::shared_ptr<Library> libraryHolder = std::make_shared<Library>();
    FT_Library library = libraryHolder->handle;
    std::shared_ptr<SjisDecoder> decoder = std::make_shared<SjisDecoder>();

    struct PrivateFont {
        int handle = 0;
        FontBytes data;
        std::vector<std::string> names;
    };
    std::vector<PrivateFont> privateFonts;
    int nextHandle = 1;

    struct Resolution {
        std::string key;   // the file, or "private:<handle>"
        std::string file;
        FontBytes memory;
        bool standIn = false;
        bool symbol = false;
    };
    std::unordered_map<std::string, Resolution> resolutions;
    std::map<std::pair<std::string, int>, std::shared_ptr<SizedFace>> sizedFaces;


    const Resolution& resolve(const std::string& faceSjis) {
        auto cached = resolutions.find(faceSjis);
        if (cached != resolutions.end()) return cached->second;
        Resolution r;
        const std::string utf8 = sjisToUtf8(faceSjis);
        for (auto it = privateFonts.rbegin(); it != privateFonts.rend() && !r.memory; ++it) {
            for (const std::string& name : it->names) {
                if (!equalsIgnoringAsciiCase(name, utf8)) continue;
                r.memory = it->data;
                r.key = "private:" + std::to_string(it->handle);
                break;
            }
        }
        if (!r.memory) {
            r.symbol = equalsIgnoringAsciiCase(utf8, "symbol");
            r.standIn = r.symbol || isJapaneseSystemFace(utf8);
            r.file = matchFile(r.symbol ? "DejaVu Sans" : r.standIn ? "IPAGothic" : utf8, r.symbol);
            r.key = r.file;
        }
        return resolutions.emplace(faceSjis, std::move(r)).first->second;
    }

    static std::string matchFile(const std::string& family, bool needHeart) {
        FcPattern* pattern = FcPatternCreate();
        if (needHeart) {
            FcCharSet* set = FcCharSetCreate();
            FcCharSetAddChar(set, 0x2665);
            FcPatternAddCharSet(pattern, FC_CHARSET, set);
            FcCharSetDestroy(set);
        }
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        // Unknown faces fall back to a Japanese face rather than to a Latin one.
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("IPAGothic"));
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

    std::shared_ptr<SizedFace> sizedFace(const Resolution& r, int height) {
        const auto key = std::make_pair(r.key, height);
        auto it = sizedFaces.find(key);
        if (it != sizedFaces.end()) return it->second;
        if (sizedFaces.size() >= kSizedFaceCacheLimit) {
            for (auto k = sizedFaces.begin(); k != sizedFaces.end();) k = k->second.use_count() == 1 ? sizedFaces.erase(k) : std::next(k);
            if (sizedFaces.size() >= kSizedFaceCacheLimit) sizedFaces.clear();
        }
        auto face = std::make_shared<SizedFace>();
        face->library = libraryHolder;
        FT_Error error = r.memory ? FT_New_Memory_Face(library, r.memory->data(), static_cast<FT_Long>(r.memory->size()), 0, &face->face)
                                  : FT_New_Face(library, r.file.c_str(), 0, &face->face);
        if (error != 0 || !face->face) {
            face->face = nullptr;
            return nullptr;
        }
        face->memory = r.memory;
        face->decoder = decoder;
        face->symbol = r.symbol;
        if (!sizeFace(face->face, height, r.standIn, face->ascent)) return nullptr;
        sizedFaces.emplace(key, face);
        return face;
    }
};

namespace {
// fontconfig's configuration is process-wide: it is released with the last user.
int fontconfigUsers = 0;
}  // namespace

FreeTypeText::FreeTypeText() : impl_(std::make_unique<Impl>()) {
    if (fontconfigUsers++ == 0) FcInit();
}

FreeTypeText::~FreeTypeText() {
    impl_.reset();
    if (--fontconfigUsers == 0) FcFini();
}

std::string FreeTypeText::fontFileFor(const std::string& faceSjis) {
    const Impl::Resolution& r = impl_->resolve(faceSjis);
    return r.memory ? "<private>" : r.file;
}

std::unique_ptr<Font> FreeTypeText::createFont(const FontDescription& d) {
    if (!impl_->library) return nullptr;
    std::shared_ptr<SizedFace> face = impl_->sizedFace(impl_->resolve(d.faceSjis), d.height);
    if (!face) return nullptr;
    return std::make_unique<FreeTypeFont>(std::move(face));
}

int FreeTypeText::installPrivateFont(const uint8_t* data, size_t size) {
    if (!impl_->library || !data || size == 0) return 0;
    for (const Impl::PrivateFont& f : impl_->privateFonts)
        if (f.data->size() == size && std::memcmp(f.data->data(), data, size) == 0) return f.handle;
    auto bytes = std::make_shared<const std::vector<uint8_t>>(data, data + size);
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(impl_->library, bytes->data(), static_cast<FT_Long>(bytes->size()), 0, &face) != 0) return 0;
    Impl::PrivateFont font;
    font.names = faceNames(face);
    FT_Done_Face(face);
    if (font.names.empty()) return 0;
    font.handle = impl_->nextHandle++;
    font.data = std::move(bytes);
    impl_->privateFonts.push_back(std::move(font));
    impl_->resolutions.clear();
    return impl_->privateFonts.back().handle;
}

void FreeTypeText::removePrivateFont(int handle) {
    auto& fonts = impl_->privateFonts;
    for (auto it = fonts.begin(); it != fonts.end(); ++it) {
        if (it->handle != handle) continue;
        fonts.erase(it);
        impl_->resolutions.clear();
        return;
    }
}

}  // namespace qf
