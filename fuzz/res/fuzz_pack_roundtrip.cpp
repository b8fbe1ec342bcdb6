// A game directory built from the input (a few files with fuzzed names and
// contents) is packed and read back: the archive opens, passes verification
// and holds exactly the files the packing rules take, byte for byte.
// Everything is written inside one scratch directory, emptied on every run
// and removed when the process ends.
//
// Input: repeated records of [name length][name][content length, 2 bytes LE][content].
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/headless_host.h"
#include "res/error_log.h"
#include "res/disk_path.h"
#include "res/game_root.h"
#include "res/rom1.h"
#include "res/rom_packer.h"
#include "res/safe_write.h"

namespace {

constexpr size_t kMaxFiles = 8;
constexpr size_t kMaxName = 48;
constexpr size_t kMaxContent = 4096;

// The scratch directory, for fail() to remove.
std::string scratchBase;

// A broken check: the scratch directory goes first, since a crash skips destructors.
[[noreturn]] void fail() {
    std::error_code ec;
    if (!scratchBase.empty()) std::filesystem::remove_all(scratchBase, ec);
    std::abort();
}

// base/ holds game/ (rebuilt for every input) and the archive beside it.
struct Scratch {
    std::string base;
    std::string game;
    std::optional<qf::GameRoot> baseRoot;
    qf::HeadlessHost host;

    Scratch() {
        char pattern[] = "/tmp/fuzz_pack_roundtrip_XXXXXX";
        if (!::mkdtemp(pattern)) std::abort();
        base = pattern;
        scratchBase = base;
        game = base + "/game";
        baseRoot = qf::GameRoot::open(base);
        if (!baseRoot) fail();
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(base, ec);
        scratchBase.clear();
    }
    // An empty game directory and no archive.
    qf::GameRoot fresh() {
        std::error_code ec;
        std::filesystem::remove_all(game, ec);
        std::filesystem::remove(base + "/rom.ar1", ec);
        if (!std::filesystem::create_directory(game)) fail();
        std::optional<qf::GameRoot> root = qf::GameRoot::open(game);
        if (!root) fail();
        return std::move(*root);
    }
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool take(size_t n, std::string& out) {
        if (n > size - pos) return false;
        out.assign(reinterpret_cast<const char*>(data + pos), n);
        pos += n;
        return true;
    }
};

// Writes a file beneath the root, its directories first. The disk path it
// landed at ("dir/file"), or nothing when the root refuses the name or the
// file cannot be made (a directory of that name exists, a piece is a file …).
std::optional<std::string> plant(const qf::GameRoot& root, const std::string& name, const std::string& content) {
    std::optional<std::string> resolved = root.resolve(name);
    if (!resolved || *resolved == ".") return std::nullopt;
    for (size_t slash = resolved->find('/'); slash != std::string::npos; slash = resolved->find('/', slash + 1))
        root.makeDirectory(resolved->substr(0, slash));
    resolved = root.resolve(name);  // the directories may now match other letter cases
    if (!resolved) return std::nullopt;
    int fd = root.openResolved(*resolved, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK, 0644);
    if (fd < 0) return std::nullopt;
    bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ::close(fd);
    return ok ? resolved : std::nullopt;
}

// True when the last byte of the name is the first byte of a double-byte
// character with nothing after it.
bool endsInLeadByte(const std::string& name) {
    bool pendingLead = false;
    for (unsigned char c : name) pendingLead = pendingLead ? false : qf::isCp932LeadByte(c);
    return pendingLead;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scratch& s = scratch();
    qf::GameRoot root = s.fresh();

    // The files as they are on disk, by disk path.
    std::map<std::string, std::string> onDisk;
    Reader in{data, size};
    for (size_t k = 0; k < kMaxFiles && in.pos < size; ++k) {
        std::string length, name, contentLength, content;
        if (!in.take(1, length)) break;
        size_t nameSize = 1 + static_cast<uint8_t>(length[0]) % kMaxName;
        if (!in.take(nameSize, name) || !in.take(2, contentLength)) break;
        size_t contentSize = (static_cast<uint8_t>(contentLength[0]) | static_cast<uint8_t>(contentLength[1]) << 8) %
                             (kMaxContent + 1);
        if (!in.take(std::min(contentSize, size - in.pos), content)) break;
        if (std::optional<std::string> path = plant(root, name, content)) onDisk[*path] = content;
    }

    // What the packer takes: files of the directory and of its first-level
    // subdirectories not starting with "_", named "dir\\file", unless the
    // name is excluded (its first character, its extension); a name holding a
    // line break cannot be stored in the "\n"-separated name list, and a
    // directory name ending in a lead byte would swallow the "\\" after it.
    std::map<std::string, std::string> expected;
    for (const auto& [path, content] : onDisk) {
        std::string name = path;
        size_t slash = path.find('/');
        if (slash != std::string::npos) {
            if (path.find('/', slash + 1) != std::string::npos || path[0] == '_') continue;
            if (endsInLeadByte(path.substr(0, slash))) continue;
            name = path.substr(0, slash) + "\\" + path.substr(slash + 1);
        }
        if (!qf::S_Rom::isPackedName(name) || name.find_first_of("\r\n") != std::string::npos) continue;
        expected[name] = content;
    }

    qf::ErrorLog log;
    qf::SafeWriter out;
    if (!out.begin(*s.baseRoot, "rom.ar1")) fail();
    if (!qf::romCreate(s.host, log, nullptr, root, out)) fail();
    // Every file is readable: nothing to report, unless a name could not be stored.
    bool unstorable = false;
    for (const auto& entry : onDisk) unstorable = unstorable || entry.first.find('\n') != std::string::npos;
    if (!log.empty() && !unstorable) fail();

    qf::S_Rom1 rom(s.host, log);
    if (!rom.Open(*s.baseRoot, "rom.ar1") || !rom.Verify()) fail();
    if (rom.Count() != static_cast<int>(expected.size())) fail();
    for (int i = 0; i < rom.Count(); ++i) {
        auto it = expected.find(rom.m_pName[static_cast<size_t>(i)]);
        if (it == expected.end() || rom.m_pSize[static_cast<size_t>(i)] != it->second.size()) fail();
        const uint8_t* bytes = rom.ReadIndex(i);
        if (!bytes || std::memcmp(bytes, it->second.data(), it->second.size()) != 0) fail();
        if (rom.Find(it->first) != i) fail();
    }
    rom.Close();

    std::error_code ec;
    std::filesystem::remove_all(s.game, ec);
    std::filesystem::remove(s.base + "/rom.ar1", ec);
    return 0;
}
