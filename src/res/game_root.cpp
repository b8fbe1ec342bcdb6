#include "res/game_root.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "res/safe_write.h"

namespace qf {

namespace {

// Longest game name and longest piece a Linux file system takes.
constexpr size_t kMaxNameBytes = 4095;
constexpr size_t kMaxPieceBytes = 255;
constexpr size_t kCopyChunk = 64 * 1024;
constexpr int kOpenRetries = 8;

// Set once openat2 turned out to be missing (or filtered): every later open walks.
std::atomic<bool> kernelBeneathMissing{false};

std::vector<std::string> splitOnSlash(const std::string& path) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        pieces.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return pieces;
}

// The pieces of a game name after the separator and ".." rules; empty pieces
// for the root itself; nothing when the name is refused.
std::optional<std::vector<std::string>> gamePieces(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes) return std::nullopt;
    // Neither byte can be a trail byte, so a plain search is double-byte safe.
    if (name.find('\0') != std::string_view::npos || name.find(':') != std::string_view::npos) return std::nullopt;
    std::string path = toDiskSeparators(name);
    if (path[0] == '/') return std::nullopt;  // absolute, or a UNC name
    std::vector<std::string> pieces;
    for (std::string& piece : splitOnSlash(path)) {
        if (piece.empty() || piece == ".") continue;
        if (piece == "..") {
            if (pieces.empty()) return std::nullopt;
            pieces.pop_back();
            continue;
        }
        if (piece.size() > kMaxPieceBytes) return std::nullopt;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

// A path as resolve() gives it: "." or pieces that are neither empty, "." nor "..".
bool isPlainRelative(const std::string& relative) {
    if (relative == ".") return true;
    if (relative.empty() || relative.size() > kMaxNameBytes) return false;
    for (const std::string& piece : splitOnSlash(relative)) {
        if (piece.empty() || piece == "." || piece == ".." || piece.size() > kMaxPieceBytes) return false;
    }
    return true;
}

// The regular files and directories of an open directory (with `everything`,
// every entry: links, FIFOs …), in Windows listing order.
std::vector<DirEntry> listOpenDirectory(int dirFd, bool everything = false) {
    std::vector<DirEntry> entries;
    int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return entries;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return entries;
    }
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN && !everything) {
            struct stat st {};
            if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type != DT_DIR && type != DT_REG && !everything) continue;  // links, devices, FIFOs, sockets
        entries.push_back(DirEntry{e->d_name, type == DT_DIR});
    }
    ::closedir(d);
    // The folded name first, ties byte-wise: the order windowsNameLess gives,
    // folding each name once.
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) keys.emplace_back(foldAsciiCase(entries[i].name), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& x, const auto& y) {
        if (x.first != y.first) return x.first < y.first;
        return entries[x.second].name < entries[y.second].name;
    });
    std::vector<DirEntry> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : keys) sorted.push_back(std::move(entries[key.second]));
    return sorted;
}

// The first entry in listing order that equals `piece` ignoring ASCII case.
// Links take part, so that a name matching one is refused rather than made
// to stand for a new file beside it.
std::optional<std::string> caseMatch(int dirFd, const std::string& piece) {
    std::string folded = foldAsciiCase(piece);
    for (DirEntry& e : listOpenDirectory(dirFd, true)) {
        if (foldAsciiCase(e.name) == folded) return std::move(e.name);
    }
    return std::nullopt;
}

void appendPiece(std::string& path, const std::string& piece) {
    if (!path.empty()) path += '/';
    path += piece;
}

}  // namespace

void UniqueFd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

std::optional<GameRoot> GameRoot::open(const std::string& hostDir, std::string* reason) {
    std::string dir = hostDir.empty() ? std::string(".") : hostDir;
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.ok()) {
        if (reason) *reason = dir + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return GameRoot(std::move(fd));
}

