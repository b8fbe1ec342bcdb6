#include "res/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/report.h"
#include "platform/sjis.h"
#include "res/disk_path.h"
#include "res/game_root.h"
#include "res/posix_file.h"

namespace qf {

int64_t fileSizeGet(const GameRoot& root, std::string_view name) { return root.size(name); }

int64_t fileRead(const GameRoot& root, std::string_view name, std::span<uint8_t> buffer, int64_t size, int64_t offset) {
    PosixFile f(root.openRead(name));
    if (!f.ok() || offset < 0) return 0;
    if (size < 0) size = f.size();
    if (size < 0) return 0;
    size_t wanted = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(size), buffer.size()));
    return f.readAt(buffer.data(), wanted, static_cast<uint64_t>(offset));
}

int64_t fileWrite(const GameRoot& root, std::string_view name, std::span<const uint8_t> data, int64_t size,
                  int64_t offset) {
    std::optional<std::string> relative = root.resolve(name);
    if (!relative) return 0;
    PosixFile f(root.openResolved(*relative, O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    struct stat st {};
    if (!f.ok() || offset < 0 || ::fstat(f.fd(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    if (size < 0) size = f.size();
    if (size < 0) return 0;
    size_t wanted = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(size), data.size()));
    return f.writeAt(data.data(), wanted, static_cast<uint64_t>(offset));
}

int32_t fileCopy(const GameRoot& root, std::string_view newName, std::string_view existingName, bool failIfExists) {
    return root.copy(existingName, newName, failIfExists) ? 1 : 0;
}

int32_t fileDelete(const GameRoot& root, Host& host, std::string_view name) {
    if (!root.remove(name)) dialog(host, sj("削除に失敗しました"), "fileDelete()");
    return 1;
}

std::optional<std::string> fileTimeGetStr(const GameRoot& root, std::string_view name) {
    std::optional<std::time_t> when = root.lastWriteTime(name);
    if (!when) return std::nullopt;
    std::tm local {};
    localtime_r(&*when, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return std::string(text);
}

int32_t fileDirCreate(const GameRoot& root, std::string_view name) { return root.makeDirectory(name) ? 1 : 0; }

int32_t fileListGet(const GameRoot& root, std::string& out, std::string_view dir, int32_t mode,
                    std::string_view pattern) {
    if (mode & 4) {
        mode -= 4;
    } else {
        out.clear();
    }
    std::string combined = toDiskSeparators(std::string(dir) + std::string(pattern));
    size_t slash = combined.rfind('/');
    std::string directory = slash == std::string::npos ? std::string() : combined.substr(0, slash);
    std::string wildcard = slash == std::string::npos ? combined : combined.substr(slash + 1);
    int32_t listed = 0;
    for (const DirEntry& e : root.list(directory)) {
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

}  // namespace qf
