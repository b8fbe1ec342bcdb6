#include "script/rpn.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "script/text.h"

namespace qf {

namespace {

struct OpInfo {
    const char* text;
    int prec;
};

// The operator table, searched in this order; precedence 1 binds tightest.
const OpInfo kOps[37] = {
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

const char* const kTwoByte[19] = {"++", "--", "<<", ">>", ">=", "<=", "==", "!=", "&&", "||",
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

int findOp(const char* text) {
    for (int i = 0; i < 37; ++i)
        if (std::strcmp(kOps[i].text, text) == 0) return i;
    return -1;
}

// Length of the content of a quoted text t (t[0] is the quote): up to the next quote or the end.
size_t quotedLength(const char* t) {
    const char* e = std::strchr(t + 1, '"');
    return e ? static_cast<size_t>(e - (t + 1)) : std::strlen(t + 1);
}

// As strcmp of the two texts a[0..an) and b[0..bn), unsigned bytes.
int compareView(const char* a, size_t an, const char* b, size_t bn) {
    size_t i = 0;
    while (i < an && i < bn && a[i] == b[i]) ++i;
    int ca = i < an ? static_cast<unsigned char>(a[i]) : 0;
    int cb = i < bn ? static_cast<unsigned char>(b[i]) : 0;
    return ca - cb;
}

// "%.0f" of v; integral values take the integer formatter (same text, faster).
size_t formatWhole(char* buf, double v) {
    if (v == static_cast<double>(static_cast<int64_t>(v)) && v > -1e15 && v < 1e15 && !(v == 0 && std::signbit(v))) {
        auto r = std::to_chars(buf, buf + 24, static_cast<int64_t>(v));
        *r.ptr = 0;
        return static_cast<size_t>(r.ptr - buf);
    }
    return formatFixed(buf, v, 0);
}

uint32_t hashText(const char* s, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(s[i])) * 16777619u;
    return h;
}

}  // namespace

// ============================================================== compiling

RpnExpr rpnCompile(const char* postfix) {
    RpnExpr e;
    if (!postfix) postfix = "";
    e.postfix = postfix;
    const char* p = postfix;
    bool first = true;
    std::string raw, text;
    // The splitter's capacity is the double-byte aware count of "," plus one, so a
    // comma right after a lone byte of 0x80 or above (half-width kana) is not counted
    // and the last tokens beyond the capacity are dropped, as the Token split does.
    const size_t capacity = static_cast<size_t>(strCountPieces(postfix, ","));
    while (*p && e.toks.size() < capacity) {
        while (*p == ',') ++p;
        if (!*p) break;
        const char* q = p;
        while (*q && *q != ',') ++q;
        raw.assign(p, static_cast<size_t>(q - p));
        p = q;

        RpnExpr::Tok t;
        t.shortInt = strIsShortInt(raw.c_str());
        if (t.shortInt) {
            t.num = parseInt(raw.c_str());
            text = intText(static_cast<int>(t.num)).c_str();
        } else {
            text = raw;
        }
        if (first) {
            e.first = raw.c_str();
            if (t.shortInt) e.first.toInt();
            first = false;
        }
        t.text = static_cast<uint32_t>(e.pool.size());
        t.textLen = static_cast<uint32_t>(text.size());
        e.pool += text;
        e.pool += '\0';
        t.arg = t.text;
        t.argLen = t.textLen;

        const char* s = text.c_str();
        int op;
        if (raw == "-") {
            t.kind = RpnExpr::Operator;
            t.op = OP_SUB;  // in the postfix text "-" always means subtraction
        } else if (text == "++") {
            t.kind = RpnExpr::Increment;
        } else if (text == "--") {
            t.kind = RpnExpr::Decrement;
        } else if ((op = findOp(s)) >= 0) {
            t.kind = RpnExpr::Operator;
            t.op = static_cast<uint8_t>(op == OP_NEG ? OP_SUB : op);
        } else {
            t.kind = RpnExpr::Operand;
            if (isNumberStart(s)) {
                if (std::strchr(s, '.')) {
                    t.cls = RpnExpr::RealLit;
                    t.num = parseReal(s);
                } else {
                    t.cls = RpnExpr::IntLit;
                    t.num = parseInt(s);
                }
            } else if (s[0] == '-') {
                t.cls = RpnExpr::NegName;
                t.arg = t.text + 1;
                t.argLen = t.textLen - 1;
            } else if (s[0] == '"') {
                t.cls = RpnExpr::StrLit;
                size_t n = quotedLength(s);
                t.arg = t.text + 1;
                t.argLen = static_cast<uint32_t>(n);
            } else if (s[0] == '$') {
                if (isDigit(static_cast<unsigned char>(s[1]))) {
                    t.cls = RpnExpr::FlagRef;
                    t.flag = parseInt(s + 1);
                } else {
                    t.cls = RpnExpr::PlainText;
                }
            } else {
                t.cls = RpnExpr::Name;
            }
        }
        e.toks.push_back(t);
    }
    // The value stack holds 32 entries; an expression that needs more is refused.
    int depth = 0;
    for (const auto& t : e.toks) {
        if (t.kind == RpnExpr::Operand) {
            if (++depth > Rpn::kStackMax) e.refused = true;
        } else if (t.kind == RpnExpr::Operator && depth >= 2) {
            --depth;
        }
    }
    return e;
}

// ============================================================== operands

struct Rpn::Opd {
    int32_t kind = variant::kInteger;
    double num = 0;
    const char* s = nullptr;       // string value (kind 1), s[0..n)
    size_t n = 0;
    const char* numText = nullptr;  // a number's text buffer; null: "%d" of the value
    bool literal = false;           // a string literal took part
    int32_t flag = -1;              // a flag reference: its number

