#include "audio/kpi_player.h"

#include <fcntl.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "audio_test_support.h"
#include "platform/audio/mixer.h"
#include "platform/sjis.h"
#include "script/nil.h"

namespace qf {
namespace {

// A decoder linked into the test: it records what the player asks of it.
struct FakeDecoderLog {
    int inits = 0, deinits = 0, closes = 0;
    std::vector<uint32_t> seeks;
    std::vector<uint32_t> renderSizes;
    std::string openedPath;
    bool memoryOpens = true, fileOpens = true;
    uint32_t renderReturn = 0xFFFFFFFFu;  // all of it
    qf_KpiSoundInfo info{11025, 1, 8, 0, {}};
};
FakeDecoderLog fake;
int fakeSound = 0;

void QF_KPI_CALL fakeInit() { ++fake.inits; }
void QF_KPI_CALL fakeDeinit() { ++fake.deinits; }
qf_KpiHandle QF_KPI_CALL fakeOpen(const char* path, qf_KpiSoundInfo* info) {
    if (!fake.fileOpens) return nullptr;
    fake.openedPath = path;
    *info = fake.info;
    return &fakeSound;
}
qf_KpiHandle QF_KPI_CALL fakeOpenMemory(const uint8_t*, uint32_t, qf_KpiSoundInfo* info) {
    if (!fake.memoryOpens) return nullptr;
    *info = fake.info;
    return &fakeSound;
}
void QF_KPI_CALL fakeClose(qf_KpiHandle) { ++fake.closes; }
uint32_t QF_KPI_CALL fakeRender(qf_KpiHandle, uint8_t* buffer, uint32_t size) {
    fake.renderSizes.push_back(size);
    // Sound all over the block, whatever it says it rendered.
    std::memset(buffer, 0xC0, size);
    return std::min(size, fake.renderReturn);
}
uint32_t QF_KPI_CALL fakeSeek(qf_KpiHandle, uint32_t ms) {
    fake.seeks.push_back(ms);
    return ms;
}
const qf_KpiModule kFakeModule = {1, 1, "", "", nullptr, 0, fakeInit, fakeDeinit, fakeOpen,
                                  fakeOpenMemory, fakeClose, fakeRender, fakeSeek};
const qf_KpiModule* QF_KPI_CALL fakeGetModule() { return &kFakeModule; }
const qf_KpiModule* QF_KPI_CALL noModule() { return nullptr; }

// A scratch game directory whose files the player may open.
struct GameDir {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qf-kpi-" + std::to_string(::getpid()));
    GameDir() { std::filesystem::create_directories(dir); }
    ~GameDir() { std::filesystem::remove_all(dir); }
    void put(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
    int open(const std::string& name) const { return ::open((dir / name).c_str(), O_RDONLY | O_CLOEXEC); }
};

struct Rig {
    test::FakeGame game;
    GameDir files;
    Mixer mixer;
    KpiPlayer kpi{mixer, game.services()};
    std::vector<std::string> loaded;      // library paths asked for
    std::vector<std::string> traces;
    std::vector<int16_t> out;
    // What each library path yields: the fake decoder's entry, none, or a
    // library without the entry.
    std::map<std::string, qf_KpiGetModule_fn> libraries;
    int freed = 0;

