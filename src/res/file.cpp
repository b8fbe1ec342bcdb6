#include "res/file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "res/crc32.h"
#include "res/disk_path.h"
#include "res/file_io.h"
#include "res/posix_file.h"

namespace qf {

File::File(Host* trace, int32_t share) : m_nShare(share), m_pTrace(trace) {}

File::File(std::string_view name, int64_t size, int64_t offset, Host* trace, int32_t share)
    : m_nShare(share), m_pTrace(trace) {
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
    int64_t size = fileSizeGet(name);
    if (size < 0) {
        trace(sj("エラー：File::SizeGet()"), sj("ファイルの読み込みに失敗しました：") + std::string(name));
        return -1;
    }
    m_nSize = size;
    return size;
}

int64_t File::Read(std::string_view name, int64_t size, int64_t offset) {
    PosixFile f(resolveDiskPath(name), O_RDONLY);
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

int64_t File::Create(std::string_view name, int64_t size, int64_t offset) {
    PosixFile f(resolveDiskPath(name), O_WRONLY | O_CREAT | O_TRUNC);
    if (!f.ok() || offset < 0) {
        trace(sj("エラー：File::Create()"), sj("ファイルの作成に失敗しました：") + std::string(name));
        return 0;
    }
    if (size < 0) size = 0;  // the truncated file's size
    size = std::min(size, m_pData ? m_nSize : 0);
    if (size == 0) return 0;
    return f.writeAt(m_pData.get(), static_cast<size_t>(size), static_cast<uint64_t>(offset));
}

int64_t File::Write(std::string_view name, int64_t size, int64_t offset, int32_t keep) {
    int flags = O_WRONLY | O_CREAT | (keep == 0 ? O_TRUNC : 0);
    PosixFile f(resolveDiskPath(name), flags);
    if (!f.ok() || offset < 0) {
        trace(sj("エラー：File::Write()"), sj("ファイルの書き込みに失敗しました：") + std::string(name));
        return 0;
    }
    if (!m_pData || m_nSize <= 0) return 0;
    int64_t written = f.writeAt(m_pData.get(), static_cast<size_t>(m_nSize), static_cast<uint64_t>(offset));
    if (written != m_nSize)
        trace(sj("エラー：File::Write()"), sj("ファイルの書き込みに失敗しました：") + std::string(name));
    return written;
}

int64_t File::Write(std::string_view name, const void* data, int64_t n, int64_t offset, int32_t keep) {
    Set(data, n);
    return Write(name, n, offset, keep);
}

int32_t File::Copy(std::string_view newName, std::string_view existingName, bool failIfExists) {
    if (fileCopy(newName, existingName, failIfExists)) return 1;
    return trace(sj("エラー：File::Copy()"), std::string(existingName)) ? 1 : 0;
}

int32_t File::Delete(std::string_view name) {
    if (::unlink(resolveDiskPath(name).c_str()) == 0) return 1;
    return trace(sj("エラー：File::Delete()"), std::string(name)) ? 1 : 0;
}

uint32_t File::Crc() const { return engineCrc32(m_pData.get(), m_pData ? m_nSize : 0); }

}  // namespace qf
