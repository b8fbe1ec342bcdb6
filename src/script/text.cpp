#include "script/text.h"

#include <cstring>

#include "res/crc32.h"

namespace qf {

namespace {
inline bool isSpace(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool isAlpha(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool isNameByte(unsigned char c) { return isAlpha(c) || isDigit(c) || c == '_' || c == '.'; }
inline int hexValue(unsigned char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
inline int slen(const char* s) { return static_cast<int>(std::strlen(s)); }
}  // namespace

int strFind(const char* text, int start, const char* needle) {
    if (!text || !needle) return -1;
    if (start < 0) start = 0;
    int length = slen(text);
    if (start > length) return -1;
    if (needle[0] != 0 && needle[1] == 0) {
        const unsigned char c = static_cast<unsigned char>(needle[0]);
        const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
        int p = start;
        while (t[p]) {
            if (t[p] >= 0x80) {
                if (!t[p + 1]) break;
                p += 2;
                continue;
            }
            if (t[p] == c) return p;
            ++p;
        }
        return -1;
    }
    const char* f = std::strstr(text + start, needle);
    return f ? static_cast<int>(f - text) : -1;
}

bool strMid(std::string& dest, const char* text, int pos, int length) {
    if (!text) return false;
    int total = slen(text);
    if (pos < 0 || pos > total) return false;
    if (length < 1 || length > total - pos) length = total - pos;
    dest.assign(text + pos, static_cast<size_t>(length));
    return true;
}

int strNextPiece(std::string& dest, const char* text, int pos, const char* delimiter) {
    dest.clear();
    if (!text) return -1;
    int total = slen(text);
    if (pos < 0 || pos > total) return -1;
    int found = (delimiter && *delimiter) ? strFind(text, pos, delimiter) : -1;
    int next;
    if (found < 0) {
        dest.assign(text + pos);
        next = -1;
    } else {
        dest.assign(text + pos, static_cast<size_t>(found - pos));
        next = found + slen(delimiter);
    }
    if (!dest.empty() && dest.back() == '\n') dest.pop_back();
    if (!dest.empty() && dest.back() == '\r') dest.pop_back();
    return next;
}

const char* strSkipSpace(const char* text) {
    if (!text) return text;
    while (isSpace(static_cast<unsigned char>(*text))) ++text;
    return text;
}

int strReadPrintable(std::string* dest, const char* text) {
    if (dest) dest->clear();
    if (!text) return 0;
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    int p = 0;
    while (t[p] > 0x20) {
        if (dest) dest->push_back(static_cast<char>(t[p]));
        ++p;
    }
    while (isSpace(t[p])) ++p;
    return p;
}

int strReadNumber(std::string& dest, const char* text, int pos) {
    dest.clear();
    if (!text || pos < 0 || pos > slen(text)) return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text + pos);
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hexValue(p[2]) >= 0) {
        int64_t v = 0;
        int n = 2;
        while (hexValue(p[n]) >= 0) {
            if (v <= INT32_MAX) v = v * 16 + hexValue(p[n]);
            ++n;
        }
        if (v > INT32_MAX) v = INT32_MAX;  // strtol saturates at LONG_MAX
        dest = intText(static_cast<int>(v)).c_str();
        return n;
    }
    int n = 0;
    while (isDigit(p[n]) || p[n] == '.') ++n;
    dest.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    return n;
}

int strReadQuoted(std::string& dest, const char* text, int pos, bool keepQuotes) {
    dest.clear();
    if (!text || pos < 0 || pos > slen(text)) return 0;
    const char* p = text + pos;
    int used = 0;
    if (*p == '"') ++p, ++used;
    if (keepQuotes) dest.push_back('"');
    const char* e = std::strchr(p, '"');
    size_t n = e ? static_cast<size_t>(e - p) : std::strlen(p);
    dest.append(p, n);
    used += static_cast<int>(n);
    if (keepQuotes) {
        dest.push_back('"');
        ++used;
    }
    return used;
}

static int readNameRun(std::string& dest, const char* text, int pos, bool brackets) {
    dest.clear();
    if (!text || pos < 0 || pos > slen(text)) return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text + pos);
    int n = 0;
    while (isNameByte(p[n]) || (brackets && (p[n] == '[' || p[n] == ']'))) ++n;
    dest.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    return n;
}

int strReadName(std::string& dest, const char* text, int pos) { return readNameRun(dest, text, pos, false); }
int strReadNameBr(std::string& dest, const char* text, int pos) { return readNameRun(dest, text, pos, true); }

bool strIsShortInt(const char* text) {
    if (!text) return true;
    for (int i = 0; i < 4; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0) return true;
        if (i == 0 && c == '-') continue;
        if (!isDigit(c)) return false;
    }
    return true;
}