    Rig() {
        fake = FakeDecoderLog{};
        kpi.debugTrace = [this](const std::string& caption, const std::string&) { traces.push_back(caption); };
        kpi.setLibraryAccess(KpiLibraryAccess{
            [this](const std::string& name) { return files.open(name); },
            [] { return std::vector<std::string>{"/nowhere/", "/bundled/"}; },
            [this](const std::string& path) -> void* {
                loaded.push_back(path);
                // A game file: known by the name it was opened under.
                std::string key = path;
                if (path.rfind("/proc/self/fd/", 0) == 0) {
                    char target[4096];
                    ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
                    key = n > 0 ? std::filesystem::path(std::string(target, size_t(n))).filename().string() : path;
                }
                auto it = libraries.find(key);
                return it == libraries.end() ? nullptr : reinterpret_cast<void*>(it->second);
            },
            [](void* library, const char* symbol) -> void* {
                if (std::strcmp(symbol, QF_KPI_ENTRY_NAME) != 0 || library == reinterpret_cast<void*>(&fakeInit))
                    return nullptr;
                return library;
            },
            [this](void*) { ++freed; },
        });
    }
    void load(const std::string& sound = "bgm.bin", const std::string& plugin = "in_x.kpi") {
        kpi.loadCommand(sound, plugin);
    }
    void run(int ms) {
        for (int t = 0; t < ms; t += 16) {
            kpi.frameService();
            mixer.advanceMs(16, &out);
        }
    }
};

TEST(KpiDecoderLookup, NamedLibraryFirstThenTheBundledOneInItsDirectories) {
    Rig rig;
    rig.libraries["/bundled/kpi_sndfile.so"] = fakeGetModule;
    // A Windows decoder in the game directory cannot load: the bundled one serves.
    rig.files.put("in_mp3.kpi", {'M', 'Z', 0x90, 0});
    EXPECT_TRUE(rig.kpi.init("in_mp3.kpi"));
    EXPECT_TRUE(rig.kpi.decoder().bundled());
    ASSERT_EQ(rig.loaded.size(), 3u);
    EXPECT_EQ(rig.loaded[0].rfind("/proc/self/fd/", 0), 0u);
    EXPECT_EQ(rig.loaded[1], "/nowhere/kpi_sndfile.so");
    EXPECT_EQ(rig.loaded[2], "/bundled/kpi_sndfile.so");
    EXPECT_EQ(fake.inits, 1);

    // A native decoder of the game, also under its ".so" name; the previous
    // decoder is released first.
    rig.loaded.clear();
    rig.files.put("in_ogg.so", {0});
    rig.libraries["in_ogg.so"] = fakeGetModule;
    EXPECT_TRUE(rig.kpi.init("in_ogg.kpi"));
    EXPECT_FALSE(rig.kpi.decoder().bundled());
    EXPECT_EQ(fake.deinits, 1);
    EXPECT_EQ(rig.freed, 1);
    EXPECT_TRUE(rig.game.boxes.empty());

    // A library without the entry: the init box, no module.
    rig.libraries["odd.kpi"] = reinterpret_cast<qf_KpiGetModule_fn>(&fakeInit);
    rig.files.put("odd.kpi", {0});
    EXPECT_FALSE(rig.kpi.init("odd.kpi"));
    ASSERT_EQ(rig.game.boxes.size(), 1u);
    EXPECT_EQ(rig.game.boxes[0], std::make_pair(std::string("dialog"), sj("エラー：kpiInit()")));
    // An entry that yields no record: the same box.
    rig.libraries["none.kpi"] = noModule;
    rig.files.put("none.kpi", {0});
    EXPECT_FALSE(rig.kpi.init("none.kpi"));
    EXPECT_EQ(rig.game.boxes.size(), 2u);

    // No library anywhere: silently nothing.
    rig.libraries.clear();
    rig.game.resources["bgm.bin"] = {1, 2, 3};
    rig.load();
    EXPECT_EQ(rig.game.boxes.size(), 2u);
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kNothingLoaded);
}

TEST(KpiPlayer, LoadsFromMemoryElseByNameAndReportsWhatFails) {
    Rig rig;
    rig.libraries["/bundled/kpi_sndfile.so"] = fakeGetModule;
    // Missing sound: the load box; the decoder stays loaded.
    rig.load("bgm\\none.mp3");
    ASSERT_EQ(rig.game.boxes.size(), 1u);
    EXPECT_EQ(rig.game.boxes[0].first, sj("エラー：kpiload"));
    EXPECT_EQ(rig.game.boxes[0].second, sj("エラー：kpiload") + "\nbgm\\none.mp3" + sj("が見つかりません"));
    EXPECT_TRUE(rig.kpi.decoder().hasModule());

    // From memory: loaded and stopped, in the decoder's format.
    rig.game.resources["bgm.bin"] = {1, 2, 3};
    rig.load();
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kStopped);
    EXPECT_EQ(rig.kpi.stream.format.bitsPerSample, 8);
    EXPECT_EQ(rig.kpi.stream.bufferSize, 11025 / 20);
    EXPECT_TRUE(fake.openedPath.empty());

    // Memory refused: a debug line, then the game file by a path the engine opened.
    fake.memoryOpens = false;
    rig.files.put("bgm.bin", {1, 2, 3});
    rig.load();
    EXPECT_EQ(rig.traces, std::vector<std::string>{sj("エラー：kpiLoadMem()")});
    EXPECT_EQ(fake.openedPath.rfind("/proc/self/fd/", 0), 0u);
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kStopped);

    // In the archive only: the by-name attempt fails too.
    rig.game.resources["packed.bin"] = {1, 2, 3};
    rig.load("packed.bin");
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kNothingLoaded);
    ASSERT_EQ(rig.game.boxes.size(), 2u);
    EXPECT_EQ(rig.game.boxes[1], std::make_pair(sj("エラー：kpiLoad()"), sj("kpiサウンドファイルを開けません")));

    // A format the device cannot play counts as a sound that does not open.
    fake.memoryOpens = true;
    fake.info.bitsPerSample = 24;
    rig.load();
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kNothingLoaded);
    EXPECT_FALSE(rig.kpi.decoder().hasSound());
}

