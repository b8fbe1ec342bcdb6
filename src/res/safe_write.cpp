#include "res/safe_write.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

namespace qf {

namespace {

std::atomic<WriteFaultHook> faultHook{nullptr};
std::atomic<uint32_t> temporaryCounter{0};

// Attempts at a fresh temporary name before giving up.
constexpr int kCreateAttempts = 16;
// The target's name is cut to this length in the temporary's name, so that
// the suffix always fits in a file name.
constexpr size_t kMaxLeafInTemporary = 200;

int injectedError(WriteStep step, uint64_t offset, size_t size) {
    WriteFaultHook hook = faultHook.load(std::memory_order_relaxed);
    return hook ? hook(step, offset, size) : 0;
}

std::string temporaryNameFor(const std::string& leaf) {
    uint32_t random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random))
        random = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%x-%x%08x.tmp", static_cast<unsigned>(::getpid()),
                  temporaryCounter.fetch_add(1, std::memory_order_relaxed), random);
    return leaf.substr(0, kMaxLeafInTemporary) + suffix;
}

}  // namespace

void setWriteFaultHook(WriteFaultHook hook) { faultHook.store(hook, std::memory_order_relaxed); }

SafeWriter::SafeWriter(SafeWriter&& other) noexcept
    : dir_(std::move(other.dir_)),
      file_(std::move(other.file_)),
      leaf_(std::move(other.leaf_)),
      temporary_(std::move(other.temporary_)),
      reason_(std::move(other.reason_)),
      end_(other.end_) {
    other.temporary_.clear();
}

SafeWriter& SafeWriter::operator=(SafeWriter&& other) noexcept {
    if (this != &other) {
        abort();
        dir_ = std::move(other.dir_);
        file_ = std::move(other.file_);
        leaf_ = std::move(other.leaf_);
        temporary_ = std::move(other.temporary_);
        reason_ = std::move(other.reason_);
        end_ = other.end_;
        other.temporary_.clear();
    }
    return *this;
}

bool SafeWriter::begin(const GameRoot& root, std::string_view name) {
    abort();
    reason_.clear();
    std::optional<GameRoot::Location> at = root.locate(name);
    if (!at) {
        reason_ = std::string(name) + ": refused, or its directory does not exist";
        return false;
    }
    return start(std::move(at->dir), std::move(at->leaf));
}

bool SafeWriter::begin(const std::string& hostPath) {
    abort();
    reason_.clear();
    size_t slash = hostPath.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/")
                                                                                  : hostPath.substr(0, slash);
    std::string leaf = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    if (leaf.empty() || leaf == "." || leaf == "..") {
        reason_ = hostPath + ": not a file name";
        return false;
    }
    UniqueFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd.ok()) {
        reason_ = dir + ": " + std::strerror(errno);
        return false;
    }
    return start(std::move(dirFd), std::move(leaf));
}

bool SafeWriter::start(UniqueFd dir, std::string leaf) {
    dir_ = std::move(dir);
    leaf_ = std::move(leaf);
    end_ = 0;
    struct stat target {};
    bool exists = ::fstatat(dir_.get(), leaf_.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(target.st_mode)) return fail("replace", EISDIR);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string name = temporaryNameFor(leaf_);
        if (int error = injectedError(WriteStep::Create, 0, 0)) return fail("create a temporary file for", error);
        int fd = ::openat(dir_.get(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            file_.reset(fd);
            temporary_ = std::move(name);
            // A replaced file keeps its permissions.
            if (exists && S_ISREG(target.st_mode)) ::fchmod(fd, target.st_mode & 07777);
            return true;
        }
        if (errno != EEXIST) return fail("create a temporary file for", errno);
    }
    return fail("create a temporary file for", EEXIST);
}

bool SafeWriter::fail(const std::string& step, int error) {
    reason_ = step + " " + leaf_ + ": " + std::strerror(error);
    abort();
    return false;
}

bool SafeWriter::write(const void* data, size_t n) { return writeAt(data, n, end_); }

bool SafeWriter::writeAt(const void* data, size_t n, uint64_t offset) {
    if (!file_.ok()) {
        if (reason_.empty()) reason_ = "no file is being written";
        return false;
    }
    if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max()) - n) return fail("write", EFBIG);
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < n) {
        size_t chunk = std::min(kSafeWriteChunk, n - done);
        if (int error = injectedError(WriteStep::Write, offset + done, chunk)) return fail("write", error);
        ssize_t r = ::pwrite(file_.get(), bytes + done, chunk, static_cast<off_t>(offset + done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return fail("write", errno);
        if (r == 0) return fail("write", ENOSPC);
        done += static_cast<size_t>(r);
    }
    end_ = std::max<uint64_t>(end_, offset + n);
    return true;
}

bool SafeWriter::truncate(uint64_t size) {
    if (!file_.ok()) {
        if (reason_.empty()) reason_ = "no file is being written";
        return false;
    }
    if (size > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) return fail("truncate", EFBIG);
    if (::ftruncate(file_.get(), static_cast<off_t>(size)) != 0) return fail("truncate", errno);
    end_ = size;
    return true;
}

bool SafeWriter::commit(bool replace) {
    if (!file_.ok()) {
        if (reason_.empty()) reason_ = "no file is being written";
        return false;
    }
    if (int error = injectedError(WriteStep::Sync, end_, 0)) return fail("sync", error);
    if (::fsync(file_.get()) != 0) return fail("sync", errno);
    if (::close(file_.release()) != 0 && errno != EINTR) return fail("close", errno);
    if (int error = injectedError(WriteStep::Rename, end_, 0)) return fail("rename over", error);
    if (!renameEntry(dir_.get(), temporary_, dir_.get(), leaf_, replace)) return fail("rename over", errno);
    temporary_.clear();
    // The rename is done; a directory sync that fails (some file systems
    // refuse it) leaves the new file in place and is not a failed write.
    ::fsync(dir_.get());
    dir_.reset();
    return true;
}

void SafeWriter::abort() {
    file_.reset();
    if (dir_.ok() && !temporary_.empty()) ::unlinkat(dir_.get(), temporary_.c_str(), 0);
    temporary_.clear();
    dir_.reset();
}

bool writeFileSafely(const GameRoot& root, std::string_view name, std::span<const uint8_t> data, std::string* reason) {
    SafeWriter out;
    bool ok = out.begin(root, name) && out.write(data) && out.commit();
    if (!ok && reason) *reason = out.reason();
    return ok;
}

bool writeFileSafely(const std::string& hostPath, std::span<const uint8_t> data, std::string* reason) {
    SafeWriter out;
    bool ok = out.begin(hostPath) && out.write(data) && out.commit();
    if (!ok && reason) *reason = out.reason();
    return ok;
}

}  // namespace qf
