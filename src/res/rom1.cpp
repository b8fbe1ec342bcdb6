#include "res/rom1.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "res/crc32.h"
#include "res/disk_path.h"
#include "res/error_log.h"
#include "res/game_root.h"
#include "res/posix_file.h"
#include "res/safe_write.h"

namespace qf {

namespace {

// Small enough that a chunk stays in the cache between reading, unscrambling and CRC.
constexpr size_t kChunk = 256u << 10;

// The engine's CRC over a block that arrives in chunks.
class ChunkedCrc {
public:
    void add(const uint8_t* data, size_t n, bool first) {
        if (first) m_zeroFirst = n == 0 || data[0] == 0;
        if (m_zeroFirst || n == 0) return;
        m_crc = crc32(m_crc, data, static_cast<uInt>(n));
    }
    uint32_t value() const { return m_zeroFirst ? 0 : static_cast<uint32_t>(m_crc); }

private:
    uLong m_crc = crc32(0L, Z_NULL, 0);
    bool m_zeroFirst = true;
};

}  // namespace

S_Rom1::S_Rom1(Host& host, ErrorLog& log) : S_Rom(host, log) { m_pHeader.assign(kInnerHeaderSize, 0); }

S_Rom1::~S_Rom1() = default;

bool S_Rom1::OpenFile(std::unique_ptr<PosixFile> opened, const std::string& path) {
    Close();
    m_pCrc.clear();
    m_strRom = path;
    m_file = std::move(opened);
    PosixFile& file = *m_file;
    m_pHeader.assign(kInnerHeaderSize, 0);
    if (!file.ok() || file.readAt(m_Head, kOuterHeaderSize, 0) != kOuterHeaderSize ||
        file.readAt(m_pHeader.data(), kInnerHeaderSize, kOuterHeaderSize) != kInnerHeaderSize)
        return refuse(path);
    m_keystream.apply(m_pHeader.data(), kInnerHeaderSize);
    uint32_t n = readLe32(&m_pHeader[20]);
    uint32_t t = readLe32(&m_pHeader[24]);
    if (!loadTable(file, kTableStart, n, t, 2, &m_pCrc)) return refuse(path);
    return true;
}

bool S_Rom1::Verify() {
    m_badEntries.clear();
    if (!m_bOpen) return true;
    PosixFile& file = *m_file;
    std::vector<uint8_t> buffer;
    for (int i = 0; i < m_nNum; ++i) {
        uint64_t size = m_pSize[i];
        ChunkedCrc crc;
        bool readable = file.ok();
        for (uint64_t done = 0; readable && done < size;) {
            size_t take = static_cast<size_t>(std::min<uint64_t>(kChunk, size - done));
            buffer.resize(std::max(buffer.size(), take));
            if (file.readAt(buffer.data(), take, m_pAddr[i] + done) != static_cast<int64_t>(take)) {
                readable = false;
                break;
            }
            m_keystream.apply(buffer.data(), take, done);
            crc.add(buffer.data(), take, done == 0);
            done += take;
        }
        if (!readable || crc.value() != m_pCrc[i]) m_badEntries.push_back(i);
    }
    return m_badEntries.empty();
}

void S_Rom1::rebuildNameList() {
    m_strNameList.clear();
    for (size_t i = 0; i < m_pName.size(); ++i) {
        if (i) m_strNameList += '\n';
        m_strNameList += m_pName[i];
    }
    m_nNum = static_cast<int32_t>(m_pName.size());
}

void S_Rom1::fillHeaders() {
    std::memcpy(m_Head, "AR1", 3);
    m_Head[3] = 1;
    m_Head[4] = 0;
    m_Head[5] = 0;
    m_Head[6] = static_cast<uint8_t>(kOuterHeaderSize & 0xFF);
    m_Head[7] = static_cast<uint8_t>(kOuterHeaderSize >> 8);

    uint64_t n = m_pName.size();
    uint64_t t = m_strNameList.size() + 8 * n;
    uint64_t total = kTableStart + t;
    for (uint32_t size : m_pSize) total += size;
    std::memset(m_HeadIn, 0, sizeof m_HeadIn);
    std::memcpy(m_HeadIn, "AR1", 4);
    m_HeadIn[4] = 1;
    m_HeadIn[5] = 0;
    m_HeadIn[6] = 0;
    m_HeadIn[7] = 1;
    writeLe32(&m_HeadIn[8], kInnerHeaderSize);
    writeLe32(&m_HeadIn[16], static_cast<uint32_t>(total));
    writeLe32(&m_HeadIn[20], static_cast<uint32_t>(n));
    writeLe32(&m_HeadIn[24], static_cast<uint32_t>(t));
    writeLe32(&m_HeadIn[12], engineCrc32(m_HeadIn, kInnerHeaderSize));
}

void S_Rom1::MakeHeader(const uint8_t* info) {
    Close();
    m_strNameList.clear();
    m_pCrcFile.clear();
    CollectFiles();
    m_pCrcFile.assign(m_pName.size(), 0);
    std::memset(m_Head, 0, sizeof m_Head);
    if (info) std::memcpy(m_Head, info, kOuterHeaderSize);
    fillHeaders();
}

// Copies every entry, scrambled, after the table. Sets `dropped` and stops at
// the first file that cannot be read, after removing it from the table.
bool S_Rom1::writeEntries(SafeWriter& out, bool& dropped) {
    dropped = false;
    uint64_t offset = kTableStart + m_strNameList.size() + 8ull * m_pName.size();
    std::vector<uint8_t> buffer;
    for (size_t i = 0; i < m_pName.size(); ++i) {
        PosixFile in(m_source ? m_source->openRead(diskName(m_pName[i])) : -1);
        int64_t size = in.ok() ? in.size() : -1;
        bool readable = size >= 0 && size <= INT32_MAX;
        ChunkedCrc crc;
        uint64_t done = 0;
        while (readable && done < static_cast<uint64_t>(size)) {
            if (!checkpoint()) return false;
            size_t take = static_cast<size_t>(std::min<uint64_t>(kChunk, static_cast<uint64_t>(size) - done));
            buffer.resize(std::max(buffer.size(), take));
            if (in.readAt(buffer.data(), take, done) != static_cast<int64_t>(take)) {
                readable = false;
                break;
            }
            crc.add(buffer.data(), take, done == 0);
            m_keystream.apply(buffer.data(), take, done);
            if (!out.writeAt(buffer.data(), take, offset + done)) return false;
            done += take;
        }
        if (!readable) {
            m_log.add(1, m_pName[i]);
            m_pName.erase(m_pName.begin() + static_cast<std::ptrdiff_t>(i));
            m_pSize.erase(m_pSize.begin() + static_cast<std::ptrdiff_t>(i));
            m_pCrcFile.erase(m_pCrcFile.begin() + static_cast<std::ptrdiff_t>(i));
            dropped = true;
            return true;
        }
        m_pSize[i] = static_cast<uint32_t>(size);
        m_pCrcFile[i] = crc.value();
        offset += static_cast<uint64_t>(size);
    }
    return true;
}

bool S_Rom1::Write(SafeWriter& out) {
    if (!out.active()) return false;
    m_pCrcFile.resize(m_pName.size(), 0);
    m_pSize.resize(m_pName.size(), 0);

    // The archive never packs itself (the temporary it is being written to)
    // nor its own earlier version: a tool may write it inside the directory it packs.
    struct stat self {};
    const bool selfKnown = ::fstat(out.fd(), &self) == 0;
    auto isSkipped = [&](const struct stat& st) {
        const auto device = static_cast<uint64_t>(st.st_dev), inode = static_cast<uint64_t>(st.st_ino);
        return (selfKnown && st.st_dev == self.st_dev && st.st_ino == self.st_ino) ||
               (m_skipInode != 0 && device == m_skipDevice && inode == m_skipInode);
    };
    if (m_source) {
        for (size_t i = 0; i < m_pName.size();) {
            PosixFile in(m_source->openRead(diskName(m_pName[i])));
            struct stat st {};
            if (in.ok() && ::fstat(in.fd(), &st) == 0 && isSkipped(st)) {
                m_pName.erase(m_pName.begin() + static_cast<std::ptrdiff_t>(i));
                m_pSize.erase(m_pSize.begin() + static_cast<std::ptrdiff_t>(i));
                m_pCrcFile.erase(m_pCrcFile.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
    }

    // A dropped entry changes the table's size and so every data offset: the
    // entries are written again from the start (the files are cached by then).
    for (;;) {
        rebuildNameList();
        bool dropped = false;
        if (!writeEntries(out, dropped)) return false;
        if (!dropped) break;
    }
    fillHeaders();

    uint64_t n = m_pName.size();
    std::vector<uint8_t> table(kInnerHeaderSize + 8 * n + m_strNameList.size());
    std::memcpy(table.data(), m_HeadIn, kInnerHeaderSize);
    m_keystream.apply(table.data(), kInnerHeaderSize);
    uint8_t* sizes = table.data() + kInnerHeaderSize;
    uint8_t* crcs = sizes + 4 * n;
    uint8_t* names = crcs + 4 * n;
    for (size_t i = 0; i < n; ++i) {
        writeLe32(sizes + 4 * i, m_pSize[i]);
        writeLe32(crcs + 4 * i, m_pCrcFile[i]);
    }
    std::memcpy(names, m_strNameList.data(), m_strNameList.size());
    m_keystream.apply(sizes, static_cast<size_t>(4 * n));
    m_keystream.apply(crcs, static_cast<size_t>(4 * n));
    m_keystream.apply(names, m_strNameList.size());

    uint64_t total = kTableStart + table.size() - kInnerHeaderSize;
    for (uint32_t size : m_pSize) total += size;
    return out.writeAt(m_Head, kOuterHeaderSize, 0) && out.writeAt(table.data(), table.size(), kOuterHeaderSize) &&
           out.truncate(total);
}

void S_Rom1::Dump() {
    std::string text = dumpText("S_Rom:");
    text += sj("CRC：") + "\n";
    for (uint32_t crc : m_pCrc) text += std::to_string(crc) + "\n";
    dbg(m_host, text);
}

}  // namespace qf
