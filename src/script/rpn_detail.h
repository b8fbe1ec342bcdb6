// What the expression converter, the compiler of postfix texts and the
// evaluator share: the operator table, the token classes and small text helpers.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "script/text.h"
#include "script/variant.h"

namespace qf::rpn_detail {

struct OpInfo {
    const char* text;
    int prec;
};

// The operator table, searched in this order; precedence 1 binds tightest.
inline constexpr OpInfo kOps[37] = {
    {"(", 1},   {")", 1},   {"[", 1},   {"]", 1},   {"++", 2},  {"--", 2},  {"!", 2},   {"-", 2},
    {"*", 4},   {"/", 4},   {"%", 4},   {"+", 5},   {"-", 5},   {"<<", 6},  {">>", 6},  {">", 7},
    {"<", 7},   {">=", 7},  {"<=", 7},  {"==", 8},  {"!=", 8},  {"&", 9},   {"^", 10},  {"|", 11},
    {"`", 11},  {"&&", 12}, {"||", 13}, {"=", 15},  {"+=", 15}, {"-=", 15}, {"*=", 15}, {"/=", 15},
    {"%=", 15}, {"&=", 15}, {"^=", 15}, {"|=", 15}, {"`=", 15},
};

enum Op {
    OP_OPEN = 0, OP_CLOSE = 1, OP_SUB_OPEN = 2, OP_SUB_CLOSE = 3, OP_INC = 4, OP_DEC = 5, OP_NOT = 6,
    OP_NEG = 7, OP_MUL = 8, OP_DIV = 9, OP_MOD = 10, OP_ADD = 11, OP_SUB = 12, OP_SHL = 13, OP_SHR = 14,
    OP_GT = 15, OP_LT = 16, OP_GE = 17, OP_LE = 18, OP_EQ = 19, OP_NE = 20, OP_AND = 21, OP_XOR = 22,
    OP_OR = 23, OP_REMOVE = 24, OP_LAND = 25, OP_LOR = 26, OP_ASSIGN = 27, OP_ADD_ASSIGN = 28,
    OP_SUB_ASSIGN = 29, OP_MUL_ASSIGN = 30, OP_DIV_ASSIGN = 31, OP_MOD_ASSIGN = 32, OP_AND_ASSIGN = 33,
    OP_XOR_ASSIGN = 34, OP_OR_ASSIGN = 35, OP_REMOVE_ASSIGN = 36,
};

inline constexpr const char* kTwoByte[19] = {"++", "--", "<<", ">>", ">=", "<=", "==", "!=", "&&", "||",
                                  "+=", "-=", "*=", "/=", "%=", "&=", "^=", "|=", "`="};

// Previous token classes of the converter.
enum Prev { PREV_OPERATOR, PREV_NUMBER, PREV_STRING, PREV_NAME, PREV_CLOSED };
// Output token classes.
enum OutClass { OUT_OPERATOR = 0, OUT_NUMBER = 1, OUT_STRING = 2, OUT_NAME = 3, OUT_FLAG = 4 };

inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool isAlpha(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool isSpace(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }
inline bool isNumberStart(const char* t) {
    return isDigit(static_cast<unsigned char>(t[0])) || (t[0] == '-' && isDigit(static_cast<unsigned char>(t[1])));
}

// Index of the first table entry equal to text, or -1 (entries have one or two bytes).
inline int findOp(const char* text) {
    if (!text[0] || (text[1] && text[2])) return -1;
    for (int i = 0; i < 37; ++i) {
        const char* o = kOps[i].text;
        if (o[0] == text[0] && o[1] == text[1]) return i;
    }
    return -1;
}

// Length of the content of a quoted text t (t[0] is the quote): up to the next quote or the end.
inline size_t quotedLength(const char* t) {
    const char* e = std::strchr(t + 1, '"');
    return e ? static_cast<size_t>(e - (t + 1)) : std::strlen(t + 1);
}

// As strcmp of the two texts a[0..an) and b[0..bn), unsigned bytes.
inline int compareView(const char* a, size_t an, const char* b, size_t bn) {
    size_t i = 0;
    while (i < an && i < bn && a[i] == b[i]) ++i;
    int ca = i < an ? static_cast<unsigned char>(a[i]) : 0;
    int cb = i < bn ? static_cast<unsigned char>(b[i]) : 0;
    return ca - cb;
}

// "%.0f" of v; integral values take the integer formatter (same text, faster).
inline size_t formatWhole(char* buf, double v) {
    if (v == static_cast<double>(static_cast<int64_t>(v)) && v > -1e15 && v < 1e15 && !(v == 0 && std::signbit(v))) {
        auto r = std::to_chars(buf, buf + 24, static_cast<int64_t>(v));
        *r.ptr = 0;
        return static_cast<size_t>(r.ptr - buf);
    }
    return formatFixed(buf, v, 0);
}

inline uint32_t hashText(const char* s, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(s[i])) * 16777619u;
    return h;
}

}  // namespace qf::rpn_detail
