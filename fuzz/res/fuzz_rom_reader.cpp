// Arbitrary bytes as an archive file: layout detection, opening, verification,
// entry reads and lookups must never crash, hang or allocate beyond the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "platform/headless/headless_host.h"
#include "res/archive_tools.h"
#include "res/error_log.h"
#include "res/file_manager.h"
#include "res/game_root.h"
#include "res/rom1.h"

namespace {

// The reader works on files beneath a game directory: every input is written
// to one archive in a scratch directory, removed when the run ends.
struct Scratch {
    std::string dir;
    std::string path;

    Scratch() {
        char pattern[] = "/tmp/fuzz_rom_reader_XXXXXX";
        if (!::mkdtemp(pattern)) std::abort();
        dir = pattern;
        path = dir + "/rom.ar1";
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scratch& s = scratch();
    if (std::FILE* f = std::fopen(s.path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    qf::HeadlessHost host;
    qf::ErrorLog log;
    qf::FileManager manager(host, log);
    std::optional<qf::GameRoot> root = qf::GameRoot::open(s.dir);
    if (!root) std::abort();
    manager.SetRoot(std::move(*root));
    if (manager.RomOpen("rom.ar1") && manager.m_pRom) {
        qf::S_Rom& rom = *manager.m_pRom;
        qf::ResourceAccess access;
        qf::resManagerSet(access, &manager);
        uint8_t buffer[64];
        int count = rom.Count();
        for (int i = 0; i < count && i < 32; ++i) {
            const std::string& name = rom.m_pName[static_cast<size_t>(i)];
            qf::safeRelativePieces(name);
            int32_t n = qf::resSizeGet(access, name);
            int32_t got = qf::resRead(access, name, buffer, -1, 0);
            if (got > static_cast<int32_t>(sizeof buffer) || (n > 0 && got > n)) __builtin_trap();
            if (const uint8_t* block = rom.ReadIndex(i)) {
                if (block[rom.m_pSize[static_cast<size_t>(i)]] != 0) __builtin_trap();
            }
        }
        rom.Find("main.txt");
        rom.ReadIndex(count);
    }
    return 0;
}