    bool isNum() const { return (kind & 2) != 0; }
    std::string_view textView(char* buf) const {
        if (kind == variant::kString) return {s, n};
        if (numText) return numText;
        formatInt(buf, truncInt(num));
        return buf;
    }
    // num(): strings read as decimal integers.
    double number() const {
        if (kind == variant::kString) return parseInt(s);
        if (kind == variant::kReal) return num;
        return truncInt(num);
    }
};

Rpn::Rpn(Variables& vars, Host& host) : m_vars(vars), m_host(host), m_converted(std::make_unique<RpnExpr>()) {}
Rpn::~Rpn() = default;

int Rpn::lookup(const RpnExpr& expr, const RpnExpr::Tok& t) {
    const uint64_t gen = m_vars.generation();
    if (t.cacheGen == gen) {
        if (t.cacheIndex >= 0 && t.cacheIndex < Variables::kMax) return t.cacheIndex;
        if (t.cacheCount == m_vars.count()) return t.cacheIndex;
    }
    int i = m_vars.valFind(std::string_view(expr.argOf(t), t.argLen));
    t.cacheGen = gen;
    t.cacheIndex = i;
    t.cacheCount = m_vars.count();
    return i;
}

void Rpn::fromVariable(int index, const char* text, bool negate, Opd& o) {
    o.numText = text;
    if (index < 0) {
        o.kind = variant::kInteger;
        o.num = 0;
        return;
    }
    if (index >= Variables::kMax) {
        o.kind = variant::kInteger;
        double v = Variables::constantValue(index - Variables::kConstBase);
        o.num = negate ? -v : v;
        return;
    }
    const variant& v = m_vars.m_var[index].m_value;
    if (v.isNumber()) {
        o.kind = v.type();
        o.num = negate ? -v.m_dValue : v.m_dValue;
    } else {
        o.kind = variant::kString;
        o.s = v.raw();
        o.n = std::strlen(o.s);
    }
}

// Operand resolution of a text.
void Rpn::classify(const char* t, Opd& o) {
    if (isNumberStart(t)) {
        if (std::strchr(t, '.')) {
            o.kind = variant::kReal;
            o.num = parseReal(t);
        } else {
            o.kind = variant::kInteger;
            o.num = parseInt(t);
        }
        o.numText = t;
    } else if (t[0] == '-') {
        fromVariable(m_vars.valFind(t + 1), t, true, o);
    } else if (t[0] == '"') {
        o.kind = variant::kString;
        o.s = t + 1;
        o.n = quotedLength(t);
        o.literal = true;
    } else if (t[0] == '$') {
        if (isDigit(static_cast<unsigned char>(t[1]))) {
            o.flag = parseInt(t + 1);
            o.kind = variant::kInteger;
            o.num = m_vars.flagGet(o.flag);
            o.numText = t;
        } else {
            o.kind = variant::kString;
            o.s = t;
            o.n = std::strlen(t);
        }
    } else {
        fromVariable(m_vars.valFind(t), t, false, o);
    }
}

void Rpn::resolve(const RpnExpr& expr, Slot& s, Opd& o) {
    if (s.tok) {
        const RpnExpr::Tok& t = *s.tok;
        const char* text = expr.textOf(t);
        switch (t.cls) {
            case RpnExpr::IntLit:
                o.kind = variant::kInteger;
                o.num = t.num;
                o.numText = text;
                return;
            case RpnExpr::RealLit:
                o.kind = variant::kReal;
                o.num = t.num;
                o.numText = text;
                return;
            case RpnExpr::StrLit:
                o.kind = variant::kString;
                o.s = expr.argOf(t);
                o.n = t.argLen;
                o.literal = true;
                return;
            case RpnExpr::PlainText:
                o.kind = variant::kString;
                o.s = text;
                o.n = t.textLen;
                return;
            case RpnExpr::FlagRef:
                o.kind = variant::kInteger;
                o.flag = t.flag;
                o.num = m_vars.flagGet(t.flag);
                o.numText = text;
                return;
            case RpnExpr::NegName:
                fromVariable(lookup(expr, t), text, true, o);
                return;
            case RpnExpr::Name:
                fromVariable(lookup(expr, t), text, false, o);
                return;
        }
        return;
    }
    // A computed value: rendered as toStr() does, then read back.
    variant& v = s.v;
    if (v.type() == variant::kString) {
        classify(v.raw(), o);
    } else if (v.type() == variant::kReal) {
        v.text();
        const char* t = v.raw();
        if (isNumberStart(t)) {
            o.kind = variant::kReal;
            o.num = parseReal(t);
            o.numText = t;
        } else {
            classify(t, o);  // "inf", "nan": read as names
        }
    } else {
        o.kind = variant::kInteger;
        o.num = truncInt(v.m_dValue);
    }
}

// The text of an unresolved entry: a token's text, or a computed value's text (numbers
// rendered as text() does, or "%.0f" when `whole`).
const char* Rpn::slotText(const RpnExpr& expr, Slot& s, size_t& n) {
    if (s.tok) {
        n = s.tok->textLen;
        return expr.textOf(*s.tok);
    }
    const char* t = s.v.text();
    n = std::strlen(t);
    return t;
}

void Rpn::store(std::string_view name, const Opd& o, int known) {
    int i;
    if (known >= 0 && known < Variables::kMax && m_vars.count() < Variables::kMax) i = known;
    else if (known >= Variables::kMax && m_vars.count() < Variables::kMax) return;  // a constant
    else i = m_vars.recordForAssignment(name, true);
    if (i < 0) return;
    Variable& r = m_vars.m_var[i];
    if (o.isNum()) {
        r.m_value.setNumber(o.num, o.kind);
    } else if (r.m_value.raw() != o.s) {
        r.m_value.assign(o.s, o.n);
    }
    r.m_nKind = o.kind;
    m_vars.applyLimit(i);
}

void Rpn::stepVariable(const RpnExpr& expr, Slot& s, int delta) {
    size_t n;
    const char* name;
    int idx;
    if (s.tok && s.tok->cls == RpnExpr::Name) {
        name = expr.textOf(*s.tok);
        n = s.tok->textLen;
        idx = lookup(expr, *s.tok);
    } else {
        name = slotText(expr, s, n);
        idx = m_vars.valFind(std::string_view(name, n));
    }
    std::string_view view(name, n);
    if (idx < 0) {
        Opd one;
        one.num = delta;
        store(view, one, -2);
        return;
    }
    int r = m_vars.recordForAssignment(view, true);
    if (r < 0) return;  // a constant, or the table is full
    Variable& rec = m_vars.m_var[r];
    if (rec.m_value.isNumber()) rec.m_value.setNumber(rec.m_value.m_dValue + delta, variant::kInteger);
    else if (delta > 0) rec.m_value.cat("1", 1);
    rec.m_nKind = rec.m_value.type();
    m_vars.applyLimit(r);
}

// ============================================================== operators

// Joins texts in a local buffer; long texts spill into the evaluator's scratch value.
class Rpn::Builder {
public:
    explicit Builder(variant& spill) : m_spill(spill) {}
    void add(const char* s, size_t k) {
        if (!m_spilled) {
            if (m_n + k < sizeof m_buf) {
                std::memcpy(m_buf + m_n, s, k);
                m_n += k;
                return;
            }
            m_spill.assign(m_buf, m_n);
            m_spilled = true;
        }
        m_spill.cat(s, k);
    }
    void whole(const Opd& o) {  // numbers "%-.0f"
        if (o.isNum()) {
            char b[kNumBuf];
            add(b, formatWhole(b, o.num));
        } else {
            add(o.s, o.n);
        }
    }
    void dump(const Opd& o) {  // as += variant: reals "%.5f", integers "%.0f"
        if (o.kind == variant::kReal) {
            char b[kNumBuf];
            add(b, formatFixed(b, o.num, 5));
        } else {
            whole(o);
        }
    }
    void into(variant& dest) {
        if (m_spilled) dest.swap(m_spill);
        else dest.assign(m_buf, m_n);
    }

private:
    variant& m_spill;
    char m_buf[256];
    size_t m_n = 0;
    bool m_spilled = false;
};

void Rpn::apply(const RpnExpr& expr, int op, Slot& left, Slot& right) {
    Opd R, L;
    resolve(expr, right, R);

    auto setNum = [&](double v, int32_t kind) {
        left.tok = nullptr;
        left.v.setNumber(v, kind);
    };
    auto setOpd = [&](const Opd& o) {
        if (o.isNum()) {
            setNum(o.num, o.kind);
        } else {
            left.tok = nullptr;
            left.v.assign(o.s, o.n);
        }
    };
    if (op == OP_SUB_OPEN) {  // "[": the left operand is not resolved
        size_t ln;
        const char* lt;
        if (left.tok) {
            lt = expr.textOf(*left.tok);
            ln = left.tok->textLen;
        } else if (left.v.isNumber()) {
            left.v.renderWhole();
            lt = left.v.raw();
            ln = std::strlen(lt);
        } else {
            lt = left.v.raw();
            ln = std::strlen(lt);
        }
        Builder b(m_tmp);
        b.add(lt, ln);
        b.add("[", 1);
        b.whole(R);
        b.add("]", 1);
        left.tok = nullptr;
        b.into(left.v);
        return;
    }

    // The assignment target: the left entry's text before resolution.
    std::string_view target;
    int targetIndex = -2;  // -2: look the name up when storing
    if (op >= OP_ASSIGN) {
        if (left.tok && left.tok->cls == RpnExpr::Name) targetIndex = lookup(expr, *left.tok);
        size_t tn;
        const char* tt = slotText(expr, left, tn);
        if (left.tok) {
            target = std::string_view(tt, tn);
        } else {
            m_target.assign(tt, tn);
            target = std::string_view(m_target.raw(), tn);
        }
    }
    // A plain assignment reads the left operand only for a flag reference or a comparison.
    if (!(op == OP_ASSIGN && !m_condition && left.tok && left.tok->cls != RpnExpr::FlagRef)) resolve(expr, left, L);
    const bool both = L.isNum() && R.isNum();
    const bool literal = L.literal || R.literal;

    auto cmp = [&]() -> int {  // sign of the comparison of two non-numbers
        char lb[16], rb[16];
        std::string_view a = L.textView(lb), b = R.textView(rb);
        return compareView(a.data(), a.size(), b.data(), b.size());
    };
    auto plainAdd = [&]() {  // the value's "+"
        if (both) {
            setNum(L.num + R.num, L.kind);
            return;
        }
        Builder b(m_tmp);
        b.whole(L);
        b.whole(R);
        left.tok = nullptr;
        b.into(left.v);
    };
    auto divide = [&]() {
        Opd d = R;
        if (d.isNum() && d.num == 0) {
            d.kind = variant::kInteger;
            d.num = -2147483648.0;
        }
        if (!(L.isNum() && d.isNum())) return setOpd(L);
        if (L.kind == variant::kInteger && d.kind == variant::kInteger) {
            if (L.num == 0 || d.num == 0) return setNum(0, variant::kInteger);
            return setNum(truncInt(L.num / d.num), variant::kInteger);
        }
        if (L.num == 0 || d.num == 0) return setNum(0, L.kind);
        setNum(L.num / d.num, L.kind);
    };
    auto remainder = [&]() {
        if (!both) return setOpd(L);
        int32_t a = truncInt(L.num), b = truncInt(R.num);
        setNum((a != 0 && b != 0 && b != -1) ? a % b : 0, L.kind);
    };
    auto integer = [&](int v) { setNum(v, variant::kInteger); };
    auto bits = [&](int kind) -> int {
        if (!both) return kind == OP_OR ? cmp() : 0;
        int32_t a = truncInt(L.num), b = truncInt(R.num);
        switch (kind) {
            case OP_AND: return a & b;
            case OP_XOR: return a ^ b;
            case OP_OR: return a | b;
            case OP_SHL: return static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31));
            case OP_SHR: return a >> (b & 31);
        }
        return 0;
    };
    auto removeBits = [&]() {  // "`"
        int band = both ? (truncInt(L.num) & truncInt(R.num)) : 0;
        if (band != 0) setNum(L.num - R.num, L.kind);
        else setOpd(L);
    };
    auto assignResult = [&]() {  // the left slot holds the result: assign it to the target
        Opd res;
        if (left.v.isNumber()) {
            res.kind = left.v.type();
            res.num = left.v.m_dValue;
        } else {
            res.kind = variant::kString;
            res.s = left.v.raw();
            res.n = std::strlen(res.s);
        }
        store(target, res, targetIndex);
    };

