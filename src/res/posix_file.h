// A regular file's descriptor that closes itself, with whole-range reads and writes.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qf {

class PosixFile {
public:
    PosixFile() = default;
    PosixFile(const std::string& path, int flags) { open(path, flags); }
    // Takes ownership of an open descriptor (-1: none).
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() { close(); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool open(const std::string& path, int flags) {
        close();
        // Non-blocking so that a FIFO cannot hang the open; only regular
        // files are accepted.
        fd_ = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
        if (fd_ >= 0) {
            struct stat st {};
            if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
                close();
            } else {
                ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
            }
        }
        return ok();
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    int64_t size() const {
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
        return st.st_size;
    }
    // Bytes read, fewer at the end of the file or on an error.
    int64_t readAt(void* data, size_t n, uint64_t offset) const {
        auto* p = static_cast<char*>(data);
        size_t done = 0;
        while (done < n) {
            ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            done += static_cast<size_t>(r);
        }
        return static_cast<int64_t>(done);
    }
    int64_t writeAt(const void* data, size_t n, uint64_t offset) const {
        const auto* p = static_cast<const char*>(data);
        size_t done = 0;
        while (done < n) {
            ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            done += static_cast<size_t>(r);
        }
        return static_cast<int64_t>(done);
    }

private:
    int fd_ = -1;
};

}  // namespace qf