int strCountPieces(const char* text, const char* delimiter) {
    if (!text || !delimiter || !*delimiter) return 1;
    int count = 1, pos = 0, dl = slen(delimiter);
    for (;;) {
        int f = strFind(text, pos, delimiter);
        if (f < 0) break;
        ++count;
        pos = f + dl;
    }
    return count;
}

int strCountTokens(const char* text, const char* delimiters) {
    if (!text) return 0;
    if (!delimiters) delimiters = "";
    int count = 0;
    bool inPiece = false;
    for (const char* p = text; *p; ++p) {
        bool delim = std::strchr(delimiters, *p) != nullptr;
        if (!delim && !inPiece) ++count;
        inPiece = !delim;
    }
    return count;
}

int strLineOf(const char* text, int start, const char* needle) {
    int f = strFind(text, start, needle);
    if (f < 0) return -1;
    int lines = 0;
    for (int i = 0; i < f; ++i)
        if (text[i] == '\n') ++lines;
    return lines;
}

bool strNthLine(std::string& dest, const char* text, int n) {
    if (!text || n < 0) return false;
    int index = 0;
    const char* p = text;
    while (*p) {
        const char* e = std::strchr(p, '\n');
        size_t len = e ? static_cast<size_t>(e - p) : std::strlen(p);
        if (len > 0) {
            if (index == n) {
                dest.assign(p, len);
                return true;
            }
            ++index;
        }
        if (!e) break;
        p = e + 1;
    }
    return false;
}

uint32_t crc32(const void* data, long long length) { return engineCrc32(data, length); }

// ---------------------------------------------------------------- shared buffers

const char* TextBuffers::strFirstWord(const char* text) {
    int n = 0;
    if (text)
        while (n < 127 && text[n] && !isSpace(static_cast<unsigned char>(text[n]))) {
            m_firstWord[n] = text[n];
            ++n;
        }
    m_firstWord[n] = 0;
    return m_firstWord;
}

const char* TextBuffers::strReadWord(const char* text, int& pos, char stop) {
    int n = 0;
    if (text && pos >= 0 && pos <= slen(text)) {
        const char* p = text + pos;
        while (n < 127 && p[n] && p[n] != stop && !isSpace(static_cast<unsigned char>(p[n]))) {
            m_word[n] = p[n];
            ++n;
        }
        pos += n;
        while (isSpace(static_cast<unsigned char>(text[pos]))) ++pos;
    }
    m_word[n] = 0;
    return m_word;
}

const char* TextBuffers::strReadLine(const char* text, int pos, int* length) {
    int n = 0;
    if (text && pos >= 0 && pos <= slen(text)) {
        const char* p = text + pos;
        while (n < 255 && p[n] && p[n] != '\r' && p[n] != '\n') {
            m_line[n] = p[n];
            ++n;
        }
    }
    m_line[n] = 0;
    if (length) *length = n;
    return m_line;
}

const char* TextBuffers::strMidS(const char* text, int pos, int length) {
    std::string piece;
    if (!strMid(piece, text, pos, length)) return nullptr;
    size_t n = piece.size() < sizeof m_sub - 1 ? piece.size() : sizeof m_sub - 1;
    std::memcpy(m_sub, piece.data(), n);
    m_sub[n] = 0;
    return m_sub;
}

const variant& TextBuffers::strBlock(const char* text, const char* startMarker, const char* endMarker) {
    m_block = "";
    int f = strFind(text, 0, startMarker);
    if (f < 0) return m_block;
    int nl = strFind(text, f + slen(startMarker), "\n");
    if (nl < 0) return m_block;
    int begin = nl + 1;
    int e = strFind(text, begin, endMarker);
    if (e < 0) e = slen(text);
    m_block.assign(text + begin, static_cast<size_t>(e - begin));
    return m_block;
}

const char* TextBuffers::strExt(const char* path, bool lower) {
    if (!path) return nullptr;
    const char* dot = std::strrchr(path, '.');
    if (!dot) return nullptr;
    size_t n = std::strlen(dot + 1);
    if (n > sizeof m_ext - 1) n = sizeof m_ext - 1;
    std::memcpy(m_ext, dot + 1, n);
    m_ext[n] = 0;
    if (lower) {
        for (size_t i = 0; i < n; ++i) {
            unsigned char c = static_cast<unsigned char>(m_ext[i]);
            if (c >= 0x80) {
                ++i;  // the trailing byte of a two-byte character is left alone
                continue;
            }
            if (c >= 'A' && c <= 'Z') m_ext[i] = static_cast<char>(c + 32);
        }
    }
    return m_ext;
}

