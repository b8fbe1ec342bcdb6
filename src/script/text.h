// Text functions over zero-terminated Shift-JIS byte strings, and Token.
// Functions that return text in a shared buffer are members of
// TextBuffers (one per engine); the others are free functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// res/crc32.h comes first: its inline engineCrc32 calls zlib's ::crc32, which the
// qf::crc32 declared below would otherwise hide.
#include "res/crc32.h"
#include "script/variant.h"

namespace qf {

// Position of the needle at or after start, or -1. A one-byte needle is searched
// double-byte aware (never at a trailing byte; a needle of 0x80 or above never
// matches); a longer needle byte by byte. A start below 0 counts as 0.
int strFind(const char* text, int start, const char* needle);
// length bytes from pos (a length below 1 or reaching past the end: the rest);
// false (dest untouched) when pos is negative or past the end.
bool strMid(std::string& dest, const char* text, int pos, int length);
// Copies from pos up to the next delimiter (trailing "\n", then "\r", removed);
// returns the position after the delimiter or -1 when none follows.
int strNextPiece(std::string& dest, const char* text, int pos, const char* delimiter);
// Pointer to the first byte that is not white space.
const char* strSkipSpace(const char* text);
// Copies the bytes above 0x20 (dest may be null), skips following white space;
// returns the offset after.
int strReadPrintable(std::string* dest, const char* text);
// "0x" + hex digits: strtol rules, saturated to 32 bits, written "%d"; otherwise the
// run of digits and "."; returns the bytes consumed.
int strReadNumber(std::string& dest, const char* text, int pos);
// A string literal; returns the bytes consumed (opening quote and content, plus one
// when the quotes are kept).
int strReadQuoted(std::string& dest, const char* text, int pos, bool keepQuotes);
// The run of ASCII letters, digits, "_" and "." (with Br also "[" and "]").
int strReadName(std::string& dest, const char* text, int pos);
int strReadNameBr(std::string& dest, const char* text, int pos);
bool strIsShortInt(const char* text);
int strCountPieces(const char* text, const char* delimiter);
int strCountTokens(const char* text, const char* delimiters);
int strLineOf(const char* text, int start, const char* needle);
bool strNthLine(std::string& dest, const char* text, int n);
// The engine's CRC-32 (zlib's with the first-byte rule).
uint32_t crc32(const void* data, long long length);

class TextBuffers {
public:
    // The bytes before the first white space, at most 127.
    const char* strFirstWord(const char* text);
    // Up to white space, the stop byte, the end or 127 bytes; advances pos past the
    // word and the white space after it.
    const char* strReadWord(const char* text, int& pos, char stop);
    // The bytes up to the first "\r" or "\n", at most 255; length gets their count.
    const char* strReadLine(const char* text, int pos, int* length = nullptr);
    // strMid into the substring buffer (at most 1023 bytes); null for a bad position.
    const char* strMidS(const char* text, int pos, int length);
    // From the line after the start marker up to the end marker or the end.
    const variant& strBlock(const char* text, const char* startMarker, const char* endMarker);
    // The text after the last "."; null when there is none.
    const char* strExt(const char* path, bool lower);
    // n >= 0: the n-th piece from the end; n < 0: the directory with "\\" after each piece.
    const char* strPathPiece(const char* path, int n);

    char m_firstWord[128] = {};
    char m_word[128] = {};
    char m_line[256] = {};
    char m_sub[1024] = {};
    char m_ext[260] = {};
    std::string m_pathPiece;
    variant m_block;
};

// A list of variant pieces made by splitting a text at delimiters.
class Token {
public:
    Token() { m_pieces.resize(16); }
    Token(const char* text, const char* delimiters, int mode = 0, int capacity = 0, int fill = 0)
        : m_fill(fill) {
        split(text, delimiters, mode, capacity);
    }
    virtual ~Token() = default;

    void split(const char* text, const char* delimiters, int mode = 0, int capacity = 0);
    int cnt() const { return m_count; }
    variant get(int i) const;
    const char* getText(int i);
    const char* getStr(int i);
    int getInt(int i) const;
    int len(int i) const;
    void set(int i, const variant& v);
    void setFill(int fill) { m_fill = fill; }
    int capacity() const { return static_cast<int>(m_pieces.size()); }

private:
    std::vector<variant> m_pieces;
    int m_count = 0;
    int m_fill = 0;
};

// Exact split at the delimiter text (empty pieces are _NIL) and split at any
// delimiter byte (empty pieces skipped); integer-looking pieces become integers.
std::vector<variant> splitTokensExact(const std::string& text, const std::string& delimiter);
std::vector<variant> splitTokensAny(const std::string& text, const std::string& delimiters);
// Pieces between runs of delimiter bytes, empty pieces skipped.
std::vector<std::string> splitAny(const std::string& text, const char* delimiters);

}  // namespace qf