std::optional<std::string> GameRoot::resolve(std::string_view name) const {
    std::optional<std::vector<std::string>> pieces = gamePieces(name);
    if (!pieces) return std::nullopt;
    if (pieces->empty()) return std::string(".");
    std::string result;
    int dir = root_.get();
    UniqueFd held;
    for (size_t i = 0; i < pieces->size(); ++i) {
        const std::string& piece = (*pieces)[i];
        struct stat st {};
        std::string actual = piece;
        bool found = ::fstatat(dir, piece.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (!found && errno == ENOENT) {
            if (std::optional<std::string> match = caseMatch(dir, piece)) {
                actual = std::move(*match);
                found = ::fstatat(dir, actual.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
            }
        }
        if (found && S_ISLNK(st.st_mode)) return std::nullopt;
        appendPiece(result, actual);
        bool last = i + 1 == pieces->size();
        if (last) break;
        UniqueFd next;
        if (found && S_ISDIR(st.st_mode))
            next.reset(::openat(dir, actual.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.ok()) {
            // Nothing further can be looked up: the rest stays as given.
            for (size_t j = i + 1; j < pieces->size(); ++j) appendPiece(result, (*pieces)[j]);
            break;
        }
        held = std::move(next);
        dir = held.get();
    }
    return result;
}

int GameRoot::openResolved(const std::string& relative, int flags, mode_t mode) const {
    if (!root_.ok() || !isPlainRelative(relative)) {
        errno = EINVAL;
        return -1;
    }
    bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    if (useKernel_ && !kernelBeneathMissing.load(std::memory_order_relaxed)) {
        open_how how {};
        how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
        how.mode = creates ? mode : 0;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        for (int attempt = 0; attempt < kOpenRetries; ++attempt) {
            long fd = ::syscall(SYS_openat2, root_.get(), relative.c_str(), &how, sizeof how);
            if (fd >= 0) return static_cast<int>(fd);
            if (errno != EAGAIN && errno != EINTR) break;
        }
        // Kernels before 5.6 answer ENOSYS; some sandboxes filter the call with EPERM.
        if (errno != ENOSYS && errno != EPERM) return -1;
        kernelBeneathMissing.store(true, std::memory_order_relaxed);
    }
    if (relative == ".") return ::openat(root_.get(), ".", flags | O_CLOEXEC, mode);
    std::vector<std::string> pieces = splitOnSlash(relative);
    int dir = root_.get();
    UniqueFd held;
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        UniqueFd next(::openat(dir, pieces[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.ok()) return -1;
        held = std::move(next);
        dir = held.get();
    }
    int fd = ::openat(dir, pieces.back().c_str(), flags | O_NOFOLLOW | O_CLOEXEC, creates ? mode : 0);
    if (fd >= 0 && (flags & O_PATH)) {
        // With O_PATH, O_NOFOLLOW opens the link itself instead of failing.
        struct stat st {};
        if (::fstat(fd, &st) != 0 || S_ISLNK(st.st_mode)) {
            ::close(fd);
            errno = ELOOP;
            return -1;
        }
    }
    return fd;
}

int GameRoot::openRead(std::string_view name) const {
    std::optional<std::string> relative = resolve(name);
    if (!relative) return -1;
    // Non-blocking so that a FIFO cannot hang the open; only regular files are kept.
    UniqueFd fd(openResolved(*relative, O_RDONLY | O_NONBLOCK));
    struct stat st {};
    if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd.release();
}

int64_t GameRoot::size(std::string_view name) const {
    UniqueFd fd(openRead(name));
    struct stat st {};
    if (!fd.ok() || ::fstat(fd.get(), &st) != 0) return -1;
    return st.st_size;
}

std::optional<std::vector<uint8_t>> GameRoot::readAll(std::string_view name, uint64_t maxBytes) const {
    UniqueFd fd(openRead(name));
    struct stat st {};
    if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || st.st_size < 0) return std::nullopt;
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (size > maxBytes) return std::nullopt;
    std::vector<uint8_t> data;
    try {
        data.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    size_t done = 0;
    while (done < data.size()) {
        ssize_t r = ::pread(fd.get(), data.data() + done, data.size() - done, static_cast<off_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return std::nullopt;
        if (r == 0) break;  // the file shrank meanwhile
        done += static_cast<size_t>(r);
    }
    data.resize(done);
    return data;
}

std::optional<std::time_t> GameRoot::lastWriteTime(std::string_view name) const {
    std::optional<std::string> relative = resolve(name);
    if (!relative) return std::nullopt;
    UniqueFd fd(openResolved(*relative, O_PATH));
    struct stat st {};
    if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return st.st_mtime;
}

std::optional<GameRoot::Location> GameRoot::locate(std::string_view name) const {
    std::optional<std::string> relative = resolve(name);
    if (!relative || *relative == ".") return std::nullopt;
    size_t slash = relative->rfind('/');
    std::string parent = slash == std::string::npos ? std::string(".") : relative->substr(0, slash);
    Location location;
    location.leaf = slash == std::string::npos ? *relative : relative->substr(slash + 1);
    location.dir.reset(openResolved(parent, O_RDONLY | O_DIRECTORY));
    if (!location.dir.ok()) return std::nullopt;
    return location;
}

bool GameRoot::remove(std::string_view name) const {
    std::optional<Location> at = locate(name);
    struct stat st {};
    if (!at || ::fstatat(at->dir.get(), at->leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (S_ISDIR(st.st_mode) || S_ISLNK(st.st_mode)) return false;
    return ::unlinkat(at->dir.get(), at->leaf.c_str(), 0) == 0;
}

bool GameRoot::makeDirectory(std::string_view name) const {
    std::optional<Location> at = locate(name);
    return at && ::mkdirat(at->dir.get(), at->leaf.c_str(), 0777) == 0;
}

std::vector<DirEntry> GameRoot::list(std::string_view dir) const {
    std::optional<std::string> relative = dir.empty() ? std::string(".") : resolve(dir);
    if (!relative) return {};
    UniqueFd fd(openResolved(*relative, O_RDONLY | O_DIRECTORY));
    if (!fd.ok()) return {};
    return listOpenDirectory(fd.get());
}

bool GameRoot::copy(std::string_view from, std::string_view to, bool failIfExists) const {
    UniqueFd source(openRead(from));
    if (!source.ok()) return false;
    SafeWriter out;
    if (!out.begin(*this, to)) return false;
    std::vector<uint8_t> chunk(kCopyChunk);
    for (;;) {
        ssize_t r = ::read(source.get(), chunk.data(), chunk.size());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;  // the writer removes its temporary file
        if (r == 0) break;
        if (!out.write(chunk.data(), static_cast<size_t>(r))) return false;
    }
    return out.commit(!failIfExists);
}

bool GameRoot::rename(std::string_view from, std::string_view to, bool replace) const {
    std::optional<Location> source = locate(from);
    std::optional<Location> target = locate(to);
    struct stat st {};
    if (!source || !target) return false;
    if (::fstatat(source->dir.get(), source->leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISLNK(st.st_mode))
        return false;
    return renameEntry(source->dir.get(), source->leaf, target->dir.get(), target->leaf, replace);
}

bool renameEntry(int fromDir, const std::string& from, int toDir, const std::string& to, bool replace) {
    if (replace) return ::renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0;
    if (::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL) return false;
    // A file system without RENAME_NOREPLACE: a hard link is never made over
    // an existing name. Directories cannot be linked; they are checked first.
    struct stat st {};
    if (::fstatat(fromDir, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (S_ISDIR(st.st_mode)) {
        if (::fstatat(toDir, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            errno = EEXIST;
            return false;
        }
        return ::renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0;
    }
    if (::linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) != 0) return false;
    ::unlinkat(fromDir, from.c_str(), 0);
    return true;
}

}  // namespace qf