const char* TextBuffers::strPathPiece(const char* path, int n) {
    m_pathPiece.clear();
    if (!path) return m_pathPiece.c_str();
    std::string p(path);
    if (!p.empty() && p.front() == '"') p.erase(0, 1);
    if (!p.empty() && p.back() == '"') p.pop_back();
    std::vector<std::string> pieces;
    int pos = 0;
    for (;;) {
        int f = strFind(p.c_str(), pos, "\\");
        std::string piece = p.substr(static_cast<size_t>(pos), f < 0 ? std::string::npos : static_cast<size_t>(f - pos));
        if (piece.size() > 259) piece.resize(259);
        pieces.push_back(piece);
        if (f < 0) break;
        pos = f + 1;
    }
    int count = static_cast<int>(pieces.size());
    if (n >= 0) {
        if (n < count) m_pathPiece = pieces[static_cast<size_t>(count - 1 - n)];
    } else {
        for (int i = 0; i + 1 < count; ++i) {
            m_pathPiece += pieces[static_cast<size_t>(i)];
            m_pathPiece += '\\';
        }
    }
    return m_pathPiece.c_str();
}

// ---------------------------------------------------------------- Token

void Token::split(const char* text, const char* delimiters, int mode, int capacity) {
    if (!delimiters || !*delimiters) return;
    if (!text) text = "";
    int cap = capacity;
    if (cap < 1) {
        cap = strCountPieces(text, delimiters);
        if (cap < 1) cap = 16;
    }
    m_pieces.clear();
    m_pieces.resize(static_cast<size_t>(cap));
    if (capacity >= 1)
        for (auto& p : m_pieces) p = m_fill;
    int n = 0;
    if (mode == 0) {
        const char* p = text;
        while (*p && n < cap) {
            while (*p && std::strchr(delimiters, *p)) ++p;
            if (!*p) break;
            const char* e = p;
            while (*e && !std::strchr(delimiters, *e)) ++e;
            m_pieces[static_cast<size_t>(n++)].assign(p, static_cast<size_t>(e - p));
            p = e;
        }
    } else if (*text) {
        int pos = 0;
        std::string piece;
        for (;;) {
            int next = strNextPiece(piece, text, pos, delimiters);
            bool blank = true;
            for (char c : piece)
                if (!isSpace(static_cast<unsigned char>(c))) blank = false;
            variant& slot = m_pieces[static_cast<size_t>(n++)];
            if (blank) slot = m_fill;
            else slot.assign(piece.data(), piece.size());
            if (next < 0 || n >= cap) break;
            pos = next;
        }
    }
    m_count = capacity >= 1 ? cap : n;
    for (int i = 0; i < m_count; ++i) {
        variant& v = m_pieces[static_cast<size_t>(i)];
        if (v.isString() && strIsShortInt(v.raw())) v.toInt();
    }
}

variant Token::get(int i) const {
    if (i < 0 || i >= m_count) return variant(0);
    return m_pieces[static_cast<size_t>(i)];
}

const char* Token::getText(int i) {
    if (i < 0 || i >= m_count) return "";
    return m_pieces[static_cast<size_t>(i)].text();
}

const char* Token::getStr(int i) {
    if (i < 0 || i >= m_count) return "";
    return m_pieces[static_cast<size_t>(i)].str();
}

int Token::getInt(int i) const {
    if (i < 0 || i >= m_count) return 0;
    return truncInt(m_pieces[static_cast<size_t>(i)].num());
}

int Token::len(int i) const {
    if (i < 0 || i >= m_count) return 0;
    return m_pieces[static_cast<size_t>(i)].len();
}

void Token::set(int i, const variant& v) {
    if (i < 0 || i >= m_count) return;
    m_pieces[static_cast<size_t>(i)] = v;
}

std::vector<variant> splitTokensExact(const std::string& text, const std::string& delimiter) {
    Token t(text.c_str(), delimiter.c_str(), 1, 0, kNil);
    std::vector<variant> out;
    for (int i = 0; i < t.cnt(); ++i) out.push_back(t.get(i));
    return out;
}

std::vector<variant> splitTokensAny(const std::string& text, const std::string& delimiters) {
    Token t(text.c_str(), delimiters.c_str(), 0, 0, kNil);
    std::vector<variant> out;
    for (int i = 0; i < t.cnt(); ++i) out.push_back(t.get(i));
    return out;
}

std::vector<std::string> splitAny(const std::string& text, const char* delimiters) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::strchr(delimiters, text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !std::strchr(delimiters, text[i])) ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

}  // namespace qf
