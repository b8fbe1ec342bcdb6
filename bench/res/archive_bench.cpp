// Archive costs against the plain cost of the same bytes. The game directory
// is generated in a temporary directory: QF_RES_BENCH_MB megabytes (default 24;
// 200 for the full measurement) in files of 4 KB to 4 MB, a fifth of them in
// subdirectories.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "platform/headless/headless_host.h"
#include "res/error_log.h"
#include "res/file_io.h"
#include "res/file_manager.h"
#include "res/game_root.h"
#include "res/keystream.h"
#include "res/rom1.h"
#include "res/rom_packer.h"
#include "res/safe_write.h"

namespace {

qf::GameRoot openRoot(const std::string& path) {
    std::optional<qf::GameRoot> root = qf::GameRoot::open(path);
    if (!root) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(1);
    }
    return std::move(*root);
}

// Packs a directory into an archive at a host path.
bool packInto(const qf::GameRoot& source, const std::string& archive) {
    qf::HeadlessHost host;
    qf::ErrorLog log;
    qf::SafeWriter out;
    return out.begin(archive) && qf::romCreate(host, log, nullptr, source, out);
}

struct BenchGame {
    std::string base;                // holds the game directory and its archive
    std::string dir;
    std::string archive;
    std::vector<std::string> files;  // names beneath the game directory
    std::vector<std::string> names;  // archive names
    int64_t bytes = 0;
    qf::GameRoot game = qf::GameRoot::none();
    qf::GameRoot archiveDir = qf::GameRoot::none();

    BenchGame() {
        char pattern[] = "/tmp/qf_res_bench_XXXXXX";
        base = ::mkdtemp(pattern);
        dir = base + "/game";
        const char* mb = std::getenv("QF_RES_BENCH_MB");
        int64_t target = (mb ? std::atoll(mb) : 24) << 20;
        std::mt19937_64 random(42);
        std::vector<char> block((4 << 20) + 4096);
        for (char& c : block) c = static_cast<char>(random());
        std::filesystem::create_directories(dir + "/sub");
        for (int i = 0; bytes < target; ++i) {
            size_t size = std::min<size_t>(4u << 20, (4096u << (random() % 11)) + random() % 4096);
            size = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(size), target - bytes));
            std::string name = "file" + std::to_string(i) + ".bin";
            bool inSub = i % 5 == 4;
            std::string file = (inSub ? "sub/" : "") + name;
            std::ofstream(dir + "/" + file, std::ios::binary)
                .write(block.data() + (i * 4099) % 4096, static_cast<std::streamsize>(size));
            files.push_back(file);
            names.push_back(inSub ? "sub\\" + name : name);
            bytes += static_cast<int64_t>(size);
        }
        archive = "game.ar1";
        game = openRoot(dir);
        archiveDir = openRoot(base);
        if (!packInto(game, base + "/" + archive)) {
            std::fprintf(stderr, "cannot pack %s\n", dir.c_str());
            std::exit(1);
        }
    }
    ~BenchGame() {
        std::error_code ec;
        std::filesystem::remove_all(base, ec);
    }
};

BenchGame& game() {
    static BenchGame g;
    return g;
}

uLong crcOf(const uint8_t* data, size_t n) { return crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(n)); }