TEST(KpiPlayer, PlayRequestsFollowThePositionRule) {
    Rig rig;
    rig.libraries["/bundled/kpi_sndfile.so"] = fakeGetModule;
    // Before any load nothing happens, positions included.
    rig.kpi.playCommand(5, 40);
    EXPECT_EQ(rig.kpi.currentPosition, 0);
    rig.game.resources["bgm.bin"] = {1};
    rig.load();
    // Right after start the position is 0: a request for 0 is ignored.
    rig.kpi.playCommand(0, kNil);
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kStopped);
    EXPECT_TRUE(fake.seeks.empty());
    rig.kpi.playCommand(1, kNil);
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kPlaying);
    EXPECT_EQ(fake.seeks, std::vector<uint32_t>{1000});
    rig.run(160);
    EXPECT_GT(test::rms(rig.out), 1000);
    // Stopped: the same position is ignored, -1 goes back to the previous one.
    rig.kpi.stopCommand();
    rig.run(160);
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kStopped);
    rig.kpi.playCommand(1, kNil);
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kStopped);
    rig.kpi.playCommand(-1, kNil);
    EXPECT_EQ(fake.seeks, (std::vector<uint32_t>{1000, 0}));
    EXPECT_EQ(rig.kpi.previousPosition, 1);
    EXPECT_EQ(rig.kpi.currentPosition, 0);
    // A left-out position means the previous one too.
    rig.kpi.playCommand(kNil, kNil);
    EXPECT_EQ(fake.seeks.back(), 1000u);
    // Volume: given, the device's at once; left out, unchanged; "#kpiVol" clamps.
    const uint32_t half = 50u * 65535u / 100u;
    rig.kpi.playCommand(7, 50);
    EXPECT_EQ(rig.kpi.stream.deviceVolume(), half | half << 16);
    rig.kpi.playCommand(8, kNil);
    EXPECT_EQ(rig.kpi.stream.deviceVolume(), half | half << 16);
    rig.kpi.volumeCommand(150);
    EXPECT_EQ(rig.kpi.stream.deviceVolume(), 0xFFFFFFFFu);
    // Positions survive loads; a new load plays at full volume again.
    rig.kpi.volumeCommand(10);
    rig.load();
    EXPECT_EQ(rig.kpi.currentPosition, 8);
    EXPECT_EQ(rig.kpi.stream.deviceVolume(), 0xFFFFFFFFu);
    // Seconds beyond the millisecond range are asked for as the last millisecond.
    rig.kpi.playCommand(5000000, kNil);
    EXPECT_EQ(fake.seeks.back(), 0xFFFFFFFFu);
}

TEST(KpiPlayer, EveryRefillRendersAndSubmitsOneWholeBuffer) {
    Rig rig;
    rig.libraries["/bundled/kpi_sndfile.so"] = fakeGetModule;
    fake.info = {8000, 2, 16, 0, {}};
    rig.game.resources["bgm.bin"] = {1};
    rig.load();
    fake.renderReturn = 100;  // the decoder stops short
    rig.kpi.playCommand(1, kNil);
    rig.run(16);
    const int bufferSize = 8000 * 4 / 20;
    ASSERT_EQ(fake.renderSizes.size(), 2u);
    EXPECT_EQ(fake.renderSizes[0], uint32_t(bufferSize));
    EXPECT_EQ(rig.kpi.stream.headerLength[0], bufferSize);
    EXPECT_EQ(rig.kpi.stream.m_nCntPlay, 0);
    // Past what the decoder says it rendered the block is silent: 25 of
    // every 400 frames sound.
    rig.run(400);
    const auto left = test::channel(rig.out, 0);
    size_t loud = 0;
    for (int16_t v : left) loud += std::abs(v) > 100;
    EXPECT_GT(loud, left.size() / 30);
    EXPECT_LT(loud, left.size() / 8);
    // A stop does not rewind: nothing but the next request positions the decoder.
    rig.kpi.stopCommand();
    rig.run(100);
    EXPECT_EQ(fake.seeks.size(), 1u);
    // Closing releases the sound, the decoder and the library.
    rig.kpi.release();
    EXPECT_EQ(fake.closes, 1);
    EXPECT_EQ(fake.deinits, 1);
    EXPECT_EQ(rig.freed, 1);
    EXPECT_EQ(rig.kpi.stream.m_nStatus, StreamPlayer::kNothingLoaded);
}

}  // namespace
}  // namespace qf
