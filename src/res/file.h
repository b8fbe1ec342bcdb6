// A byte block together with the name of the file it came from.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace qf {

class GameRoot;
class Host;

// Files are named beneath the game root; a file the engine replaces whole is
// written beside its target and renamed over it only when complete.
class File {
public:
    static constexpr int32_t kShareAll = 7;

    // `trace`: where failures are reported as debugger lines; null reports nothing.
    explicit File(const GameRoot& root, Host* trace = nullptr, int32_t share = kShareAll);
    File(const GameRoot& root, std::string_view name, int64_t size, int64_t offset, Host* trace = nullptr,
         int32_t share = kShareAll);

    // Size of the file, remembered in m_nSize and m_szName; -1 on failure.
    int64_t SizeGet(std::string_view name);
    // Reads `size` bytes (-1: the whole file) at `offset` into a new block that
    // ends in one zero byte; returns the bytes read, -1 on failure (data kept).
    int64_t Read(std::string_view name, int64_t size = -1, int64_t offset = 0);
    void Set(const void* data, int64_t n);
    // Creates or truncates the file and writes `size` bytes of the data
    // (-1: the size of the file after truncation, that is none) at `offset`.
    int64_t Create(std::string_view name, int64_t size, int64_t offset);
    // keep = 0: the file ends up holding exactly the data (from `offset`);
    // keep != 0: the data overwrite the file in place from `offset`.
    int64_t Write(std::string_view name, int64_t size, int64_t offset, int32_t keep);
    int64_t Write(std::string_view name, const void* data, int64_t n, int64_t offset, int32_t keep);
    // 1 on success; on failure 1 when the failure was traced, 0 otherwise.
    int32_t Copy(std::string_view newName, std::string_view existingName, bool failIfExists);
    int32_t Delete(std::string_view name);
    // The engine's CRC-32 of the data.
    uint32_t Crc() const;

    std::unique_ptr<uint8_t[]> m_pData;
    char m_szName[260] = {};
    int64_t m_nSize = 0;
    int32_t m_nShare = kShareAll;
    Host* m_pTrace = nullptr;

private:
    // Replaces the file with `size` bytes of the data at `offset` (zeros before it).
    int64_t replaceWhole(std::string_view name, int64_t size, int64_t offset);

    const GameRoot& m_root;
    void rememberName(std::string_view name);
    bool trace(std::string_view caption, std::string_view text) const;
};

}  // namespace qf
