#include "res/rom.h"

#include <algorithm>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "res/disk_path.h"
#include "res/error_log.h"
#include "res/game_root.h"
#include "res/posix_file.h"

namespace qf {

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void writeLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

S_Rom::S_Rom(Host& host, ErrorLog& log) : m_host(host), m_log(log) { Init(); }

S_Rom::~S_Rom() = default;

void S_Rom::Init() {
    m_pName.clear();
    m_pSize.clear();
    m_nNum = 0;
    m_bOpen = 0;
    m_strRom.clear();
    m_pAddr.clear();
    m_pHeader.assign(kLayout0HeaderSize, 0);
    m_pCode.reset();
    m_strNameList.clear();
    m_firstIndex.clear();
}

void S_Rom::Close() {
    m_pName.clear();
    m_pSize.clear();
    m_pAddr.clear();
    m_firstIndex.clear();
    m_file.reset();
    m_nNum = 0;
    m_bOpen = 0;
}

bool S_Rom::refuse(const std::string& path) {
    Close();
    dialog(m_host, sj("ファイルが壊れている可能性があります：") + path, sj("エラー：S_Rom::Open()"));
    return false;
}

bool S_Rom::loadTable(PosixFile& file, uint64_t tableStart, uint32_t n, uint32_t t, int sizeBlocks,
                      std::vector<uint32_t>* crcs) {
    uint64_t fileSize = static_cast<uint64_t>(std::max<int64_t>(0, file.size()));
    uint64_t blockBytes = 4ull * n;
    if (blockBytes * static_cast<uint64_t>(sizeBlocks) > t || tableStart + t > fileSize) return false;
    std::vector<uint8_t> table(t);
    if (file.readAt(table.data(), t, tableStart) != t) return false;

    m_keystream.apply(table.data(), static_cast<size_t>(blockBytes));
    if (sizeBlocks == 2) m_keystream.apply(table.data() + blockBytes, static_cast<size_t>(blockBytes));
    uint64_t namesStart = blockBytes * static_cast<uint64_t>(sizeBlocks);
    m_keystream.apply(table.data() + namesStart, static_cast<size_t>(t - namesStart));

    m_pSize.resize(n);
    m_pAddr.resize(n);
    uint64_t address = tableStart + t;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t size = readLe32(&table[4ull * i]);
        if (size > static_cast<uint32_t>(INT32_MAX) || address + size > fileSize) return false;
        m_pSize[i] = size;
        m_pAddr[i] = address;
        address += size;
    }
    if (crcs) {
        crcs->resize(n);
        for (uint32_t i = 0; i < n; ++i) (*crcs)[i] = readLe32(&table[blockBytes + 4ull * i]);
    }

    // The name list: names joined by "\n"; empty fields are skipped, names
    // beyond N ignored, entries without a name are never found.
    m_pName.assign(n, std::string());
    const char* names = reinterpret_cast<const char*>(table.data() + namesStart);
    std::string_view list(names, static_cast<size_t>(t - namesStart));
    uint32_t k = 0;
    size_t start = 0;
    while (start <= list.size() && k < n) {
        size_t end = list.find('\n', start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) m_pName[k++] = std::string(list.substr(start, end - start));
        start = end + 1;
    }
    m_firstIndex.reserve(n);
    for (uint32_t i = 0; i < n; ++i)
        if (!m_pName[i].empty()) m_firstIndex.emplace(m_pName[i], static_cast<int>(i));
    m_nNum = static_cast<int32_t>(n);
    m_bOpen = 1;
    return true;
}

bool S_Rom::Open(const GameRoot& dir, const std::string& name) {
    return OpenFile(std::make_unique<PosixFile>(dir.openRead(name)), name);
}

bool S_Rom::OpenFile(std::unique_ptr<PosixFile> opened, const std::string& name) {
    Close();
    m_strRom = name;
    m_file = std::move(opened);
    PosixFile& file = *m_file;
    m_pHeader.assign(kLayout0HeaderSize, 0);
    if (!file.ok() || file.readAt(m_pHeader.data(), kLayout0HeaderSize, 0) != kLayout0HeaderSize)
        return refuse(name);
    uint32_t n = readLe32(&m_pHeader[264]);
    uint32_t t = readLe32(&m_pHeader[268]);
    if (!loadTable(file, kLayout0HeaderSize, n, t, 1, nullptr)) return refuse(name);
    return true;
}

int S_Rom::Find(std::string_view name) const {
    if (!m_bOpen) return -1;
    auto it = m_firstIndex.find(std::string(name));
    return it == m_firstIndex.end() ? -1 : it->second;
}

int64_t S_Rom::ReadIndexInto(int i, uint8_t* out, size_t capacity) {
    if (!m_bOpen || i < 0 || i >= m_nNum) return -1;
    size_t n = std::min<size_t>(m_pSize[i], capacity);
    if (n == 0) return 0;
    if (!m_file || !m_file->ok() || m_file->readAt(out, n, m_pAddr[i]) != static_cast<int64_t>(n)) return -1;
    m_keystream.apply(out, n);
    return static_cast<int64_t>(n);
}

