// Layout 1 of the ROM archive, the one written today: a plain 256-byte outer
// header, a scrambled 32-byte inner header, the scrambled tables of sizes,
// CRCs and names, then the entries, each scrambled as its own block.
#pragma once

#include "res/rom.h"

namespace qf {

class S_Rom1 : public S_Rom {
public:
    static constexpr uint32_t kOuterHeaderSize = 256;
    static constexpr uint32_t kInnerHeaderSize = 32;
    static constexpr uint32_t kTableStart = kOuterHeaderSize + kInnerHeaderSize;

    S_Rom1(Host& host, ErrorLog& log);
    ~S_Rom1() override;

    bool OpenFile(std::unique_ptr<PosixFile> file, const std::string& name) override;
    // Every entry's CRC against the stored one; all entries are compared.
    // The failing indexes are left in m_badEntries.
    bool Verify() override;
    // Collects the files to pack and fills both headers; `info` is a 256-byte
    // block for the outer header, or null.
    void MakeHeader(const uint8_t* info) override;
    // Writes the archive. Sizes and CRCs are taken while each file is copied;
    // a file that cannot be read is dropped from the table (with an error-log
    // line) before the table is written. False when the archive cannot be
    // written or the checkpoint asked to stop.
    bool Write(SafeWriter& out) override;
    void Dump() override;

    uint8_t m_Head[kOuterHeaderSize] = {};
    uint8_t m_HeadIn[kInnerHeaderSize] = {};
    std::vector<uint32_t> m_pCrcFile;
    std::vector<uint32_t> m_pCrc;
    std::vector<int> m_badEntries;
    // Called between the chunks of Write; returning false stops the write.
    std::function<bool()> m_checkpoint;

private:
    void fillHeaders();
    void rebuildNameList();
    bool writeEntries(SafeWriter& out, bool& dropped);
    bool checkpoint() const { return !m_checkpoint || m_checkpoint(); }
};

}  // namespace qf
