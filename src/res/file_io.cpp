#include "res/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "platform/report.h"
#include "platform/sjis.h"
#include "res/disk_path.h"
#include "res/posix_file.h"

namespace qf {

int64_t fileSizeGet(std::string_view name) {
    PosixFile f(resolveDiskPath(name), O_RDONLY);
    if (!f.ok()) return -1;
    return f.size();
}

int64_t fileRead(std::string_view name, std::span<uint8_t> buffer, int64_t size, int64_t offset) {
    PosixFile f(resolveDiskPath(name), O_RDONLY);
    if (!f.ok() || offset < 0) return 0;
    if (size < 0) size = f.size();
    if (size < 0) return 0;
    size_t wanted = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(size), buffer.size()));
    return f.readAt(buffer.data(), wanted, static_cast<uint64_t>(offset));
}

int64_t fileWrite(std::string_view name, std::span<const uint8_t> data, int64_t size, int64_t offset) {
    PosixFile f(resolveDiskPath(name), O_WRONLY | O_CREAT);
    if (!f.ok() || offset < 0) return 0;
    if (size < 0) size = f.size();
    if (size < 0) return 0;
    size_t wanted = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(size), data.size()));
    return f.writeAt(data.data(), wanted, static_cast<uint64_t>(offset));
}

int32_t fileCopy(std::string_view newName, std::string_view existingName, bool failIfExists) {
    std::error_code ec;
    std::string from = resolveDiskPath(existingName);
    if (!std::filesystem::is_regular_file(from, ec)) return 0;
    auto options = failIfExists ? std::filesystem::copy_options::none
                                : std::filesystem::copy_options::overwrite_existing;
    return std::filesystem::copy_file(from, resolveDiskPath(newName), options, ec) && !ec ? 1 : 0;
}

int32_t fileDelete(Host& host, std::string_view name) {
    std::string path = resolveDiskPath(name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || ::unlink(path.c_str()) != 0)
        dialog(host, sj("削除に失敗しました"), "fileDelete()");
    return 1;
}

std::optional<std::string> fileTimeGetStr(std::string_view name) {
    struct stat st {};
    if (::stat(resolveDiskPath(name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    std::tm local {};
    localtime_r(&st.st_mtime, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return std::string(text);
}

int32_t fileDirCreate(std::string_view name) {
    return ::mkdir(resolveDiskPath(name).c_str(), 0777) == 0 ? 1 : 0;
}

int32_t fileListGet(std::string& out, std::string_view dir, int32_t mode, std::string_view pattern) {
    if (mode & 4) {
        mode -= 4;
    } else {
        out.clear();
    }
    std::string combined = toDiskSeparators(std::string(dir) + std::string(pattern));
    size_t slash = combined.rfind('/');
    std::string directory = slash == std::string::npos ? std::string(".") : combined.substr(0, slash);
    if (slash == 0) directory = "/";
    std::string wildcard = slash == std::string::npos ? combined : combined.substr(slash + 1);
    int32_t listed = 0;
    for (const DirEntry& e : listDirectory(resolveDiskPath(directory))) {
        if (!wildcardMatch(wildcard, e.name)) continue;
        bool wanted = e.isDirectory ? (mode & 1) != 0 : (mode & 2) != 0;
        if (!wanted) continue;
        if (mode == 3) out += e.isDirectory ? "[DIR_] " : "[FILE] ";
        out += e.name;
        out += '\n';
        ++listed;
    }
    return listed;
}

std::string fileCurDirGet() {
    std::error_code ec;
    std::string dir = std::filesystem::current_path(ec).string();
    return ec ? std::string() : dir;
}

void fileCurDirSet(std::string_view path) {
    if (::chdir(resolveDiskPath(path).c_str()) != 0) {
        // Like the Windows call: a failed change leaves the directory as it was.
    }
}

}  // namespace qf
