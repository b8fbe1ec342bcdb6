// Real-world BMP files: the good ones load to their reference pictures, the
// questionable ones load or are refused cleanly, the bad ones are refused
// with a message and leave the slot empty.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "gfx/dib.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

const std::string kSuite = std::string(QF_SOURCE_DIR) + "/tests/data/bmpsuite/";

struct Reference {
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;
};

// The reference picture with its alpha channel (readPngBgr would compose it
// on black), 16-bit channels rounded to 8 bits.
bool readReference(const std::string& name, Reference& ref) {
    std::string path = kSuite + "reference/" + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_read_info(png, info);
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        png_set_bgr(png);
        png_read_update_info(png, info);
        ref.width = int(png_get_image_width(png, info));
        ref.height = int(png_get_image_height(png, info));
        ref.bgra.resize(size_t(ref.width) * ref.height * 4);
        std::vector<png_bytep> rows(size_t(ref.height));
        for (int y = 0; y < ref.height; ++y) rows[size_t(y)] = ref.bgra.data() + size_t(y) * ref.width * 4;
        png_read_image(png, rows.data());
        ok = true;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return ok;
}

// Pixels that differ from the reference; fully transparent reference pixels
// carry no colour and are not compared.
int differences(const S_Dib& dib, const Reference& ref) {
    if (dib.Width() != ref.width || dib.Height() != ref.height) return -1;
    int bad = 0;
    for (int i = 0; i < ref.width * ref.height; ++i) {
        const uint8_t* r = &ref.bgra[size_t(i) * 4];
        const uint8_t* p = dib.m_pBits + size_t(i) * 3;
        if (r[3] != 0 && (p[0] != r[0] || p[1] != r[1] || p[2] != r[2])) ++bad;
    }
    return bad;
}

size_t loadSuiteFile(HeadlessHost& host, S_Dib& dib, const std::string& relative) {
    return dib.LoadFile(host, readResourceFromDisk, kSuite + relative, 0);
}

void expectMatches(const std::string& file, const std::string& reference) {
    HeadlessHost host;
    S_Dib dib;
    ASSERT_GT(loadSuiteFile(host, dib, file), 0u) << file;
    EXPECT_TRUE(host.logLines().empty()) << file;
    Reference ref;
    ASSERT_TRUE(readReference(reference, ref)) << reference;
    EXPECT_EQ(differences(dib, ref), 0) << file << " against " << reference;
}

TEST(BmpSuite, GoodFilesMatchTheirReferences) {
    const std::map<std::string, std::string> good = {
        {"pal1", "pal1"},           {"pal1bg", "pal1bg"},     {"pal1wb", "pal1"},
        {"pal4", "pal4"},           {"pal4gs", "pal4gs"},     {"pal4rle", "pal4"},
        {"pal8-0", "pal8"},         {"pal8", "pal8"},         {"pal8gs", "pal8gs"},
        {"pal8nonsquare", "pal8nonsquare-e"},                 {"pal8os2", "pal8"},
        {"pal8rle", "pal8"},        {"pal8topdown", "pal8"},  {"pal8v4", "pal8"},
        {"pal8v5", "pal8"},         {"pal8w124", "pal8w124"}, {"pal8w125", "pal8w125"},
        {"pal8w126", "pal8w126"},   {"rgb16-565", "rgb16-565"}, {"rgb16-565pal", "rgb16-565"},
        {"rgb16", "rgb16"},         {"rgb16bfdef", "rgb16"},  {"rgb24", "rgb24"},
        {"rgb24pal", "rgb24"},      {"rgb32", "rgb24"},       {"rgb32bf", "rgb24"},
        {"rgb32bfdef", "rgb24"},
    };
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kSuite + "g")) {
        std::string stem = entry.path().stem().string();
        auto it = good.find(stem);
        ASSERT_NE(it, good.end()) << "no reference known for g/" << stem;
        expectMatches("g/" + stem + ".bmp", it->second + ".png");
        ++checked;
    }
    EXPECT_EQ(checked, int(good.size()));
}

