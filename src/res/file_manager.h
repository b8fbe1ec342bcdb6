// The resource lookup: every game resource is asked for by name and comes
// either from the open ROM archive (archive mode) or from the game directory.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "res/game_root.h"
#include "res/rom.h"

namespace qf {

class ErrorLog;
class Host;

class FileManager {
public:
    static constexpr int kInfoSize = 272;

    FileManager(Host& host, ErrorLog& log) : m_host(host), m_log(log) {}

    // The game directory every game name is resolved beneath. Until one is
    // set every name fails as missing.
    void SetRoot(GameRoot root) { m_root = std::move(root); }
    const GameRoot& Root() const { return m_root; }

    // Layout detection and version acceptance; the result goes to m_nRomType.
    void RomCheck(const std::string& name);
    // Checks and opens the archive and switches to archive mode. False when
    // the version is refused (nothing changes) or the table cannot be loaded
    // (archive mode with no entries, m_bRomOk 0, an error-log line of kind 5).
    // A layout 1 archive is verified; a CRC failure logs kind 5 and clears m_bRomOk.
    bool RomOpen(const std::string& name);
    // Index of the entry in the open archive; -1 when absent.
    int32_t RomFind(std::string_view name) const;

    int32_t m_nRomMode = 0;  // 0 nothing loaded, 1 loose files, 2 archive
    int32_t m_nRomType = 0;  // -1 refused version, 0 layout 0, 1 layout 1
    std::unique_ptr<S_Rom> m_pRom;
    uint8_t m_Info[kInfoSize] = {};
    int32_t m_bRomOk = 1;

    Host& m_host;
    ErrorLog& m_log;

private:
    GameRoot m_root = GameRoot::none();
};

// The manager that an engine's resource calls go through.
struct ResourceAccess {
    FileManager* m_pManager = nullptr;
};

void resManagerSet(ResourceAccess& access, FileManager* manager);

// Resources larger than this are refused (a line in the error log says so).
constexpr int64_t kMaxResourceBytes = int64_t(256) << 20;

// Size of the resource in bytes; from disk -1 when missing or too large, from the archive 0.
int32_t resSizeGet(const ResourceAccess& access, std::string_view name);

// Copies the resource into `buffer`, never more than it holds. From disk
// `size` bytes (-1: the whole file) at `offset`, 0 when missing; from the
// archive the whole entry from its start whatever `size` and `offset` say,
// 0 when absent, -1 for an empty entry. Returns the bytes stored.
int32_t resRead(const ResourceAccess& access, std::string_view name, std::span<uint8_t> buffer, int32_t size = -1,
                int32_t offset = 0);

}  // namespace qf