    switch (op) {
        case OP_MUL:
            if (both) setNum(L.num * R.num, L.kind);
            else setOpd(L);
            return;
        case OP_SUB:
        case OP_NEG:
            if (both) setNum(L.num - R.num, L.kind);
            else setOpd(L);
            return;
        case OP_DIV: divide(); return;
        case OP_MOD: remainder(); return;
        case OP_ADD:
            if (!literal && L.kind != variant::kString) {
                plainAdd();
            } else {
                Builder b(m_tmp);
                b.add("\"", 1);
                b.dump(L);
                b.dump(R);
                left.tok = nullptr;
                b.into(left.v);
            }
            return;
        case OP_SHL: case OP_SHR: case OP_AND: case OP_XOR: case OP_OR:
            integer(bits(op));
            return;
        case OP_GT: integer(both ? L.num > R.num : cmp() > 0); return;
        case OP_LT: integer(both ? L.num < R.num : cmp() < 0); return;
        case OP_GE: integer(both ? L.num >= R.num : cmp() >= 0); return;
        case OP_LE: integer(both ? L.num <= R.num : cmp() <= 0); return;
        case OP_EQ: integer(both ? L.num == R.num : cmp() == 0); return;
        case OP_NE: integer(both ? L.num != R.num : cmp() != 0); return;
        case OP_LAND: integer(both ? (L.num != 0 && R.num != 0) : 0); return;
        case OP_LOR: integer(both ? (L.num != 0 || R.num != 0) : 0); return;
        case OP_REMOVE: removeBits(); return;
        case OP_ASSIGN:
            if (m_condition) {
                m_condition = false;
                integer(both ? L.num == R.num : cmp() == 0);
                return;
            }
            if (L.flag >= 0) m_vars.flagSet(L.flag, truncInt(R.number()));
            else store(target, R, targetIndex);
            setOpd(R);
            return;
        case OP_ADD_ASSIGN: plainAdd(); assignResult(); return;
        case OP_SUB_ASSIGN:
            if (both) setNum(L.num - R.num, L.kind);
            else setOpd(L);
            assignResult();
            return;
        case OP_MUL_ASSIGN:
            if (both) setNum(L.num * R.num, L.kind);
            else setOpd(L);
            assignResult();
            return;
        case OP_DIV_ASSIGN: divide(); assignResult(); return;
        case OP_MOD_ASSIGN: remainder(); assignResult(); return;
        case OP_AND_ASSIGN: integer(bits(OP_AND)); assignResult(); return;
        case OP_XOR_ASSIGN: integer(bits(OP_XOR)); assignResult(); return;
        case OP_OR_ASSIGN: integer(bits(OP_OR)); assignResult(); return;
        case OP_REMOVE_ASSIGN: removeBits(); assignResult(); return;
        default:  // "(", ")", "]", "!": the left operand stays as the result
            setOpd(L);
            return;
    }
}

