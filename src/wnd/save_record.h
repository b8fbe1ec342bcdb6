// Save records: the "AD1" file that keeps a game's state. A 64-byte header
// (magic, sizes, CRC, the game's record name) is followed by the display
// text, the 256 flags and the variable text; the CRC covers the whole file
// with its own field zero, and the whole file is one block of the keystream
// scrambling.
//
// Little-endian layout after unscrambling:
//   0  "AD1\0"          20 zero
//   4  header size 64    24 CRC
//   8  A = text + 1      28 zero (2 bytes)
//  12  B = 1024          30 name length (2 bytes)
//  16  C = variables     32 name, zero-terminated, at most 31 bytes
//  64 display text (A bytes, zero-terminated), flags (B), variable text (C)
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

class ErrorLog;
class GameRoot;
class Host;
class Keystream;

constexpr size_t kRecordHeaderSize = 64;
constexpr uint32_t kRecordFlagCount = 256;
constexpr uint32_t kRecordFlagBytes = kRecordFlagCount * 4;
constexpr size_t kRecordNameLimit = 31;
// A file larger than this is not read as a record.
constexpr uint64_t kRecordMaxBytes = uint64_t(256) << 20;

struct RecordContents {
    std::string name;          // as stored: at most 31 bytes
    std::string displayText;   // up to its terminating zero
    int32_t flags[kRecordFlagCount] = {};
    std::string variableText;
};

// The plain file: header, blocks and CRC. A name longer than 31 bytes keeps
// its first 31.
std::vector<uint8_t> buildRecord(std::string_view name, std::string_view displayText,
                                 const int32_t (&flags)[kRecordFlagCount], std::string_view variableText);

enum class RecordCheck {
    Loaded,
    Damaged,  // sizes beyond the file, or a CRC that does not match
    Foreign,  // not "AD1" with a 64-byte header and a 1024-byte flag block, or another game's name
};

// Reads a plain (unscrambled) file. Every size is checked against the bytes
// there are before it is used. `out` is filled only when the result is Loaded.
RecordCheck parseRecord(std::span<const uint8_t> plain, std::string_view expectedName, RecordContents& out);

// The record name as the header keeps it.
std::string_view recordName(std::string_view name);

// What saving and loading a record file use of the engine.
struct RecordFiles {
    const GameRoot& root;
    ErrorLog& errorLog;
    Host& host;
    Keystream& keystream;
    // The player's directory for this game when the game directory cannot be
    // written to: records are saved there (with the folders their names
    // need) and read from there first, then from the game directory.
    const GameRoot* userData = nullptr;
};

// Writes the scrambled record beside `file` and renames it over the old one
// only once every byte is on disk. On failure the old record is untouched, the
// error log gets a line of kind 3 with the file name and a debug line says why.
bool saveRecord(const RecordFiles& io, std::string_view file, std::string_view name, std::string_view displayText,
                const int32_t (&flags)[kRecordFlagCount], std::string_view variableText);

// Reads and unscrambles `file`. A damaged record adds an error-log line of
// kind 5 with the file name; a missing file or another game's record fails
// silently.
std::optional<RecordContents> loadRecord(const RecordFiles& io, std::string_view file, std::string_view expectedName);

}  // namespace qf
