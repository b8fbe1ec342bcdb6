// The expression converter (infix to postfix text) and the evaluator.
//
// rpnConv makes the postfix text and, at the same time, splits
// it once into an RpnExpr: the tokens as the evaluator's splitter would make them,
// pre-classified (numbers parsed, string literals cut out, operators resolved) with
// a cached variable index per name. rpnRun of an RpnExpr gives exactly the result
// that re-splitting the postfix text gives; rpnRun of a text compiles it (with a
// small cache keyed by the text) and runs that.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/variables.h"
#include "script/variant.h"

namespace qf {

class Host;

// A postfix text split into tokens.
struct RpnExpr {
    enum Kind : uint8_t { Operand, Operator, Increment, Decrement };
    // Operand classes, decided by the token's text as operand resolution reads it.
    enum Class : uint8_t { IntLit, RealLit, StrLit, FlagRef, PlainText, NegName, Name };
    struct Tok {
        Kind kind = Operand;
        uint8_t op = 0;          // operator table index (Operator)
        Class cls = PlainText;
        bool shortInt = false;   // the splitter made an integer of it
        int32_t flag = -1;       // FlagRef: the flag number
        double num = 0;          // IntLit, RealLit: the value; shortInt: the integer
        uint32_t text = 0, textLen = 0;  // the token's text (offset into pool, zero-terminated)
        uint32_t arg = 0, argLen = 0;    // StrLit: the content; NegName, Name: the name
        // Variable index cache (names): valid while the generation matches, and for
        // a miss or a constant while the count is also unchanged.
        mutable uint64_t cacheGen = 0;
        mutable int32_t cacheIndex = -1;
        mutable int32_t cacheCount = -1;
    };

    // Token patterns of common statements and conditions, evaluated without the
    // value stack (the general evaluation gives the same result).
    enum Shape : uint8_t {
        General,
        StepName,      // NAME,NAME,INT,+,=  or  -  (a name set to itself plus or minus an integer)
        CompareName,   // NAME,INT,op  with op one of > < >= <= == != (condition or statement)
        Arithmetic,    // names, their elements and integers under arithmetic, bit, comparison
                       // and logical operators, optionally assigned to a name or element
    };

    // The pool ends with this many zero bytes after the last text.
    static constexpr size_t kTextPad = 16;

    std::string postfix;     // the postfix text
    std::string pool;        // token texts, each zero-terminated
    std::vector<Tok> toks;
    // The first token as the splitter made it (before constant subscripts were folded).
    Tok first;
    bool hasFirst = false;
    bool refused = false;    // needs more than 32 stack entries: evaluates to integer 0
    Shape shape = General;
    uint64_t serial = 0;     // process-unique for each compilation (0: never compiled)

    const char* textOf(const Tok& t) const { return pool.data() + t.text; }
    const char* argOf(const Tok& t) const { return pool.data() + t.arg; }
};

// Splits a postfix text into an RpnExpr.
RpnExpr rpnCompile(const char* postfix);

class Rpn {
public:
    static constexpr int kOutMax = 64;      // output tokens
    static constexpr int kOpMax = 64;       // pending operators
    static constexpr int kTokenMax = 47;    // bytes of a token
    static constexpr int kPostfixMax = 255; // bytes of postfix text
    static constexpr int kStackMax = 32;    // value stack entries

    Rpn(Variables& vars, Host& host);
    ~Rpn();
    Rpn(const Rpn&) = delete;
    Rpn& operator=(const Rpn&) = delete;

    // Converts an infix expression; returns the number of output tokens. The postfix
    // text is in postfix(), its split form in converted(). An expression beyond the
    // limits converts to the empty postfix text (0 tokens, evaluating to integer 0)
    // and a debugger line reports it.
    int rpnConv(const char* infix);
    const char* postfix() const { return m_postfix; }
    // rpnConv making the postfix text only: converted() is empty afterwards.
    int rpnConvText(const char* infix) {
        m_splitting = false;
        const int n = rpnConv(infix);
        m_splitting = true;
        return n;
    }
    const RpnExpr& converted() const { return *m_converted; }
    // mode 0 statement, 1 condition; the second argument is always -1.
    variant rpnRun(const char* postfix, int unused = -1, int mode = 0);
    variant rpnRun(const RpnExpr& expr, int mode = 0);
    // rpnRun of expr assigned to `value`, and the last element name to `*name` when
    // given, as `value = rpnRun(expr, mode); *name = lastName();` would.
    void rpnRunInto(const RpnExpr& expr, int mode, variant& value, variant* name);
    variant rpnFirst(const char* infix, int unused = -1, int mode = 0);
    // rpnRun(expr) for its last element name, then that name set to `value` as
    // Variables::valSet does (a subroutine parameter taking its argument).
    void assignToLastName(const RpnExpr& expr, const variant& value);