// ============================================================== evaluation

void Rpn::single(const RpnExpr& expr, variant& result) {
    const RpnExpr::Tok& t = expr.toks[0];
    const char* s = expr.textOf(t);
    if (s[0] == '"') {
        result.assign(s + 1, quotedLength(s));
        return;
    }
    if (isDigit(static_cast<unsigned char>(s[0])) || s[0] == '-') {
        if (s[0] == '-' && (isAlpha(static_cast<unsigned char>(s[1])) || s[1] == '_')) {
            int i = t.cls == RpnExpr::NegName ? lookup(expr, t) : m_vars.valFind(s + 1);
            if (i < 0) return;  // integer 0
            result = m_vars.valGet(i);
            if (result.isNumber()) result.setNumber(-result.m_dValue, result.type());
            return;
        }
        if (std::strchr(s + 1, '.')) result = t.shortInt ? t.num : parseReal(s);
        else result = t.shortInt ? static_cast<int>(t.num) : parseInt(s);
        return;
    }
    int i = t.cls == RpnExpr::Name ? lookup(expr, t) : m_vars.valFind(std::string_view(s, t.textLen));
    if (i >= 0) {
        result = m_vars.valGet(i);
        return;
    }
    if (s[0] == '$') {
        result = m_vars.flagGet(parseInt(s + 1));
        return;
    }
    result.assign(s, t.textLen);
}

