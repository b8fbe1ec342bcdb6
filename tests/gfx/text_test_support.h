// Shared by the text and window tests: a host whose fonts record what they
// are asked to draw, and the comparison of a picture with a reference PNG.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/engine.h"
#include "platform/headless/headless_host.h"
#include "platform/png_io.h"

namespace qf::test {

struct DrawCall {
    int x = 0, y = 0;
    std::string text;  // Shift-JIS
    uint32_t colour = 0;
    int height = 0;
    std::string face;
};

// Fonts that draw nothing and log every call; a character is height / 2 wide.
class RecordingHost : public HeadlessHost {
public:
    std::vector<DrawCall> calls;
    std::vector<FontDescription> created;

    std::unique_ptr<Font> createFont(const FontDescription& d) override {
        created.push_back(d);
        return std::make_unique<RecordingFont>(*this, d);
    }

private:
    class RecordingFont : public Font {
    public:
        RecordingFont(RecordingHost& host, FontDescription d) : host_(host), d_(std::move(d)) {}
        void draw(PixelTarget&, int x, int y, std::string_view sjis, uint32_t colour) override {
            host_.calls.push_back({x, y, std::string(sjis), colour, d_.height, d_.faceSjis});
        }
        int measure(std::string_view sjis) override { return int(sjis.size()) * d_.height / 2; }

    private:
        RecordingHost& host_;
        FontDescription d_;
    };
};

inline std::string referencePath(const std::string& relative) { return std::string(QF_SOURCE_DIR) + "/" + relative; }

// Pixel for pixel against the reference PNG; on a mismatch the actual picture
// and a difference picture (changed pixels white) are written beside the test binary.
inline ::testing::AssertionResult matchesReference(const std::string& relative, const std::vector<uint8_t>& bgr,
                                                   int width, int height) {
    const std::string name = relative.substr(relative.find_last_of('/') + 1);
    std::vector<uint8_t> expected;
    int w = 0, h = 0;
    auto fail = [&](const std::string& why) {
        writePngBgr(name + ".actual.png", bgr.data(), width, height);
        return ::testing::AssertionFailure() << relative << ": " << why << " (actual written to " << name
                                             << ".actual.png)";
    };
    if (!readPngBgr(referencePath(relative), expected, w, h)) return fail("no reference picture");
    if (w != width || h != height)
        return fail("size " + std::to_string(width) + "x" + std::to_string(height) + ", reference " +
                    std::to_string(w) + "x" + std::to_string(h));
    std::vector<uint8_t> diff(bgr.size(), 0);
    size_t differing = 0;
    for (size_t i = 0; i < bgr.size(); i += 3) {
        if (bgr[i] == expected[i] && bgr[i + 1] == expected[i + 1] && bgr[i + 2] == expected[i + 2]) continue;
        ++differing;
        diff[i] = diff[i + 1] = diff[i + 2] = 255;
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    writePngBgr(name + ".diff.png", diff.data(), width, height);
    return fail(std::to_string(differing) + " pixels differ");
}

}  // namespace qf::test
