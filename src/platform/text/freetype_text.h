// Text for both hosts: fonts found through fontconfig, glyphs rendered by
// FreeType without anti-aliasing, so every frame with text is repeatable to
// the pixel. Japanese system faces map to IPA Gothic, "symbol" to DejaVu Sans.
//
// A font's size follows the Win32 rule for a LOGFONT height: a positive
// height is the character cell, whose em is height × units per em divided by
// the face's Windows ascent plus descent. A stand-in face takes the cell of
// the face it stands for, which for the Japanese system faces is one em.
//
// Sized faces are cached, so changing the size back and forth (as the text
// planes and the flag window do every frame) costs no file parsing.
#pragma once

#include <memory>
#include <string>

#include "platform/host.h"

namespace qf {

class FreeTypeText {
public:
    FreeTypeText();
    ~FreeTypeText();
    FreeTypeText(const FreeTypeText&) = delete;
    FreeTypeText& operator=(const FreeTypeText&) = delete;

    std::unique_ptr<Font> createFont(const FontDescription& description);
    int installPrivateFont(const uint8_t* data, size_t size);
    void removePrivateFont(int handle);

    // The font file a face name resolves to, "<private>" for an installed one
    // (for tests and diagnostics).
    std::string fontFileFor(const std::string& faceSjis);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The largest glyph cell the host renders; taller requests are drawn at this size.
inline constexpr int kMaxFontPixels = 1024;

}  // namespace qf