TEST(BmpSuite, QuestionableFilesLoadToTheirReferencesOrAreRefused) {
    const std::map<std::string, std::string> loads = {
        {"pal1p1", "pal1p1"},       {"pal2", "pal2"},               {"pal2color", "pal2color"},
        {"pal4rlecut", "pal4rlecut-b"}, {"pal4rletrns", "pal4rletrns-b"}, {"pal8offs", "pal8"},
        {"pal8os2-hs", "pal8"},     {"pal8os2-sz", "pal8"},         {"pal8os2sp", "pal8"},
        {"pal8os2v2-16", "pal8"},   {"pal8os2v2-40sz", "pal8"},     {"pal8os2v2-sz", "pal8"},
        {"pal8os2v2", "pal8"},      {"pal8oversizepal", "pal8"},    {"pal8rlecut", "pal8rlecut-b"},
        {"pal8rletrns", "pal8rletrns-b"}, {"rgb16-231", "rgb16-231"}, {"rgb16-3103", "rgb16-3103"},
        {"rgb16faketrns", "rgb16faketrns"}, {"rgb24largepal", "rgb24"}, {"rgb24lprof", "rgb24"},
        {"rgb24prof", "rgb24"},        {"rgb32-7187", "rgb32-7187"},
        {"rgb32-xbgr", "rgb24"},    {"rgb32fakealpha", "rgb24"},    {"rgb32h52", "rgb24"},
        {"rgba16-1924", "rgba16-1924"}, {"rgba16-4444", "rgba16-4444"}, {"rgba16-5551", "rgba16-5551"},
        {"rgba32-1", "rgba32"},     {"rgba32-1010102", "rgba32-1010102"}, {"rgba32-2", "rgba32"},
        {"rgba32-61754", "rgba32-61754"}, {"rgba32-81284", "rgba32-81284"}, {"rgba32abf", "rgba32"},
        {"rgba32h56", "rgba32"},
    };
    // Colour-managed or without a reference: they load, and are checked only for that.
    const std::vector<std::string> loadsUnchecked = {"rgb24prof2", "rgb32-111110"};
    for (const auto& entry : std::filesystem::directory_iterator(kSuite + "q")) {
        std::string stem = entry.path().stem().string();
        auto it = loads.find(stem);
        if (it != loads.end()) {
            expectMatches("q/" + stem + ".bmp", it->second + ".png");
            continue;
        }
        if (std::find(loadsUnchecked.begin(), loadsUnchecked.end(), stem) != loadsUnchecked.end()) {
            HeadlessHost host;
            S_Dib dib;
            EXPECT_GT(loadSuiteFile(host, dib, "q/" + stem + ".bmp"), 0u) << stem;
            EXPECT_EQ(dib.Width(), 127);
            EXPECT_EQ(dib.Height(), 64);
            continue;
        }
        HeadlessHost host;
        S_Dib dib;
        EXPECT_EQ(loadSuiteFile(host, dib, "q/" + stem + ".bmp"), 0u) << stem;
        EXPECT_FALSE(dib.HasPixels()) << stem;
        EXPECT_EQ(host.logLines().size(), 1u) << stem;
    }
}

TEST(BmpSuite, BadFilesAreRefusedWithAMessage) {
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kSuite + "b")) {
        std::string stem = entry.path().stem().string();
        HeadlessHost host;
        S_Dib dib;
        dib.CreateBlank(2, 2, true);
        EXPECT_EQ(loadSuiteFile(host, dib, "b/" + stem + ".bmp"), 0u) << stem;
        EXPECT_FALSE(dib.HasPixels()) << stem;
        ASSERT_EQ(host.logLines().size(), 1u) << stem;
        const std::string line = host.logLines()[0];
        EXPECT_EQ(line.rfind("dialog\tエラー：S_Dib::LoadFile()\tエラー：S_Dib::LoadFile()\\n", 0), 0u) << line;
        EXPECT_NE(line.find(stem + ".bmp"), std::string::npos) << line;
        ++checked;
    }
    EXPECT_EQ(checked, 20);
}

}  // namespace
}  // namespace qf
