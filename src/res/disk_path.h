// Game files on a Linux disk. Games name their files the Windows way: "\\"
// between directories and any letter case. On disk "\\" becomes "/" and a name
// that does not exist exactly is found piece by piece ignoring ASCII case.
// Directory listings come in the order a Windows file system lists them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf {

// A Shift-JIS (code page 932) lead byte: its trail byte may look like "\\" or
// a letter and is never taken as one.
inline bool isCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// "\\" separators become "/".
std::string toDiskSeparators(std::string_view name);

// ASCII letters upper-cased, trail bytes of double-byte characters left alone.
std::string foldAsciiCase(std::string_view name);

// The order of a Windows directory listing: ASCII case-insensitive, ties byte-wise.
bool windowsNameLess(std::string_view a, std::string_view b);

// The path to open for a game file name: the name itself when it exists
// (after separator conversion), else each missing piece replaced by the first
// entry of its directory (in listing order) that matches ignoring ASCII case.
// Pieces that match nothing are kept as given, so the result also serves to
// create a file.
std::string resolveDiskPath(std::string_view name);

struct DirEntry {
    std::string name;
    bool isDirectory = false;
};

// The entries of a directory (without "." and ".."), in Windows listing order.
// A directory that cannot be read lists nothing.
std::vector<DirEntry> listDirectory(const std::string& diskDir);

// Windows wildcard match ('*' any run, '?' one character), ASCII case-insensitive;
// "*.*" matches every name.
bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace qf