void Rpn::evaluate(const RpnExpr& expr, int mode, variant& result) {
    m_condition = mode == 1;
    m_lastName = expr.first;
    if (expr.toks.empty() || expr.refused) return;  // integer 0
    if (expr.toks.size() == 1) {
        single(expr, result);
        return;
    }
    int depth = 0;
    for (const auto& t : expr.toks) {
        switch (t.kind) {
            case RpnExpr::Operand:
                m_stack[depth++].tok = &t;  // depth stays within 32 (checked when compiled)
                break;
            case RpnExpr::Increment:
                if (depth > 0) stepVariable(expr, m_stack[depth - 1], 1);
                break;
            case RpnExpr::Decrement:
                if (depth > 0) stepVariable(expr, m_stack[depth - 1], -1);
                break;
            case RpnExpr::Operator:
                // An operator that finds fewer than two operands does nothing.
                if (depth >= 2) {
                    apply(expr, t.op, m_stack[depth - 2], m_stack[depth - 1]);
                    --depth;
                }
                break;
        }
    }
    if (depth == 0) return;
    Slot& bottom = m_stack[0];
    if (bottom.tok) {
        result.assign(expr.textOf(*bottom.tok), bottom.tok->textLen);
    } else if (bottom.v.isNumber()) {
        result.setNumber(bottom.v.m_dValue, bottom.v.type());
        result.text();
        return;  // a number's text never holds a quote or "["
    } else {
        result = bottom.v;
    }
    const char* txt = result.raw();
    if (txt[0] == '"') result.assign(txt + 1, quotedLength(txt));
    if (std::strchr(result.raw(), '[')) {
        m_lastName = result;
        int i = m_vars.valFind(result.raw());
        if (i >= 0) result = m_vars.valGet(i);
    }
}

