// Arbitrary bytes as a game name: resolving it must never crash or hang, and
// whatever is accepted must lie beneath the game directory. Only reads: the
// scratch directory is the one place this target touches.
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "res/game_root.h"

namespace {

// game/ holds a few files, subdirectories and links, one of them pointing out
// to outside/, its sibling. Made once, removed when the run ends.
struct Scratch {
    std::string base;
    std::string root;
    std::string rootReal;
    std::optional<qf::GameRoot> game;
    std::optional<qf::GameRoot> walked;  // the same directory, opened by the openat walk

    Scratch() {
        char pattern[] = "/tmp/fuzz_game_root_XXXXXX";
        if (!::mkdtemp(pattern)) ::abort();
        base = pattern;
        root = base + "/game";
        for (const char* dir : {"/game/Data", "/game/sub", "/game/\x83\x5C", "/outside"})
            std::filesystem::create_directories(base + dir);
        for (const char* file : {"/game/main.txt", "/game/Data/Title.BMP", "/game/sub/a.txt", "/game/\x95\x5C.txt",
                                 "/game/\x83\x5C/a.txt", "/outside/secret"})
            std::ofstream(base + file) << "x";
        if (::symlink("../outside", (root + "/link_out").c_str()) != 0 ||
            ::symlink((base + "/outside/secret").c_str(), (root + "/link_file").c_str()) != 0 ||
            ::symlink("..", (root + "/sub/up").c_str()) != 0)
            ::abort();
        char real[PATH_MAX];
        if (!::realpath(root.c_str(), real)) ::abort();
        rootReal = real;
        game = qf::GameRoot::open(root);
        walked = qf::GameRoot::open(root);
        if (!game || !walked) ::abort();
        walked->useKernelBeneath(false);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(base, ec);
    }
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

bool beneath(const std::string& path, const std::string& root) {
    return path == root || path.rfind(root + "/", 0) == 0;
}

// Where an open descriptor really is.
std::string descriptorPath(int fd) {
    char target[PATH_MAX];
    std::string link = "/proc/self/fd/" + std::to_string(fd);
    ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n < 0) ::abort();
    return std::string(target, static_cast<size_t>(n));
}

// True when the descriptor was open; traps when it lies outside the root.
bool checkDescriptor(int fd, const std::string& rootReal) {
    if (fd < 0) return false;
    if (!beneath(descriptorPath(fd), rootReal)) __builtin_trap();
    ::close(fd);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192) return 0;
    Scratch& s = scratch();
    const qf::GameRoot& game = *s.game;
    std::string name(reinterpret_cast<const char*>(data), size);

    std::optional<std::string> relative = game.resolve(name);
    if (!relative) {
        if (game.openRead(name) >= 0 || game.size(name) >= 0) __builtin_trap();
        return 0;
    }
    // A plain relative path: no root, no "..", no empty piece.
    const std::string& rel = *relative;
    if (rel.empty() || rel[0] == '/' || rel.find('\0') != std::string::npos) __builtin_trap();
    if (rel != ".") {
        size_t start = 0;
        while (start <= rel.size()) {
            size_t slash = rel.find('/', start);
            if (slash == std::string::npos) slash = rel.size();
            std::string piece = rel.substr(start, slash - start);
            if (piece.empty() || piece == "." || piece == "..") __builtin_trap();
            start = slash + 1;
        }
    }
    // The result names itself.
    if (game.resolve(rel) != relative) __builtin_trap();
    // Whatever of it exists lies beneath the root, links resolved.
    char real[PATH_MAX];
    if (::realpath((s.root + "/" + rel).c_str(), real) && !beneath(real, s.rootReal)) __builtin_trap();

    // The kernel's resolution and the walk agree.
    if (checkDescriptor(game.openRead(name), s.rootReal) != checkDescriptor(s.walked->openRead(name), s.rootReal))
        __builtin_trap();
    if (checkDescriptor(game.openResolved(rel, O_PATH), s.rootReal) !=
        checkDescriptor(s.walked->openResolved(rel, O_PATH), s.rootReal))
        __builtin_trap();
    game.size(name);
    game.lastWriteTime(name);
    game.list(name);
    return 0;
}
