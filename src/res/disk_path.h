// Game file names the Windows way: "\\" between directories and any letter
// case, double-byte Shift-JIS characters whose second byte may look like "\\"
// or a letter, directory listings in the order a Windows file system gives.
// The game root (game_root.h) resolves names on disk with these rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf {

// A Shift-JIS (code page 932) lead byte: its trail byte may look like "\\" or
// a letter and is never taken as one.
inline bool isCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
// A byte that can follow a lead byte as the second byte of a character.
inline bool isCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// "\\" separators become "/".
std::string toDiskSeparators(std::string_view name);

// ASCII letters upper-cased, trail bytes of double-byte characters left alone.
std::string foldAsciiCase(std::string_view name);

// The order of a Windows directory listing: ASCII case-insensitive, ties byte-wise.
bool windowsNameLess(std::string_view a, std::string_view b);

struct DirEntry {
    std::string name;
    bool isDirectory = false;
};

// Windows wildcard match ('*' any run, '?' one character), ASCII case-insensitive;
// "*.*" matches every name.
bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace qf