variant Rpn::rpnRun(const RpnExpr& expr, int mode) {
    if (m_trace) dialog(m_host, expr.postfix, "rpnRun");
    variant result;
    evaluate(expr, mode, result);
    if (m_trace) {
        result.d(m_host);
        dialog(m_host, result.text(), "dialog");
        m_trace = false;
    }
    return result;
}

const RpnExpr& Rpn::cached(const char* postfix) {
    size_t n = std::strlen(postfix);
    auto& slot = m_cache[hashText(postfix, n) & (kCacheSlots - 1)];
    if (!slot || slot->postfix.size() != n || std::memcmp(slot->postfix.data(), postfix, n) != 0)
        slot = std::make_unique<RpnExpr>(rpnCompile(postfix));
    return *slot;
}

variant Rpn::rpnRun(const char* postfix, int, int mode) {
    if (!postfix) postfix = "";
    return rpnRun(cached(postfix), mode);
}

variant Rpn::rpnFirst(const char* infix, int, int mode) {
    if (!infix) infix = "";
    rpnConv(infix);
    const bool trace = m_trace;
    if (trace) {
        dialog(m_host, infix, "rpnFirst");
        dialog(m_host, m_postfix, "rpnConv()");
    }
    variant result;
    evaluate(*m_converted, mode, result);
    if (trace) {
        result.d(m_host);
        dialog(m_host, result.text(), "rpnLast");
        m_trace = false;
    }
    return result;
}

