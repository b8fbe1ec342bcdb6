// Evaluation of compiled expressions: operands, operators, results.
#include "script/rpn.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "script/rpn_detail.h"
#include "script/short_move.h"
#include "script/text.h"

namespace qf {

using namespace rpn_detail;

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

int Rpn::lookupSlow(const RpnExpr& expr, const RpnExpr::Tok& t) {
    const uint64_t gen = m_vars.generation();
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
    if (r.m_nLimitMode != 0) m_vars.applyLimit(i);
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

namespace {

// Whether v is the string s[0..n) already (s holds no zero byte): assigning it
// again would change nothing. Names are short, so the bytes are compared here.
inline bool holdsText(const variant& v, const char* s, size_t n) {
    if (!v.isString()) return false;
    const char* r = v.raw();
    for (size_t k = 0; k < n; ++k)
        if (r[k] != s[k]) return false;  // also stops at the end of r
    return r[n] == 0;
}

// Whether v is a string with the zero-terminated text s.
inline bool holdsText(const variant& v, const char* s) {
    if (!v.isString()) return false;
    const char* r = v.raw();
    while (*r && *r == *s) ++r, ++s;
    return *r == *s;
}

}  // namespace

void Rpn::single(const RpnExpr& expr, variant& result) {
    const RpnExpr::Tok& t = expr.toks[0];
    const char* s = expr.textOf(t);
    auto get = [&](int i) {  // result = valGet(i), i >= 0, without the intermediate copy
        if (i < Variables::kMax) result = m_vars.m_var[i].m_value;
        else result = m_vars.valGet(i);
    };
    if (s[0] == '"') {
        result.assign(s + 1, quotedLength(s));
        return;
    }
    if (isDigit(static_cast<unsigned char>(s[0])) || s[0] == '-') {
        if (s[0] == '-' && (isAlpha(static_cast<unsigned char>(s[1])) || s[1] == '_')) {
            int i = t.cls == RpnExpr::NegName ? lookup(expr, t) : m_vars.valFind(s + 1);
            if (i < 0) return;  // integer 0
            get(i);
            if (result.isNumber()) result.setNumber(-result.m_dValue, result.type());
            return;
        }
        if (std::strchr(s + 1, '.')) result = t.shortInt ? t.num : parseReal(s);
        else result = t.shortInt ? static_cast<int>(t.num) : parseInt(s);
        return;
    }
    int i = t.cls == RpnExpr::Name ? lookup(expr, t) : m_vars.valFind(std::string_view(s, t.textLen));
    if (i >= 0) {
        get(i);
        return;
    }
    if (s[0] == '$') {
        result = m_vars.flagGet(parseInt(s + 1));
        return;
    }
    result.assign(s, t.textLen);
}

// The last element name before evaluation: the first token as the splitter makes it
// (integer 0 for no token), assigned as a value is.
void Rpn::firstName(const RpnExpr& expr) {
    // Taken from this same expression last time and not changed since.
    if (expr.serial != 0 && expr.serial == m_lastNameFrom) return;
    m_lastNameFrom = expr.serial;
    const RpnExpr::Tok& t = expr.first;
    if (expr.hasFirst && !t.shortInt && t.textLen < sizeof m_nameText) {
        // Short names are copied as one block, which the pool's padding allows.
        if (t.textLen < RpnExpr::kTextPad) std::memcpy(m_nameText, expr.textOf(t), RpnExpr::kTextPad);
        else std::memcpy(m_nameText, expr.textOf(t), t.textLen);
        m_nameLen = t.textLen;
        m_nameInText = true;
        return;
    }
    m_nameInText = false;
    if (!expr.hasFirst) m_lastName.setNumber(0, variant::kInteger);
    else if (t.shortInt) m_lastName.setNumber(t.num, variant::kInteger);
    else m_lastName.assign(expr.textOf(t), t.textLen);
}

// The shapes of RpnExpr evaluated directly, for the operand kinds where that is
// exact; false: the general evaluation is needed.
bool Rpn::shaped(const RpnExpr& expr, int mode, variant& result) {
    const auto& t = expr.toks;
    switch (expr.shape) {
        case RpnExpr::StepName: {
            if (mode != 0) return false;  // "=" compares in a condition
            const int i = lookup(expr, t[0]);
            if (i < 0 || i >= Variables::kMax) return false;
            const variant& v = m_vars.m_var[i].m_value;
            if (v.type() != variant::kInteger) return false;
            const double sum = truncInt(t[3].op == OP_ADD ? v.m_dValue + t[2].num : v.m_dValue - t[2].num);
            if (m_vars.count() < Variables::kMax) {
                Variable& r = m_vars.m_var[i];
                r.m_value.setNumber(sum, variant::kInteger);
                r.m_nKind = variant::kInteger;
                if (r.m_nLimitMode != 0) m_vars.applyLimit(i);
            } else {
                Opd o;
                o.num = sum;
                store(std::string_view(expr.textOf(t[0]), t[0].textLen), o, i);
            }
            result.setNumber(sum, variant::kInteger);
            return true;
        }
        case RpnExpr::CompareName: {
            const int i = lookup(expr, t[0]);
            double l = 0;
            if (i >= Variables::kMax) {
                l = Variables::constantValue(i - Variables::kConstBase);
            } else if (i >= 0) {
                const variant& v = m_vars.m_var[i].m_value;
                if (!v.isNumber()) return false;
                l = v.m_dValue;
            }
            const double r = t[1].num;
            bool c = false;
            switch (t[2].op) {
                case OP_GT: c = l > r; break;
                case OP_LT: c = l < r; break;
                case OP_GE: c = l >= r; break;
                case OP_LE: c = l <= r; break;
                case OP_EQ: c = l == r; break;
                default: c = l != r; break;
            }
            result.setNumber(c ? 1 : 0, variant::kInteger);
            return true;
        }
        case RpnExpr::Arithmetic:
            return arithmetic(expr, mode, result);
        default:
            return false;
    }
}

// The Arithmetic shape when every name and element read holds an integer (or is
// missing or a constant): the operators as apply() gives them for integer operands —
// a name's or element's value as it is, a computed number through its 32-bit
// truncation — and elements named as the subscript operator names them. Nothing is
// written before the final assignment, so any other operand kind, or an element
// name too long for the scratch entry, still leaves the expression to the general
// evaluation.
bool Rpn::arithmetic(const RpnExpr& expr, int mode, variant& result) {
    const auto& toks = expr.toks;
    const bool assigns = toks.back().op == OP_ASSIGN && toks.back().kind == RpnExpr::Operator;
    if (assigns && mode != 0) return false;  // "=" compares in a condition
    struct Entry {
        enum Kind : uint8_t { Name, Literal, Computed, Element } kind;
        double num;
        const RpnExpr::Tok* tok;
        uint8_t len;
        char text[63];
    };
    Entry stack[kStackMax];
    // The integer value of a variable index as fromVariable() reads it; false: not an integer.
    auto valueOf = [&](int i, double& v) {
        if (i >= Variables::kMax) {
            v = Variables::constantValue(i - Variables::kConstBase);
        } else if (i < 0) {
            v = 0;
        } else {
            const variant& x = m_vars.m_var[i].m_value;
            if (x.type() != variant::kInteger) return false;
            v = x.m_dValue;
        }
        return true;
    };
    auto operand = [&](const Entry& e, double& v) {
        switch (e.kind) {
            case Entry::Name: return valueOf(lookup(expr, *e.tok), v);
            case Entry::Literal: v = e.num; return true;
            case Entry::Computed: v = truncInt(e.num); return true;
            case Entry::Element: return valueOf(m_vars.valFind(std::string_view(e.text, e.len)), v);
        }
        return false;
    };
    int depth = 0;
    const size_t end = toks.size() - (assigns ? 1 : 0);
    for (size_t k = 0; k < end; ++k) {
        const RpnExpr::Tok& t = toks[k];
        if (t.kind == RpnExpr::Operand) {
            Entry& e = stack[depth++];
            e.kind = t.cls == RpnExpr::Name ? Entry::Name : Entry::Literal;
            e.tok = &t;
            e.num = t.num;
            continue;
        }
        Entry& left = stack[depth - 2];
        double L, R;
        if (!operand(stack[depth - 1], R)) return false;
        --depth;
        if (t.op == OP_SUB_OPEN) {
            // "name[" + the subscript as "%.0f" + "]", the left entry unresolved.
            char number[kNumBuf];
            const size_t digits = formatWhole(number, R);
            const char* base = left.kind == Entry::Name ? expr.textOf(*left.tok) : left.text;
            const size_t baseLen = left.kind == Entry::Name ? left.tok->textLen : left.len;
            const size_t n = baseLen + digits + 2;
            if (n >= sizeof left.text) return false;
            std::memmove(left.text, base, baseLen);
            left.text[baseLen] = '[';
            std::memcpy(left.text + baseLen + 1, number, digits);
            left.text[n - 1] = ']';
            left.len = static_cast<uint8_t>(n);
            left.kind = Entry::Element;
            continue;
        }
        if (!operand(left, L)) return false;
        double out = 0;
        switch (t.op) {
            case OP_MUL: out = L * R; break;
            case OP_ADD: out = L + R; break;
            case OP_SUB: case OP_NEG: out = L - R; break;
            case OP_DIV: {
                const double d = R == 0 ? -2147483648.0 : R;
                out = L == 0 ? 0 : truncInt(L / d);
                break;
            }
            case OP_MOD: {
                const int32_t a = truncInt(L), b = truncInt(R);
                out = (a != 0 && b != 0 && b != -1) ? a % b : 0;
                break;
            }
            case OP_SHL: out = static_cast<int32_t>(static_cast<uint32_t>(truncInt(L)) << (truncInt(R) & 31)); break;
            case OP_SHR: out = truncInt(L) >> (truncInt(R) & 31); break;
            case OP_AND: out = truncInt(L) & truncInt(R); break;
            case OP_XOR: out = truncInt(L) ^ truncInt(R); break;
            case OP_OR: out = truncInt(L) | truncInt(R); break;
            case OP_GT: out = L > R; break;
            case OP_LT: out = L < R; break;
            case OP_GE: out = L >= R; break;
            case OP_LE: out = L <= R; break;
            case OP_EQ: out = L == R; break;
            case OP_NE: out = L != R; break;
            case OP_LAND: out = L != 0 && R != 0; break;
            case OP_LOR: out = L != 0 || R != 0; break;
            default: return false;
        }
        left.kind = Entry::Computed;
        left.num = out;
    }
    if (!assigns) {
        result.setNumber(stack[0].num, variant::kInteger);
        return true;
    }
    Opd value;
    if (!operand(stack[1], value.num)) return false;
    const Entry& target = stack[0];
    if (target.kind == Entry::Name)
        store(std::string_view(expr.textOf(*target.tok), target.tok->textLen), value, lookup(expr, *target.tok));
    else
        store(std::string_view(target.text, target.len), value, -2);
    result.setNumber(value.num, variant::kInteger);
    return true;
}

void Rpn::evaluate(const RpnExpr& expr, int mode, variant& result, bool render) {
    m_condition = mode == 1;
    firstName(expr);
    if (expr.toks.empty() || expr.refused) return;  // integer 0
    if (expr.toks.size() == 1) {
        single(expr, result);
        return;
    }
    if (expr.shape != RpnExpr::General && shaped(expr, mode, result)) {
        if (render) result.text();
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
    // The result is written once, so a number result leaves the text of `result` as
    // it was, as assigning a fresh value's result would.
    Slot& bottom = m_stack[0];
    const char* txt;
    size_t n;
    if (bottom.tok) {
        txt = expr.textOf(*bottom.tok);
        n = bottom.tok->textLen;
    } else if (bottom.v.isNumber()) {
        result.setNumber(bottom.v.m_dValue, bottom.v.type());
        if (render) result.text();
        return;  // a number's text never holds a quote or "["
    } else {
        txt = bottom.v.raw();
        n = std::strlen(txt);
    }
    if (txt[0] == '"') {
        n = quotedLength(txt);
        ++txt;
    }
    if (std::memchr(txt, '[', n)) {
        m_lastName.assign(txt, n);
        m_nameInText = false;
        m_lastNameFrom = 0;
        const int i = m_vars.valFind(m_lastName.raw());
        if (i >= 0) result = m_vars.valGet(i);
        else result.assign(m_lastName.raw(), n);
        return;
    }
    result.assign(txt, n);
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

void Rpn::rpnRunInto(const RpnExpr& expr, int mode, variant& value, variant* name) {
    if (m_trace) {
        value = rpnRun(expr, mode);
        if (name) *name = lastName();
        return;
    }
    // A number's text is not part of an assignment, so it is not rendered here. The
    // evaluation writes `value` once, at its end, so it goes there directly.
    if (expr.shape != RpnExpr::General) {
        // The shapes give their result straight into `value` when they apply.
        m_condition = mode == 1;
        firstName(expr);
        if (!shaped(expr, mode, value)) {
            value.setNumber(0, variant::kInteger);
            evaluate(expr, mode, value, false);
        }
    } else {
        value.setNumber(0, variant::kInteger);
        evaluate(expr, mode, value, false);
    }
    if (!name) return;
    if (m_nameInText) {
        if (!holdsText(*name, m_nameText, m_nameLen)) name->assign(m_nameText, m_nameLen);
        return;
    }
    if (m_lastName.isString() && holdsText(*name, m_lastName.raw())) return;
    *name = m_lastName;
}

void Rpn::assignToLastName(const RpnExpr& expr, const variant& value) {
    const bool loneName = expr.toks.size() == 1 && expr.toks[0].kind == RpnExpr::Operand && expr.toks[0].cls == RpnExpr::Name;
    if (loneName && !m_trace) {
        // Evaluating a lone name changes nothing but the last element name: the name itself.
        m_condition = false;
        firstName(expr);
        const int i = lookup(expr, expr.toks[0]);
        if (i >= 0 && i < Variables::kMax && m_vars.count() < Variables::kMax) {
            Variable& r = m_vars.m_var[i];
            r.m_value = value;
            r.m_nKind = value.type();
            if (r.m_nLimitMode != 0) m_vars.applyLimit(i);
            return;
        }
    } else {
        rpnRun(expr, 0);
    }
    m_vars.valSet(valueText(lastName()), value);
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

}  // namespace qf
