#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/image_plugin.h"
#include "gfx/susie_load.h"
#include "platform/headless/headless_host.h"
#include "platform/media/image_decode.h"
#include "platform/png_io.h"
#include "../support/scratch_game.h"

namespace qf {
namespace {

const std::string kPictures = std::string(QF_SOURCE_DIR) + "/tests/games/susie-formats/";

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The decoded rows turned top-down and unpadded, as the PNG reader gives them.
std::vector<uint8_t> topDown(const DecodedImage& image) {
    std::vector<uint8_t> out;
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.rows.data() + size_t(y) * image.stride;
        out.insert(out.end(), row, row + image.width * 3);
    }
    return out;
}

struct Reference {
    std::vector<uint8_t> bgr;
    int width = 0, height = 0;
    Reference() { readPngBgr(kPictures + "picture.png", bgr, width, height); }
};

TEST(ImageDecode, LosslessFormatsGiveThePngsPixelsBottomUpAndPadded) {
    Reference png;
    ASSERT_EQ(png.width, 37);  // 111 bytes a row: one byte of padding
    for (const char* name : {"picture.png", "picture.gif", "picture.tga"}) {
        std::vector<uint8_t> bytes = readBytes(kPictures + name);
        DecodedImage image;
        std::string error;
        ASSERT_TRUE(decodeImage(bytes.data(), bytes.size(), image, error)) << name << error;
        EXPECT_EQ(image.width, png.width) << name;
        EXPECT_EQ(image.height, png.height) << name;
        EXPECT_EQ(image.stride, 112) << name;
        EXPECT_EQ(image.rows.size(), size_t(112 * png.height)) << name;
        EXPECT_TRUE(topDown(image) == png.bgr) << name;
    }
}

TEST(ImageDecode, JpegStaysCloseToItsSource) {
    Reference png;
    std::vector<uint8_t> bytes = readBytes(std::string(QF_SOURCE_DIR) + "/tests/games/susie-jpeg/picture.jpg");
    DecodedImage image;
    std::string error;
    ASSERT_TRUE(decodeImage(bytes.data(), bytes.size(), image, error)) << error;
    ASSERT_EQ(image.width, png.width);
    ASSERT_EQ(image.height, png.height);
    std::vector<uint8_t> got = topDown(image);
    long total = 0;
    for (size_t i = 0; i < got.size(); ++i) total += std::abs(int(got[i]) - int(png.bgr[i]));
    EXPECT_LT(double(total) / double(got.size()), 12.0);
}

// A picture header announcing w × h, with nothing behind it.
std::vector<uint8_t> headerOnly(ImageFormat format, uint32_t w, uint32_t h) {
    std::vector<uint8_t> b;
    switch (format) {
    case ImageFormat::Png:
        b = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        for (uint32_t v : {w, h})
            for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(v >> s));
        b.insert(b.end(), {8, 2, 0, 0, 0, 0, 0, 0, 0});
        break;
    case ImageFormat::Gif:
        b = {'G', 'I', 'F', '8', '9', 'a', uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 0, 0, 0, ';'};
        break;
    case ImageFormat::Tga:
        b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 24, 0};
        break;
    case ImageFormat::Jpeg:
        b = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0, 0xFF, 0xC0, 0, 11, 8, uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8),
             uint8_t(w), 1, 1, 0x11, 0, 0xFF, 0xD9};
        break;
    default: break;
    }
    return b;
}

TEST(ImageDecode, RefusesOversizedAndBrokenPictures) {
    for (ImageFormat f : {ImageFormat::Png, ImageFormat::Gif, ImageFormat::Tga, ImageFormat::Jpeg}) {
        for (auto [w, h] : {std::pair<uint32_t, uint32_t>{32768, 2}, {2, 40000}, {20000, 20000}}) {
            std::vector<uint8_t> b = headerOnly(f, w, h);
            ASSERT_EQ(sniffImageFormat(b.data(), b.size()), f);
            DecodedImage image;
            std::string error;
            EXPECT_FALSE(decodeImage(b.data(), b.size(), image, error)) << int(f) << " " << w << "x" << h;
            EXPECT_EQ(error, "は画像が大きすぎます") << int(f) << " " << w << "x" << h;
            EXPECT_TRUE(image.rows.empty());
        }
        // A plausible size with no picture data behind it.
        std::vector<uint8_t> b = headerOnly(f, 8, 8);
        DecodedImage image;
        std::string error;
        EXPECT_FALSE(decodeImage(b.data(), b.size(), image, error)) << int(f);
        EXPECT_FALSE(error.empty());
    }
    // Every cut of a good PNG before its closing chunk fails cleanly.
    std::vector<uint8_t> png = readBytes(kPictures + "picture.png");
    for (size_t n = 0; n + 12 < png.size(); n += 7) {
        DecodedImage image;
        std::string error;
        EXPECT_FALSE(decodeImage(png.data(), n, image, error)) << n;
    }
    const uint8_t text[] = "just some text, not a picture";
    DecodedImage image;
    std::string error;
    EXPECT_FALSE(decodeImage(text, sizeof text, image, error));
    EXPECT_EQ(error, "は読み込めない画像形式です");
}