// Plain cost: read every file whole and CRC it.
void BM_PlainReadAndCrcFiles(benchmark::State& state) {
    BenchGame& g = game();
    std::vector<uint8_t> buffer(4 << 20);
    for (auto _ : state) {
        uLong sum = 0;
        for (const std::string& f : g.files) {
            int64_t n = qf::fileRead(g.game, f, buffer);
            sum ^= crcOf(buffer.data(), static_cast<size_t>(n));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * g.bytes);
}

void BM_PackDirectory(benchmark::State& state) {
    BenchGame& g = game();
    qf::HeadlessHost host;
    qf::ErrorLog log;
    std::string out = g.base + "/pack.ar1";
    for (auto _ : state) {
        qf::SafeWriter writer;
        benchmark::DoNotOptimize(writer.begin(out) && qf::romCreate(host, log, nullptr, g.game, writer));
    }
    std::filesystem::remove(out);
    state.SetBytesProcessed(state.iterations() * g.bytes);
}

// Plain cost: the archive file read once in 256 KB pieces (the size Verify uses) and CRC-ed.
void BM_PlainReadAndCrcArchive(benchmark::State& state) {
    BenchGame& g = game();
    std::vector<uint8_t> buffer(256 << 10);
    int64_t size = qf::fileSizeGet(g.archiveDir, g.archive);
    for (auto _ : state) {
        uLong crc = crc32(0L, Z_NULL, 0);
        for (int64_t offset = 0; offset < size; offset += static_cast<int64_t>(buffer.size())) {
            int64_t n = qf::fileRead(g.archiveDir, g.archive, buffer, static_cast<int64_t>(buffer.size()), offset);
            crc = crc32(crc, buffer.data(), static_cast<uInt>(n));
        }
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_OpenAndVerify(benchmark::State& state) {
    BenchGame& g = game();
    qf::HeadlessHost host;
    qf::ErrorLog log;
    for (auto _ : state) {
        qf::FileManager manager(host, log);
        manager.SetRoot(openRoot(g.base));
        benchmark::DoNotOptimize(manager.RomOpen(g.archive));
        if (manager.m_bRomOk != 1) state.SkipWithError("archive failed verification");
    }
    state.SetBytesProcessed(state.iterations() * qf::fileSizeGet(g.archiveDir, g.archive));
}

// Verification alone, of an archive already open (its keystream already generated).
void BM_VerifyOpenArchive(benchmark::State& state) {
    BenchGame& g = game();
    qf::HeadlessHost host;
    qf::ErrorLog log;
    qf::FileManager manager(host, log);
    manager.SetRoot(openRoot(g.base));
    manager.RomOpen(g.archive);
    for (auto _ : state) benchmark::DoNotOptimize(manager.m_pRom->Verify());
    state.SetBytesProcessed(state.iterations() * qf::fileSizeGet(g.archiveDir, g.archive));
}

// The largest entry, read from the loose file and from the archive.
size_t largestEntry() {
    BenchGame& g = game();
    size_t best = 0;
    for (size_t i = 1; i < g.files.size(); ++i)
        if (qf::fileSizeGet(g.game, g.files[i]) > qf::fileSizeGet(g.game, g.files[best])) best = i;
    return best;
}

void BM_PlainReadOneFile(benchmark::State& state) {
    BenchGame& g = game();
    const std::string& file = g.files[largestEntry()];
    std::vector<uint8_t> buffer(static_cast<size_t>(qf::fileSizeGet(g.game, file)));
    for (auto _ : state) benchmark::DoNotOptimize(qf::fileRead(g.game, file, buffer));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}

void BM_ResReadOneEntry(benchmark::State& state) {
    BenchGame& g = game();
    qf::HeadlessHost host;
    qf::ErrorLog log;
    qf::FileManager manager(host, log);
    manager.SetRoot(openRoot(g.base));
    manager.RomOpen(g.archive);
    qf::ResourceAccess access;
    qf::resManagerSet(access, &manager);
    const std::string& name = g.names[largestEntry()];
    std::vector<uint8_t> buffer(static_cast<size_t>(qf::resSizeGet(access, name)));
    for (auto _ : state) benchmark::DoNotOptimize(qf::resRead(access, name, buffer));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}

// Lookups in a table of 10,000 names.
void BM_RomFindAmong10000(benchmark::State& state) {
    // The archive is written into the big game's scratch directory, removed with it.
    BenchGame& g = game();
    static const bool packed = [&g] {
        std::string many = g.base + "/many";
        std::filesystem::create_directory(many);
        for (int i = 0; i < 10000; ++i) std::ofstream(many + "/entry" + std::to_string(i) + ".txt") << i;
        bool ok = packInto(openRoot(many), g.base + "/many.ar1");
        std::filesystem::remove_all(many);
        return ok;
    }();
    if (!packed) state.SkipWithError("cannot pack the table");
    qf::HeadlessHost host;
    qf::ErrorLog log;
    qf::FileManager manager(host, log);
    manager.SetRoot(openRoot(g.base));
    manager.RomOpen("many.ar1");
    if (!manager.m_pRom || manager.m_pRom->Count() != 10000) state.SkipWithError("the table did not open");
    std::vector<std::string> names;
    for (int i = 0; i < 10000; i += 97) names.push_back("entry" + std::to_string(i) + ".txt");
    size_t k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(manager.RomFind(names[k++ % names.size()]));
    state.SetItemsProcessed(state.iterations());
}

void BM_KeystreamApply(benchmark::State& state) {
    qf::Keystream keystream;
    std::vector<uint8_t> data(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        keystream.apply(data.data(), data.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_PlainReadAndCrcFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackDirectory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadAndCrcArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndVerify)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerifyOpenArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadOneFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResReadOneEntry)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RomFindAmong10000);
BENCHMARK(BM_KeystreamApply)->Arg(1 << 20)->Arg(32 << 20);
