#include "res/file_manager.h"

#include <climits>

#include "res/error_log.h"
#include "res/file_io.h"
#include "res/rom_check.h"

namespace qf {

void FileManager::RomCheck(const std::string& name) { m_nRomType = romLayoutCheck(m_host, m_root, name); }

bool FileManager::RomOpen(const std::string& path) {
    RomCheck(path);
    if (m_nRomType == -1) return false;
    m_pRom = makeRom(m_nRomType, m_host, m_log);
    bool opened = m_pRom->Open(m_root, path);
    m_nRomMode = 2;
    if (!opened || !m_pRom->Verify()) {
        m_log.add(5, path);
        m_bRomOk = 0;
    }
    return opened;
}

int32_t FileManager::RomFind(std::string_view name) const { return m_pRom ? m_pRom->Find(name) : -1; }

void resManagerSet(ResourceAccess& access, FileManager* manager) { access.m_pManager = manager; }

namespace {

bool archiveMode(const ResourceAccess& access) { return access.m_pManager && access.m_pManager->m_nRomMode == 2; }

}  // namespace

int32_t resSizeGet(const ResourceAccess& access, std::string_view name) {
    if (!archiveMode(access)) {
        if (!access.m_pManager) return -1;
        int64_t size = fileSizeGet(access.m_pManager->Root(), name);
        if (size > kMaxResourceBytes) {
            access.m_pManager->m_log.add(2, std::string(name));
            return -1;
        }
        return static_cast<int32_t>(size);
    }
    int32_t index = access.m_pManager->RomFind(name);
    if (index < 0) return 0;
    return static_cast<int32_t>(access.m_pManager->m_pRom->m_pSize[static_cast<size_t>(index)]);
}

int32_t resRead(const ResourceAccess& access, std::string_view name, std::span<uint8_t> buffer, int32_t size,
                int32_t offset) {
    if (!archiveMode(access)) {
        if (!access.m_pManager) return 0;
        return static_cast<int32_t>(fileRead(access.m_pManager->Root(), name, buffer, size, offset));
    }
    int32_t index = access.m_pManager->RomFind(name);
    if (index < 0) return 0;
    S_Rom& rom = *access.m_pManager->m_pRom;
    if (rom.m_pSize[static_cast<size_t>(index)] == 0) return -1;
    int64_t stored = rom.ReadIndexInto(index, buffer.data(), buffer.size());
    return stored <= 0 ? -1 : static_cast<int32_t>(stored);
}

}  // namespace qf
