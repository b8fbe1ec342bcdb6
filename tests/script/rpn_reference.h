// A literal, step-by-step rendering of the evaluation, for differential tests: it re-splits
// the postfix text with Token on every run, keeps the stack as variants and resolves
// operands through their text exactly as the steps say (with the evaluator's sound
// choices for what the rules leave open: an operator without two operands
// does nothing; "-" alone means subtraction). Slow by design.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "script/text.h"
#include "script/variables.h"
#include "script/variant.h"

namespace qf::test {

class ReferenceRpn {
public:
    explicit ReferenceRpn(Variables& vars) : m_vars(vars) {}
    variant lastName;

    variant run(const char* postfix, int mode) {
        m_cond = mode == 1;
        Token tok(postfix, ",", 0);
        lastName = tok.get(0);
        if (tok.cnt() == 0) return variant(0);
        if (tok.cnt() == 1) return single(tok.get(0));
        // the pieces' own bytes (the splitter keeps them in an integer piece's buffer)
        std::vector<std::string> raws;
        for (const char* p = postfix; *p;) {
            while (*p == ',') ++p;
            const char* q = p;
            while (*q && *q != ',') ++q;
            if (q > p) raws.emplace_back(p, q);
            p = q;
        }
        std::vector<variant> st;
        for (int i = 0; i < tok.cnt(); ++i) {
            variant piece = tok.get(i);
            std::string raw = raws[static_cast<size_t>(i)];
            std::string text = tok.getText(i);
            if (text == "++" || text == "--") {
                if (st.empty()) continue;
                std::string name = st.back().text();
                int idx = m_vars.valFind(name);
                if (idx < 0) m_vars.valSet(name, variant(text == "++" ? 1 : -1));
                else m_vars.valSet(name, text == "++" ? m_vars.valGet(idx) + 1 : m_vars.valGet(idx) - 1);
                continue;
            }
            int op = raw == "-" && piece.type() == 2 ? 12 : findOp(text);
            if (op == 7) op = 12;
            if (op < 0) {
                st.emplace_back(text);
                continue;
            }
            if (st.size() < 2) continue;
            variant right = st.back();
            st.pop_back();
            variant& left = st.back();
            left = apply(op, left, right);
        }
        if (st.empty()) return variant(0);
        variant result = st.front();
        const char* t = result.text();
        if (t[0] == '"') {
            std::string c = t + 1;
            size_t q = c.find('"');
            if (q != std::string::npos) c.resize(q);
            result = c;
        }
        if (result.isString() && std::strchr(result.raw(), '[')) {
            lastName = result;
            int idx = m_vars.valFind(result.raw());
            if (idx >= 0) result = m_vars.valGet(idx);
        }
        return result;
    }

private:
    static int findOp(const std::string& t) {
        static const char* ops[37] = {"(",  ")",  "[",  "]",  "++", "--", "!",  "-",  "*",  "/",  "%",  "+", "-",
                                      "<<", ">>", ">",  "<",  ">=", "<=", "==", "!=", "&",  "^",  "|",  "`", "&&",
                                      "||", "=",  "+=", "-=", "*=", "/=", "%=", "&=", "^=", "|=", "`="};
        for (int i = 0; i < 37; ++i)
            if (t == ops[i]) return i;
        return -1;
    }
    static std::string quoted(const char* t) {
        std::string c = t + 1;
        size_t q = c.find('"');
        if (q != std::string::npos) c.resize(q);
        return c;
    }

    variant single(variant t) {
        std::string s = t.text();
        if (s[0] == '"') return variant(quoted(s.c_str()));
        if (isdigit(static_cast<unsigned char>(s[0])) || s[0] == '-') {
            if (s[0] == '-' && (isalpha(static_cast<unsigned char>(s[1])) || s[1] == '_')) {
                int idx = m_vars.valFind(s.substr(1));
                if (idx < 0) return variant(0);
                return -m_vars.valGet(idx);
            }
            if (std::strchr(s.c_str() + 1, '.')) t.toFloat();
            else t.toInt();
            return t;
        }
        int idx = m_vars.valFind(s);
        if (idx >= 0) return m_vars.valGet(idx);
        if (s[0] == '$') return variant(m_vars.flagGet(parseInt(s.c_str() + 1)));
        return variant(s);
    }

    // Operand resolution: through the text, as the steps say.
    void resolve(variant& e, bool& literal, int& flag) {
        std::string t = e.toStr();
        auto digit = [](char c) { return c >= '0' && c <= '9'; };
        if (digit(t[0]) || (t[0] == '-' && digit(t[1]))) {
            if (t.find('.') != std::string::npos) e.toFloat();
            else e.toInt();
        } else if (t[0] == '-') {
            int idx = m_vars.valFind(t.substr(1));
            if (idx < 0) e = 0;
            else e = -m_vars.valGet(idx);
        } else if (t[0] == '"') {
            e = quoted(t.c_str());
            literal = true;
        } else if (t[0] == '$') {
            if (digit(t[1])) {
                flag = parseInt(t.c_str() + 1);
                e = m_vars.flagGet(flag);
            }
        } else {
            int idx = m_vars.valFind(t);
            if (idx < 0) e = 0;
            else e = m_vars.valGet(idx);
        }
    }

    variant apply(int op, variant left, variant right) {
        bool literal = false;
        int flagL = -1, flagR = -1;
        resolve(right, literal, flagR);
        if (op == 2) {
            variant l = left;
            if (l.isNumber()) l.renderWhole();
            std::string name = l.raw();
            name += "[";
            variant r = right;
            if (r.isNumber()) r.renderWhole();
            name += r.raw();
            name += "]";
            return variant(name);
        }
        std::string target = left.text();
        resolve(left, literal, flagL);
        variant& L = left;
        variant& R = right;
        auto div = [&]() {
            variant d = R;
            if (d == 0) d = variant(-2147483647 - 1);
            return L / d;
        };
        auto set = [&](const variant& v) {
            m_vars.valSet(target, v);
            return v;
        };
        switch (op) {
            case 8: return L * R;
            case 12: return L - R;
            case 9: return div();
            case 10: return L % R;
            case 11: {
                if (!literal && L.type() != 1) return L + R;
                variant s("\"");
                s += L;
                s += R;
                return s;
            }
            case 13: return variant(L << R);
            case 14: return variant(L >> R);
            case 15: return variant(L > R);
            case 16: return variant(L < R);
            case 17: return variant(L >= R);
            case 18: return variant(L <= R);
            case 19: return variant(L == R);
            case 20: return variant(L != R);
            case 21: return variant(L & R);
            case 22: return variant(L ^ R);
            case 23: return variant(L | R);
            case 24: return (L & R) != 0 ? L - R : L;
            case 25: return variant(L && R);
            case 26: return variant(L || R);
            case 27:
                if (m_cond) {
                    m_cond = false;
                    return variant(L == R);
                }
                if (flagL >= 0) m_vars.flagSet(flagL, truncInt(R.num()));
                else m_vars.valSet(target, R);
                return R;
            case 28: return set(L + R);
            case 29: return set(L - R);
            case 30: return set(L * R);
            case 31: return set(div());
            case 32: return set(L % R);
            case 33: return set(variant(L & R));
            case 34: return set(variant(L ^ R));
            case 35: return set(variant(L | R));
            case 36: return set((L & R) != 0 ? L - R : L);
            default: return L;
        }
    }

    Variables& m_vars;
    bool m_cond = false;
};

}  // namespace qf::test