// ============================================================== conversion

bool Rpn::emit(const char* text, size_t n, int cls) {
    if (m_nOut >= kOutMax) {
        m_overflow = true;
        return false;
    }
    Entry& e = m_out[m_nOut++];
    if (n > kTokenMax) n = kTokenMax;  // a variantF holds 47 bytes
    std::memcpy(e.text, text, n);
    e.text[n] = 0;
    e.kind = 1;
    e.cls = cls;
    e.prec = 0;
    e.negate = false;
    return true;
}

bool Rpn::outOp(const Entry& op) { return emit(op.text, std::strlen(op.text), OUT_OPERATOR); }

bool Rpn::pushOp(int op, bool negate) {
    if (m_nOps >= kOpMax) {
        m_overflow = true;
        return false;
    }
    Entry& e = m_ops[m_nOps++];
    std::strcpy(e.text, kOps[op].text);
    e.kind = 1;
    e.cls = op;
    e.prec = kOps[op].prec;
    e.negate = negate;
    return true;
}

void Rpn::reduce() {
    if (m_nOps < 2) return;
    const Entry& top = m_ops[m_nOps - 1];
    auto isOpener = [](const Entry& e) { return e.cls == OP_OPEN; };  // "(" and "-("
    if (top.cls == OP_CLOSE) {
        --m_nOps;
        m_pendingMinus = false;
        m_prev = PREV_CLOSED;
        while (m_nOps > 0 && !isOpener(m_ops[m_nOps - 1])) outOp(m_ops[--m_nOps]);
        if (m_nOps > 0) {
            bool negate = m_ops[--m_nOps].negate;
            if (negate) {  // a unary minus before the group: the group times -1
                emit("-1", 2, OUT_NUMBER);
                emit("*", 1, OUT_OPERATOR);
            }
        }
        return;
    }
    if (top.cls == OP_SUB_CLOSE) {
        --m_nOps;
        while (m_nOps > 0 && m_ops[m_nOps - 1].cls != OP_SUB_OPEN) outOp(m_ops[--m_nOps]);
        if (m_nOps > 0) {
            --m_nOps;
            emit("[", 1, OUT_OPERATOR);
        }
        return;
    }
    for (int i = m_nOps - 1; i >= 1;) {
        const Entry& lower = m_ops[i - 1];
        const Entry& upper = m_ops[i];
        if (lower.prec >= upper.prec && !(lower.prec == 4 && upper.prec == 4)) {
            --i;
            continue;
        }
        if (lower.cls == OP_OPEN || lower.cls == OP_SUB_OPEN) break;
        outOp(lower);
        std::memmove(&m_ops[i - 1], &m_ops[i], sizeof(Entry) * static_cast<size_t>(m_nOps - i));
        --m_nOps;
        --i;
    }
}

