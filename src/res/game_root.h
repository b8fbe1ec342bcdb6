// The game directory as a confined root. Games are untrusted: every name a
// script gives is resolved beneath one open descriptor of the game directory
// and can never reach a file outside it.
//
// Game names are Shift-JIS bytes with "\\" or "/" between pieces and any ASCII
// letter case; the trail byte of a double-byte character is never a separator
// or a letter. A name is refused when it is empty, holds a zero byte or a ":"
// (drive letters, alternate streams), starts with a separator (absolute and
// UNC paths), has a ".." that climbs above the root, is longer than a path can
// be, or passes through a symbolic link. A ".." that stays inside ("a\\..\\b")
// is taken lexically, the way Windows takes it, and "." pieces and doubled
// separators are dropped.
//
// Symbolic links are refused wherever they appear, whether they point inside
// the root or out of it: links are not part of a game made on Windows, and
// refusing them all keeps the kernel's resolution and the fallback walk in
// exact agreement; a piece that matches a link only ignoring case is refused
// too. Listings show only regular files and directories. A refused name
// behaves like a missing file.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "res/disk_path.h"

namespace qf {

// An open file descriptor that closes itself.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

class GameRoot {
public:
    // Opens the directory at a host path (given by the person running the
    // engine, so links on the way to it are followed). Empty without a
    // directory there; `reason` then says why.
    static std::optional<GameRoot> open(const std::string& hostDir, std::string* reason = nullptr);
    // A root with no directory: every name fails as missing.
    static GameRoot none() { return GameRoot(UniqueFd()); }

    GameRoot(GameRoot&&) noexcept = default;
    GameRoot& operator=(GameRoot&&) noexcept = default;
    GameRoot(const GameRoot&) = delete;
    GameRoot& operator=(const GameRoot&) = delete;

    int fd() const { return root_.get(); }

    // The path beneath the root that a game name stands for, pieces joined by
    // "/"; "." for the root itself. A piece that does not exist exactly is
    // replaced by the first entry of its directory, in Windows listing order,
    // that matches it ignoring ASCII case; pieces that match nothing are kept
    // as given, so the result also names a file to create. Empty when refused.
    std::optional<std::string> resolve(std::string_view name) const;

    // A regular file opened for reading (the caller closes it), or -1.
    // Never blocks on a FIFO.
    int openRead(std::string_view name) const;
    // Size of a regular file; -1 when it cannot be opened.
    int64_t size(std::string_view name) const;
    // The whole file, or nothing when it cannot be read or holds more than
    // `maxBytes` bytes (nothing is allocated then).
    std::optional<std::vector<uint8_t>> readAll(std::string_view name, uint64_t maxBytes) const;
    // Last-write time of a regular file.
    std::optional<std::time_t> lastWriteTime(std::string_view name) const;

    // Deletes a file (not a directory). True on success.
    bool remove(std::string_view name) const;
    // Creates one directory. True on success.
    bool makeDirectory(std::string_view name) const;
    // The regular files and directories in a directory ("" or "." for the
    // root), in Windows listing order; nothing when it cannot be read.
    std::vector<DirEntry> list(std::string_view dir) const;
    // Copies a regular file; the copy is written beside its target and
    // renamed into place. With `failIfExists` an existing target is kept and
    // the copy fails.
    bool copy(std::string_view from, std::string_view to, bool failIfExists) const;
    // Renames a file or directory. Without `replace` an existing target makes
    // the rename fail, as on Windows.
    bool rename(std::string_view from, std::string_view to, bool replace = false) const;

    // The directory that holds a name, opened beneath the root, and the last
    // piece of its resolved path: the pair every *at call takes. Empty when
    // the name is refused, names the root, or its directory cannot be opened.
    struct Location {
        UniqueFd dir;
        std::string leaf;
    };
    std::optional<Location> locate(std::string_view name) const;

    // Opens a path as resolve() returns it: beneath the root, with no ".."
    // and no symbolic link anywhere on the way. `flags` are open(2)'s; -1 on
    // failure (errno tells why). Uses openat2's RESOLVE_BENEATH where the
    // kernel has it, otherwise an openat walk, piece by piece, that never
    // follows a link.
    int openResolved(const std::string& relative, int flags, mode_t mode = 0) const;

    // Whether openat2 may be used (it is by default when the kernel has it);
    // false forces the openat walk. For tests of the walk.
    void useKernelBeneath(bool use) { useKernel_ = use; }

private:
    explicit GameRoot(UniqueFd root) : root_(std::move(root)) {}

    UniqueFd root_;
    bool useKernel_ = true;
};

// renameat between two open directories; without `replace` an existing
// target is never overwritten (the call fails with EEXIST). True on success.
bool renameEntry(int fromDir, const std::string& from, int toDir, const std::string& to, bool replace);

}  // namespace qf