const uint8_t* S_Rom::ReadIndex(int i) {
    if (!m_bOpen || i < 0 || i >= m_nNum) return nullptr;
    FreeCode();
    size_t n = m_pSize[i];
    auto block = std::make_unique<uint8_t[]>(n + 1);
    if (ReadIndexInto(i, block.get(), n) != static_cast<int64_t>(n)) return nullptr;
    block[n] = 0;
    m_pCode = std::move(block);
    return m_pCode.get();
}

const uint8_t* S_Rom::Read(std::string_view name) { return ReadIndex(Find(name)); }

bool S_Rom::Verify() { return true; }

void S_Rom::MakeHeader(const uint8_t*) {}

bool S_Rom::Write(SafeWriter&) { return false; }

const uint8_t* S_Rom::Code(const uint8_t* data, int64_t n) {
    FreeCode();
    if (n < 0) return nullptr;
    auto block = std::make_unique<uint8_t[]>(static_cast<size_t>(n) + 1);
    if (n > 0) {
        std::memcpy(block.get(), data, static_cast<size_t>(n));
        m_keystream.apply(block.get(), static_cast<size_t>(n));
    }
    block[static_cast<size_t>(n)] = 0;
    m_pCode = std::move(block);
    return m_pCode.get();
}

int S_Rom::Count() const { return m_nNum; }

void S_Rom::FreeCode() { m_pCode.reset(); }

std::string S_Rom::dumpText(const std::string& title) const {
    std::string text = title + "\n" + sj("ファイル数：") + std::to_string(m_nNum) + "\n";
    text += sj("ファイル名：") + "\n";
    for (const std::string& name : m_pName) text += name + "\n";
    text += sj("サイズ：") + "\n";
    for (uint32_t size : m_pSize) text += std::to_string(size) + "\n";
    text += sj("アドレス：") + "\n";
    for (uint64_t address : m_pAddr) text += std::to_string(address) + "\n";
    return text;
}

void S_Rom::Dump() { dbg(m_host, dumpText("S_Rom:")); }

namespace {

// Names the archive's name list can hold: it separates names with line feeds,
// and "directory\\file" must read back as the same two pieces, so a directory
// name may not end in the first byte of a double-byte character.
bool storableName(std::string_view name, bool directory) {
    if (name.find_first_of("\r\n") != std::string_view::npos) return false;
    if (!directory) return true;
    bool pendingLead = false;
    for (unsigned char c : name) pendingLead = pendingLead ? false : isCp932LeadByte(c);
    return !pendingLead;
}

}  // namespace

void S_Rom::ListFiles(const std::string& dir, std::string& out) {
    out.clear();
    if (!m_source) return;
    std::vector<DirEntry> top = m_source->list(dir);
    std::string text;
    for (const DirEntry& e : top)
        if (!e.isDirectory && storableName(e.name, false)) text += e.name + "\n";
    for (const DirEntry& d : top) {
        if (!d.isDirectory || d.name[0] == '_' || !storableName(d.name, true)) continue;
        for (const DirEntry& e : m_source->list(dir.empty() ? d.name : dir + "/" + d.name))
            if (!e.isDirectory && storableName(e.name, false)) text += d.name + "\\" + e.name + "\n";
    }
    out = std::move(text);
}

bool S_Rom::isPackedName(std::string_view name) {
    static constexpr std::string_view kExcluded[] = {"exe", "ar1", "fr1", "sav", "ini", "dll", "kpi", "spi",
                                                     "xpi", "obj", "cgl", "mak", "res", "tds", "TR2", "td2"};
    if (name.empty() || name[0] == '_') return false;
    // A temporary left by an archive write that was cut short ("rom.ar1.<unique>.tmp").
    const std::string folded = foldAsciiCase(name);
    if (folded.find(".AR1.") != std::string::npos && folded.ends_with(".TMP")) return false;
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return true;  // no extension: packed
    std::string_view extension = name.substr(dot + 1);
    return std::find(std::begin(kExcluded), std::end(kExcluded), extension) == std::end(kExcluded);
}

void S_Rom::CollectFiles() {
    std::string list;
    ListFiles("", list);
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::string name = list.substr(start, end - start);
        start = end + 1;
        if (!isPackedName(name)) continue;
        if (!m_strNameList.empty()) m_strNameList += '\n';
        m_strNameList += name;
        int64_t size = m_source ? m_source->size(diskName(name)) : -1;
        m_pName.push_back(name);
        m_pSize.push_back(size < 0 ? 0u : static_cast<uint32_t>(std::min<int64_t>(size, UINT32_MAX)));
        ++m_nNum;
    }
}

}  // namespace qf
