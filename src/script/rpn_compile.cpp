// Postfix texts compiled into token lists once, for the evaluator.
#include "script/rpn.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "script/rpn_detail.h"
#include "script/text.h"

namespace qf {

using namespace rpn_detail;

namespace {

bool isOperator(const RpnExpr::Tok& t, int op) { return t.kind == RpnExpr::Operator && t.op == op; }

bool isArithmeticOperator(const RpnExpr::Tok& t) {
    return t.kind == RpnExpr::Operator && ((t.op >= OP_MUL && t.op <= OP_OR) || t.op == OP_LAND || t.op == OP_LOR);
}

// Names, elements of names ("a,i,[") and integers under the operators above,
// leaving one number, or a value assigned to a leading name or element.
bool isArithmetic(const RpnExpr& e) {
    const auto& t = e.toks;
    if (t.size() < 2 || t.size() > static_cast<size_t>(Rpn::kStackMax) * 2) return false;
    enum Entry : uint8_t { NameEntry, NumberEntry, ElementEntry };
    Entry stack[Rpn::kStackMax];
    size_t depth = 0;
    const bool assigns = isOperator(t.back(), OP_ASSIGN);
    for (size_t k = 0; k < t.size() - (assigns ? 1 : 0); ++k) {
        if (t[k].kind == RpnExpr::Operand && (t[k].cls == RpnExpr::Name || t[k].cls == RpnExpr::IntLit)) {
            if (depth == static_cast<size_t>(Rpn::kStackMax)) return false;
            stack[depth++] = t[k].cls == RpnExpr::Name ? NameEntry : NumberEntry;
        } else if (isOperator(t[k], OP_SUB_OPEN) && depth >= 2 && stack[depth - 2] != NumberEntry) {
            stack[--depth - 1] = ElementEntry;
        } else if (isArithmeticOperator(t[k]) && depth >= 2) {
            stack[--depth - 1] = NumberEntry;
        } else {
            return false;
        }
    }
    if (assigns) return depth == 2 && stack[0] != NumberEntry;
    return depth == 1 && stack[0] == NumberEntry;
}

RpnExpr::Shape shapeOf(const RpnExpr& e) {
    if (e.refused) return RpnExpr::General;
    const auto& t = e.toks;
    if (t.size() == 5 && t[0].kind == RpnExpr::Operand && t[0].cls == RpnExpr::Name && t[1].kind == RpnExpr::Operand &&
        t[1].cls == RpnExpr::Name && t[0].textLen == t[1].textLen &&
        std::memcmp(e.textOf(t[0]), e.textOf(t[1]), t[0].textLen) == 0 && t[2].kind == RpnExpr::Operand &&
        t[2].cls == RpnExpr::IntLit && (isOperator(t[3], OP_ADD) || isOperator(t[3], OP_SUB)) && isOperator(t[4], OP_ASSIGN))
        return RpnExpr::StepName;
    if (t.size() == 3 && t[0].kind == RpnExpr::Operand && t[0].cls == RpnExpr::Name && t[1].kind == RpnExpr::Operand &&
        t[1].cls == RpnExpr::IntLit && t[2].kind == RpnExpr::Operator && t[2].op >= OP_GT && t[2].op <= OP_NE)
        return RpnExpr::CompareName;
    if (isArithmetic(e)) return RpnExpr::Arithmetic;
    return RpnExpr::General;
}

// Element names with constant subscripts ("a,3,[" and "-a,3,[") become single name
// tokens ("a[3]", "-a[3]") that keep a variable index cache: the subscript operator
// would make exactly that text and the evaluator would read it as that name. The
// list keeps at least two tokens, so a lone element still evaluates as one.
void foldConstantSubscripts(RpnExpr& e) {
    std::vector<RpnExpr::Tok> out;
    out.reserve(e.toks.size());
    size_t left = e.toks.size();
    for (const RpnExpr::Tok& t : e.toks) {
        --left;
        const size_t n = out.size();
        if (isOperator(t, OP_SUB_OPEN) && n >= 2 && n - 2 + 1 + left >= 2) {
            const RpnExpr::Tok& base = out[n - 2];
            const RpnExpr::Tok& sub = out[n - 1];
            if (base.kind == RpnExpr::Operand && (base.cls == RpnExpr::Name || base.cls == RpnExpr::NegName) &&
                sub.kind == RpnExpr::Operand && sub.cls == RpnExpr::IntLit) {
                char number[kNumBuf];
                const size_t digits = formatWhole(number, sub.num);
                const std::string baseText(e.textOf(base), base.textLen);
                RpnExpr::Tok name = base;
                name.shortInt = false;
                name.text = static_cast<uint32_t>(e.pool.size());
                e.pool += baseText;
                e.pool += '[';
                e.pool.append(number, digits);
                e.pool += "]";
                name.textLen = static_cast<uint32_t>(e.pool.size()) - name.text;
                e.pool += '\0';
                const uint32_t skip = base.cls == RpnExpr::NegName ? 1 : 0;
                name.arg = name.text + skip;
                name.argLen = name.textLen - skip;
                out.resize(n - 2);
                out.push_back(name);
                continue;
            }
        }
        out.push_back(t);
    }
    e.toks = std::move(out);
}

}  // namespace

RpnExpr rpnCompile(const char* postfix) {
    static std::atomic<uint64_t> serials{1};
    RpnExpr e;
    e.serial = serials.fetch_add(1, std::memory_order_relaxed);
    if (!postfix) postfix = "";
    e.postfix = postfix;
    const char* p = postfix;
    std::string raw, text;
    // The splitter's capacity is the double-byte aware count of "," plus one, so a
    // comma right after a lone byte of 0x80 or above (half-width kana) is not counted
    // and the last tokens beyond the capacity are dropped, as the Token split does.
    const size_t capacity = static_cast<size_t>(strCountPieces(postfix, ","));
    // The tokens and their texts are sized once: the list to the number of tokens,
    // the pool (built in a scratch text) to its length.
    size_t count = 0;
    for (const char* c = postfix; *c && count < capacity;) {
        while (*c == ',') ++c;
        if (!*c) break;
        ++count;
        while (*c && *c != ',') ++c;
    }
    e.toks.reserve(count);
    thread_local std::string pool;
    pool.clear();
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
        t.text = static_cast<uint32_t>(pool.size());
        t.textLen = static_cast<uint32_t>(text.size());
        pool += text;
        pool += '\0';
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
    e.pool = pool;
    // The value stack holds 32 entries; an expression that needs more is refused.
    int depth = 0;
    for (const auto& t : e.toks) {
        if (t.kind == RpnExpr::Operand) {
            if (++depth > Rpn::kStackMax) e.refused = true;
        } else if (t.kind == RpnExpr::Operator && depth >= 2) {
            --depth;
        }
    }
    if (!e.toks.empty()) {
        e.first = e.toks[0];
        e.hasFirst = true;
    }
    if (!e.refused) foldConstantSubscripts(e);
    e.shape = shapeOf(e);
    // Any token text can be read as a whole block of kTextPad bytes.
    e.pool.append(RpnExpr::kTextPad, '\0');
    return e;
}

}  // namespace qf
