// Shift-JIS (code page 932) is the engine's text encoding. These helpers convert
// at the edges that need UTF-8 (window titles, message boxes, logs, tests).
#pragma once

#include <string>
#include <string_view>

namespace qf {

// The engine's own messages are written in the source as UTF-8; sj() returns
// their Shift-JIS form, converted once and kept for the life of the process.
const std::string& sj(const char* utf8);

// Conversions of arbitrary text; bytes that have no mapping become '?'.
std::string utf8ToSjis(std::string_view utf8);
std::string sjisToUtf8(std::string_view sjis);

// True when the byte starts a two-byte Shift-JIS character (0x80 and above,
// as the engine's double-byte aware scans treat it).
inline bool isLeadByte(unsigned char c) { return c >= 0x80; }

}  // namespace qf
