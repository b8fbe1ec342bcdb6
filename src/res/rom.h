// The ROM archive ("AR1"): S_Rom reads layout 0, the older layout; S_Rom1
// (rom1.h) reads and writes layout 1. Tables and entries are scrambled with
// the keystream; entries are found by their exact name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "res/keystream.h"

namespace qf {

class ErrorLog;
class Host;
class GameRoot;
class PosixFile;
class SafeWriter;

class S_Rom {
public:
    static constexpr uint32_t kLayout0HeaderSize = 272;

    S_Rom(Host& host, ErrorLog& log);
    virtual ~S_Rom();
    S_Rom(const S_Rom&) = delete;
    S_Rom& operator=(const S_Rom&) = delete;

    // Resets every field and allocates the header block.
    virtual void Init();
    // Loads the table of the archive `name` in `dir`; the archive stays open
    // for reading. An archive whose table does not fit the file is refused
    // with a message box; false then.
    bool Open(const GameRoot& dir, const std::string& name);
    // The same for an archive already opened (the archive tools open host paths).
    virtual bool OpenFile(std::unique_ptr<PosixFile> file, const std::string& name);
    virtual void Close();
    // Index of the first entry named exactly `name`; -1 if none or not open.
    virtual int Find(std::string_view name) const;
    // The unscrambled bytes of entry i plus a terminating zero, valid until
    // the next Code call; null when not open, i is out of range or the read fails.
    virtual const uint8_t* ReadIndex(int i);
    virtual const uint8_t* Read(std::string_view name);
    // Layout 0 holds no CRCs: always true.
    virtual bool Verify();
    virtual void MakeHeader(const uint8_t* info);
    // Packs the collected files into `out` (begun, not committed).
    virtual bool Write(SafeWriter& out);
    // A new block of n + 1 bytes: `data` XOR keystream and a zero byte; owned
    // by the object. Null when n < 0.
    virtual const uint8_t* Code(const uint8_t* data, int64_t n);
    virtual int Count() const;
    // The table as a debugger line.
    virtual void Dump();
    // The files to pack, from the packing directory (ListFiles), without the
    // excluded names and extensions.
    virtual void CollectFiles();
    // The plain files of `dir` in the packing directory, then the files of its first-level
    // subdirectories as "directory\\file" (directories starting with "_"
    // left out), each followed by "\n", in Windows listing order.
    virtual void ListFiles(const std::string& dir, std::string& out);
    virtual void FreeCode();

    // Entry i unscrambled straight into `out`, at most `capacity` bytes.
    // Bytes stored; -1 when not open, out of range or the read fails.
    int64_t ReadIndexInto(int i, uint8_t* out, size_t capacity);

    // True when a listed name is packed: not starting with "_" and without an
    // excluded extension (compared byte for byte).
    static bool isPackedName(std::string_view name);

    std::vector<std::string> m_pName;
    std::vector<uint32_t> m_pSize;
    int32_t m_nNum = 0;
    int32_t m_bOpen = 0;
    std::string m_strRom;                 // the open archive's name, for messages
    std::unique_ptr<PosixFile> m_file;     // the open archive
    std::vector<uint64_t> m_pAddr;
    std::vector<uint8_t> m_pHeader;
    std::unique_ptr<uint8_t[]> m_pCode;
    std::string m_strNameList;
    // Packing: the directory the names are read from, and a file never to pack
    // (the archive's earlier version, by device and inode; 0 0: none).
    const GameRoot* m_source = nullptr;
    uint64_t m_skipDevice = 0, m_skipInode = 0;

protected:
    // Reads the table at `tableStart` (T bytes: `sizeBlocks` blocks of 4·N
    // bytes, then the name list) after checking that it and the entries fit
    // the file. `crcs` receives the second block when sizeBlocks is 2.
    bool loadTable(PosixFile& file, uint64_t tableStart, uint32_t n, uint32_t t, int sizeBlocks,
                   std::vector<uint32_t>* crcs);
    bool refuse(const std::string& path);
    std::string dumpText(const std::string& title) const;
    // A listed name ("dir\\file") as the packing directory's game name.
    static std::string diskName(const std::string& name) { return name; }

    Host& m_host;
    ErrorLog& m_log;
    Keystream m_keystream;
    std::unordered_map<std::string, int> m_firstIndex;
};

uint32_t readLe32(const uint8_t* p);
void writeLe32(uint8_t* p, uint32_t v);

}  // namespace qf
