#include "res/file.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "res/crc32.h"
#include "res/disk_path.h"
#include "res/file_io.h"
#include "res/game_root.h"
#include "res/posix_file.h"
#include "res/safe_write.h"

namespace qf {

File::File(const GameRoot& root, Host* trace, int32_t share) : m_nShare(share), m_pTrace(trace), m_root(root) {}

File::File(const GameRoot& root, std::string_view name, int64_t size, int64_t offset, Host* trace, int32_t share)
    : m_nShare(share), m_pTrace(trace), m_root(root) {
    Read(name, size, offset);
}

void File::rememberName(std::string_view name) {
    size_t n = std::min(name.size(), sizeof m_szName - 1);
    std::memcpy(m_szName, name.data(), n);
    m_szName[n] = 0;
}

bool File::trace(std::string_view caption, std::string_view text) const {
    if (!m_pTrace) return false;
    dbg(*m_pTrace, caption, text);
    return true;
}

int64_t File::SizeGet(std::string_view name) {
    rememberName(name);
    int64_t size = fileSizeGet(m_root, name);
    if (size < 0) {
        trace(sj("エラー：File::SizeGet()"), sj("ファイルの読み込みに失敗しました：") + std::string(name));
        return -1;
    }
    m_nSize = size;
    return size;
}

int64_t File::Read(std::string_view name, int64_t size, int64_t offset) {
    PosixFile f(m_root.openRead(name));
    int64_t fileSize = f.ok() ? f.size() : -1;
    if (fileSize < 0 || offset < 0) {
        trace(sj("エラー：File::Read()"), sj("ファイルの読み込みに失敗しました：") + std::string(name));
        return -1;
    }
    if (size < 0) size = fileSize;
    // Never allocate more than the file can deliver from `offset`.
    int64_t available = std::max<int64_t>(0, fileSize - offset);
    size = std::min(size, available);
    auto block = std::make_unique<uint8_t[]>(static_cast<size_t>(size) + 1);
    int64_t got = f.readAt(block.get(), static_cast<size_t>(size), static_cast<uint64_t>(offset));
    block[static_cast<size_t>(got)] = 0;
    m_pData = std::move(block);
    m_nSize = got;
    rememberName(name);
    return got;
}

void File::Set(const void* data, int64_t n) {
    if (n < 0) n = 0;
    auto block = std::make_unique<uint8_t[]>(static_cast<size_t>(n) + 1);
    if (n > 0) std::memcpy(block.get(), data, static_cast<size_t>(n));
    block[static_cast<size_t>(n)] = 0;
    m_pData = std::move(block);
    m_nSize = n;
}

int64_t File::replaceWhole(std::string_view name, int64_t size, int64_t offset) {
    SafeWriter out;
    bool ok = out.begin(m_root, name);
    if (ok && size > 0) ok = out.writeAt(m_pData.get(), static_cast<size_t>(size), static_cast<uint64_t>(offset));
    return ok && out.commit() ? size : -1;
}

int64_t File::Create(std::string_view name, int64_t size, int64_t offset) {
    if (size < 0) size = 0;  // the truncated file's size
    size = std::min(size, m_pData ? m_nSize : 0);
    int64_t written = offset < 0 ? -1 : replaceWhole(name, size, offset);
    if (written < 0) {
        trace(sj("エラー：File::Create()"), sj("ファイルの作成に失敗しました：") + std::string(name));
        return 0;
    }
    return written;
}

int64_t File::Write(std::string_view name, int64_t size, int64_t offset, int32_t keep) {
    const int64_t n = m_pData && m_nSize > 0 ? m_nSize : 0;
    int64_t written = -1;
    if (offset >= 0 && keep == 0) {
        written = replaceWhole(name, n, offset);
    } else if (offset >= 0) {
        std::optional<std::string> relative = m_root.resolve(name);
        PosixFile f(relative ? m_root.openResolved(*relative, O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666) : -1);
        struct stat st {};
        if (f.ok() && ::fstat(f.fd(), &st) == 0 && S_ISREG(st.st_mode))
            written = n == 0 ? 0 : f.writeAt(m_pData.get(), static_cast<size_t>(n), static_cast<uint64_t>(offset));
    }
    if (written != n) {
        trace(sj("エラー：File::Write()"), sj("ファイルの書き込みに失敗しました：") + std::string(name));
        return written < 0 ? 0 : written;
    }
    return written;
}

int64_t File::Write(std::string_view name, const void* data, int64_t n, int64_t offset, int32_t keep) {
    Set(data, n);
    return Write(name, n, offset, keep);
}

int32_t File::Copy(std::string_view newName, std::string_view existingName, bool failIfExists) {
    if (fileCopy(m_root, newName, existingName, failIfExists)) return 1;
    return trace(sj("エラー：File::Copy()"), std::string(existingName)) ? 1 : 0;
}

int32_t File::Delete(std::string_view name) {
    if (m_root.remove(name)) return 1;
    return trace(sj("エラー：File::Delete()"), std::string(name)) ? 1 : 0;
}

uint32_t File::Crc() const { return engineCrc32(m_pData.get(), m_pData ? m_nSize : 0); }

}  // namespace qf