int Rpn::rpnConv(const char* infix) {
    if (!infix) infix = "";
    m_nOut = m_nOps = 0;
    m_prev = PREV_OPERATOR;
    m_pendingMinus = false;
    m_minusPushed = false;
    m_overflow = false;
    const unsigned char* e = reinterpret_cast<const unsigned char*>(infix);
    const size_t length = std::strlen(infix);

    size_t p = 0;
    while (isSpace(e[p])) ++p;
    if (e[p] == '*') {  // a label reference passes unchanged
        size_t n = length - p;
        if (n > kPostfixMax) n = kPostfixMax;
        std::memcpy(m_postfix, infix + p, n);
        m_postfix[n] = 0;
        *m_converted = rpnCompile(m_postfix);
        return 0;
    }

    bool reported = false;
    std::string word;
    char buf[kTokenMax + 2];
    p = 0;
    while (p < length && !m_overflow) {
        const unsigned char c = e[p];
        if (c == ' ' || c == '\t') {
            ++p;
            continue;
        }
        if (isDigit(c)) {
            p += static_cast<size_t>(strReadNumber(word, infix, static_cast<int>(p)));
            if (m_pendingMinus) word.insert(word.begin(), '-');
            emit(word.data(), word.size(), OUT_NUMBER);
            m_pendingMinus = m_minusPushed = false;
            m_prev = PREV_NUMBER;
            continue;
        }
        if (c == '"') {
            p += static_cast<size_t>(strReadQuoted(word, infix, static_cast<int>(p), true));
            emit(word.data(), word.size(), OUT_STRING);
            m_pendingMinus = m_minusPushed = false;
            m_prev = PREV_STRING;
            continue;
        }
        if (c == '_' || isAlpha(c)) {
            p += static_cast<size_t>(strReadName(word, infix, static_cast<int>(p)));
            if (m_pendingMinus) word.insert(word.begin(), '-');
            emit(word.data(), word.size(), OUT_NAME);
            m_pendingMinus = m_minusPushed = false;
            m_prev = PREV_NAME;
            continue;
        }
        if (c == '$') {
            ++p;
            p += static_cast<size_t>(strReadNumber(word, infix, static_cast<int>(p)));
            bool digits = false;
            for (char d : word) digits |= isDigit(static_cast<unsigned char>(d));
            if (digits) {
                word.insert(word.begin(), '$');
                emit(word.data(), word.size(), OUT_FLAG);
            }
            continue;
        }
        if (c >= 0x80) {  // a bare double-byte word, up to white space
            size_t q = p;
            while (q < length && e[q] > 0x20) ++q;
            emit(infix + p, q - p, OUT_STRING);
            p = q;
            m_pendingMinus = m_minusPushed = false;
            m_prev = PREV_STRING;
            continue;
        }

        // operator step
        int op = -1;
        size_t width = 1;
        if (p + 1 < length) {
            for (const char* two : kTwoByte)
                if (e[p] == static_cast<unsigned char>(two[0]) && e[p + 1] == static_cast<unsigned char>(two[1])) {
                    op = findOp(two);
                    width = 2;
                    m_prev = PREV_OPERATOR;
                    break;
                }
        }
        if (op < 0) {
            buf[0] = static_cast<char>(c);
            buf[1] = 0;
            op = findOp(buf);
        }
        if (op < 0) {
            if (p > 1024 && !reported) {
                dialog(m_host, "rpnConv", sj("variantF:文字列"));
                m_quitRequested = true;
                reported = true;
            }
            ++p;
            continue;
        }
        p += width;

        if (op == OP_NEG) {
            m_pendingMinus = true;
            if (m_prev == PREV_OPERATOR) continue;  // unary: the next number or name takes the "-"
            pushOp(OP_ADD);                          // binary: a - b becomes a,-b,+
            m_minusPushed = true;
            m_prev = PREV_OPERATOR;
            reduce();
            continue;
        }
        if (op == OP_OPEN && m_pendingMinus) {
            m_pendingMinus = false;
            if (m_minusPushed && m_nOps > 0) {
                // binary minus before a group: the "+" becomes "-" and the opener "-("
                Entry& top = m_ops[m_nOps - 1];
                std::strcpy(top.text, "-");
                top.cls = OP_SUB;
                top.prec = 5;
                reduce();
                if (pushOp(OP_OPEN)) std::strcpy(m_ops[m_nOps - 1].text, "-(");
            } else {
                // unary minus before a group (start, or after another operator):
                // the group's value is negated when it closes
                pushOp(OP_OPEN, true);
            }
            m_minusPushed = false;
            m_prev = PREV_OPERATOR;
            reduce();
            continue;
        }
        pushOp(op);
        m_minusPushed = false;
        if (op != OP_SUB_CLOSE) m_prev = PREV_OPERATOR;
        reduce();
    }
    while (m_nOps > 0 && !m_overflow) outOp(m_ops[--m_nOps]);

    // the postfix text
    size_t n = 0;
    for (int i = 0; i < m_nOut && !m_overflow; ++i) {
        size_t k = std::strlen(m_out[i].text);
        if (n + k + 1 > kPostfixMax) {
            m_overflow = true;
            break;
        }
        std::memcpy(m_postfix + n, m_out[i].text, k);
        n += k;
        m_postfix[n++] = ',';
    }
    if (m_overflow) {
        dbg(m_host, "rpnConv", sj("式が長すぎます（64語・64演算子・後置255バイトまで）：") + infix);
        m_postfix[0] = 0;
        m_nOut = 0;
        *m_converted = rpnCompile("");
        return 0;
    }
    m_postfix[n] = 0;
    *m_converted = rpnCompile(m_postfix);
    return m_nOut;
}

}  // namespace qf