std::vector<uint8_t> stripes(uint8_t w, std::vector<std::array<uint8_t, 3>> rows) {
    std::vector<uint8_t> b = {'S', 'T', 'R', 'I', 'P', 'E', 'S', '1', w, uint8_t(rows.size())};
    for (auto& c : rows) b.insert(b.end(), c.begin(), c.end());
    return b;
}

int liveBlocks() {
    void* lib = dlopen((std::string(QF_BINARY_DIR) + "/Stripes.so").c_str(), RTLD_NOW);
    if (!lib) return -1;
    auto fn = reinterpret_cast<int (*)()>(dlsym(lib, "stripesLiveBlocks"));
    int n = fn ? fn() : -1;
    dlclose(lib);
    return n;
}

TEST(ImagePlugin, NativePluginServesAndGetsItsBlocksBack) {
    HeadlessHost host;
    PluginPlaces places;
    places.programDir = std::string(QF_BINARY_DIR) + "/";
    std::vector<uint8_t> data = stripes(3, {{255, 0, 0}, {0, 0, 255}});
    {
        ImagePlugin plugin(host, places);
        plugin.Load("Stripes.spi");
        ASSERT_TRUE(plugin.IsNative());
        ASSERT_EQ(plugin.Decode(data.data(), data.size()), 0);
        ASSERT_NE(plugin.Info(), nullptr);
        EXPECT_EQ(plugin.Info()->biWidth, 3);
        EXPECT_EQ(plugin.Info()->biHeight, 2);
        EXPECT_EQ(liveBlocks(), 2);
        // Bottom row first: blue, then red; the first column black.
        const uint8_t* bits = plugin.Bits();
        EXPECT_EQ(bits[3], 255);
        EXPECT_EQ(bits[5], 0);
        EXPECT_EQ(bits[12 + 5], 255);
        EXPECT_EQ(bits[12 + 0] + bits[12 + 1] + bits[12 + 2], 0);
        // Data the plug-in does not read: −1 and no picture; the old blocks are back.
        std::vector<uint8_t> png = readBytes(kPictures + "picture.png");
        EXPECT_EQ(plugin.Decode(png.data(), png.size()), -1);
        EXPECT_EQ(plugin.Info(), nullptr);
        EXPECT_EQ(liveBlocks(), 0);
        ASSERT_EQ(plugin.Decode(data.data(), data.size()), 0);
    }
    EXPECT_EQ(liveBlocks(), 0);

    // A Windows plug-in name that loads nothing: the built-in decoders serve.
    ImagePlugin builtIn(host, places);
    builtIn.Load("ifpng.spi");
    EXPECT_FALSE(builtIn.IsNative());
    std::vector<uint8_t> png = readBytes(kPictures + "picture.png");
    ASSERT_EQ(builtIn.Decode(png.data(), png.size()), 0);
    EXPECT_EQ(builtIn.Info()->biWidth, 37);
    EXPECT_EQ(builtIn.Info()->biSizeImage, 112u * 23u);
    EXPECT_EQ(builtIn.Decode(data.data(), data.size()), -1);
}

TEST(SusieLoad, FillsTheSlotOrLeavesItAsItWas) {
    const std::vector<uint8_t> picture = readBytes(kPictures + "picture.png");
    test::ScratchGame g({{"pic.png", std::string(picture.begin(), picture.end())},
                         {"bad.png", "\x89PNG\r\n\x1a\n broken"}});
    Engine& e = *g.engine;
    S_Dib& slot = *e.pictures.Slot(2);
    SusieLoadResult r = susieLoad(e.pictures, e.plugins.places, "ifpng.spi", "pic.png", 2, 1);
    ASSERT_TRUE(r.decoded);
    EXPECT_EQ(r.width, 37);
    EXPECT_EQ(r.height, 23);
    EXPECT_EQ(r.sizeImage, 112 * 23);
    Reference png;
    ASSERT_EQ(slot.Width(), 37);
    EXPECT_TRUE(std::vector<uint8_t>(slot.m_pBits, slot.m_pBits + png.bgr.size()) == png.bgr);
    // The flag takes the top-left pixel (magenta) as the transparent colour.
    EXPECT_EQ(slot.m_nTransR, 255);
    EXPECT_EQ(slot.m_nTransG, 0);
    EXPECT_EQ(slot.m_nTransB, 255);

    const size_t linesBefore = g.host.logLines().size();
    r = susieLoad(e.pictures, e.plugins.places, "ifpng.spi", "bad.png", 2, 0);
    EXPECT_FALSE(r.decoded);
    EXPECT_EQ(slot.Width(), 37);
    EXPECT_TRUE(std::vector<uint8_t>(slot.m_pBits, slot.m_pBits + png.bgr.size()) == png.bgr);
    ASSERT_EQ(g.host.logLines().size(), linesBefore + 1);
    EXPECT_NE(g.host.logLines().back().find("bad.png"), std::string::npos);

    r = susieLoad(e.pictures, e.plugins.places, "ifpng.spi", "none.png", 2, 0);
    EXPECT_FALSE(r.decoded);
    EXPECT_EQ(slot.Width(), 37);
    ASSERT_EQ(g.host.logLines().size(), linesBefore + 2);
    EXPECT_NE(g.host.logLines().back().find("が見つかりません"), std::string::npos);
}

}  // namespace
}  // namespace qf
