// Text for both hosts: fonts found through fontconfig, glyphs rendered by
// FreeType without anti-aliasing, so every frame with text is repeatable to
// the pixel. Japanese system faces map to IPA Gothic.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/host.h"

namespace qf {

class FreeTypeText {
public:
    FreeTypeText();
    ~FreeTypeText();
    FreeTypeText(const FreeTypeText&) = delete;
    FreeTypeText& operator=(const FreeTypeText&) = delete;

    std::unique_ptr<Font> createFont(const FontDescription& description);
    bool installPrivateFont(const uint8_t* data, size_t size);

    // The font file a face name resolves to (for tests and diagnostics).
    std::string fontFileFor(const std::string& faceSjis);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace qf
