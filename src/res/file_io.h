// Whole-file and ranged reads and writes by name, sizes, times, copy, delete,
// directories. Names are Shift-JIS game names resolved beneath the game root
// ("\\" separators, any letter case); a name the root refuses fails like a
// missing file. Every function opens and closes the file within the call.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qf {

class GameRoot;
class Host;

// Size of an existing file; -1 when it cannot be opened.
int64_t fileSizeGet(const GameRoot& root, std::string_view name);

// Reads `size` bytes (-1: the file's whole size, counted from the start even
// when `offset` > 0) at `offset` into `buffer`, never more than it holds.
// Returns the bytes read; 0 when the file cannot be opened.
int64_t fileRead(const GameRoot& root, std::string_view name, std::span<uint8_t> buffer, int64_t size = -1,
                 int64_t offset = 0);

// Opens or creates the file (never truncating) and writes `size` bytes
// (-1: as many as the file currently holds) of `data` at `offset`, never more
// than `data` holds. Returns the bytes written; 0 when it cannot be opened.
int64_t fileWrite(const GameRoot& root, std::string_view name, std::span<const uint8_t> data, int64_t size = -1,
                  int64_t offset = 0);

// 1 on success, 0 on failure. The copy replaces its target only when complete.
int32_t fileCopy(const GameRoot& root, std::string_view newName, std::string_view existingName, bool failIfExists);

// Deletes the file; a failure is shown in a message box. Always 1.
int32_t fileDelete(const GameRoot& root, Host& host, std::string_view name);

// Last-write time in local time, "2024/05/06 13:04:09"; empty when the file
// cannot be opened.
std::optional<std::string> fileTimeGetStr(const GameRoot& root, std::string_view name);

// Creates one directory: nonzero on success.
int32_t fileDirCreate(const GameRoot& root, std::string_view name);

// Lists `dir` ("" for the game directory) followed directly by `pattern`
// (for example "\\*"). Mode bit 1 lists directories, bit 2 plain files; mode 3
// writes "[DIR_] name\n" or "[FILE] name\n", modes 1 and 2 "name\n". Adding 4
// to the mode appends to `out` instead of replacing it. Returns the number of
// entries listed.
int32_t fileListGet(const GameRoot& root, std::string& out, std::string_view dir, int32_t mode,
                    std::string_view pattern);

}  // namespace qf
