// Conversion of infix expressions into postfix texts.
#include "script/rpn.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "script/rpn_detail.h"
#include "script/text.h"

namespace qf {

using namespace rpn_detail;

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
        split(m_postfix);
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
        split("");
        return 0;
    }
    m_postfix[n] = 0;
    split(m_postfix);
    return m_nOut;
}

void Rpn::split(const char* postfix) {
    if (m_splitting) *m_converted = rpnCompile(postfix);
    else if (!m_converted->postfix.empty() || !m_converted->toks.empty()) *m_converted = RpnExpr{};
}

}  // namespace qf