    variant lastElementName() const { return lastName(); }
    const variant& lastName() const {
        if (m_nameInText) {
            m_lastName.assign(m_nameText, m_nameLen);
            m_nameInText = false;
        }
        return m_lastName;
    }
    void traceOn() { m_trace = true; }
    bool traceArmed() const { return m_trace; }
    // Set when the converter met a stray byte beyond position 1024 ("rpnConv" message).
    bool quitRequested() const { return m_quitRequested; }

    Variables& vars() { return m_vars; }

private:
    struct Entry {
        char text[48];
        int32_t kind;   // variantF kind: 1 text, 2 number
        int cls;        // token class / operator index
        int prec;
        bool negate;    // an opener whose group is negated (unary minus before "(")
    };
    struct Slot {
        const RpnExpr::Tok* tok = nullptr;  // non-null: an unresolved token of expr
        variant v;                           // otherwise: a computed value
    };
    struct Opd;
    class Builder;

    // converter
    bool emit(const char* text, size_t n, int cls);
    bool pushOp(int op, bool negate = false);
    bool outOp(const Entry& e);
    void reduce();
    // converted() becomes the split form of `postfix` (empty while not splitting)
    void split(const char* postfix);

    // evaluator
    // render: a number result also gets its text (as rpnRun gives it)
    void evaluate(const RpnExpr& expr, int mode, variant& result, bool render = true);
    bool shaped(const RpnExpr& expr, int mode, variant& result);
    bool arithmetic(const RpnExpr& expr, int mode, variant& result);
    void firstName(const RpnExpr& expr);
    void single(const RpnExpr& expr, variant& result);
    int lookup(const RpnExpr& expr, const RpnExpr::Tok& t) {
        const uint64_t gen = m_vars.generation();
        if (t.cacheGen == gen) {
            if (t.cacheIndex >= 0 && t.cacheIndex < Variables::kMax) return t.cacheIndex;
            if (t.cacheCount == m_vars.count()) return t.cacheIndex;
        }
        return lookupSlow(expr, t);
    }
    int lookupSlow(const RpnExpr& expr, const RpnExpr::Tok& t);
    void resolve(const RpnExpr& expr, Slot& s, Opd& o);
    void classify(const char* t, Opd& o);
    void fromVariable(int index, const char* text, bool negate, Opd& o);
    const char* slotText(const RpnExpr& expr, Slot& s, size_t& n);
    void apply(const RpnExpr& expr, int op, Slot& left, Slot& right);
    // known: the record index when already looked up (-2: look it up)
    void store(std::string_view name, const Opd& o, int known);
    void stepVariable(const RpnExpr& expr, Slot& s, int delta);
    const RpnExpr& cached(const char* postfix);

    Variables& m_vars;
    Host& m_host;

    // converter state (shared by all conversions)
    Entry m_out[kOutMax];
    Entry m_ops[kOpMax];
    int m_nOut = 0, m_nOps = 0;
    int m_prev = 0;          // previous token class
    bool m_pendingMinus = false;
    bool m_minusPushed = false;  // the top operator is the "+" a binary minus pushed
    bool m_overflow = false;
    bool m_splitting = true;
    char m_postfix[kPostfixMax + 1] = {};
    std::unique_ptr<RpnExpr> m_converted;

    // evaluator state
    Slot m_stack[kStackMax];
    variant m_tmp;
    variant m_target;
    // The last element name: m_lastName, or while m_nameInText the text
    // m_nameText[0..m_nameLen) (names are mostly short, and most are never read).
    mutable variant m_lastName;
    mutable bool m_nameInText = false;
    char m_nameText[48] = {};
    uint32_t m_nameLen = 0;
    uint64_t m_lastNameFrom = 0;  // serial of the expression the name was last taken from
    bool m_condition = false;
    bool m_trace = false;
    bool m_quitRequested = false;

    // compiled forms of texts given to rpnRun
    static constexpr int kCacheSlots = 128;
    std::unique_ptr<RpnExpr> m_cache[kCacheSlots];
};

}  // namespace qf
