#include "script/script_services.h"

#include <cstring>

#include "app/engine.h"
#include "script/text.h"

namespace qf {

std::string valueText(const variant& v) {
    variant copy(v);
    return copy.text();
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

bool setVariableInt(Engine& e, const std::string& name, int value) {
    if (e.vars.count() >= Variables::kMax && e.vars.valFind(name) < 0) return false;
    e.vars.valSetInt(name, value);
    return true;
}

void setVariableStr(Engine& e, const std::string& name, const std::string& text) { e.vars.valSetStr(name, text); }

void setVariable(Engine& e, const std::string& name, const variant& value) { e.vars.valSet(name, value); }

double variableNumber(Engine& e, const std::string& name) {
    int index = e.vars.valFind(name);
    if (index < 0) return 0;
    return e.vars.valGet(index).num();
}

void convertVariable(Engine& e, const std::string& name, int kind) {
    int index = e.vars.valFind(name);
    if (index < 0 || index >= Variables::kMax) return;
    if (kind == 0) e.vars.valToInt(index);
    else if (kind == 1) e.vars.valToStr(index);
    else e.vars.valToFloat(index);
}

void compilePiece(Engine& e, std::string_view infix, RpnExpr& out) {
    std::string text(infix);
    e.rpn.rpnConv(text.c_str());
    out = e.rpn.converted();
}

void evaluateInto(Engine& e, const RpnExpr& expr, int mode, variant& out, variant* name) {
    out = e.rpn.rpnRun(expr, mode);
    if (name) *name = e.rpn.lastName();
}

variant evaluateInfix(Engine& e, std::string_view infix, int mode) {
    std::string text(infix);
    return e.rpn.rpnFirst(text.c_str(), -1, mode);
}

std::string evaluateInfixText(Engine& e, std::string_view infix) { return valueText(evaluateInfix(e, infix, 0)); }

bool evaluateInfixEqualsNumber(Engine& e, const std::string& infix, double value) {
    variant v = evaluateInfix(e, infix, 0);
    return (v == variant(value)) != 0;
}

std::string evaluateForName(Engine& e, const RpnExpr& expr) {
    e.rpn.rpnRun(expr, 0);
    return valueText(e.rpn.lastName());
}

void armTrace(Engine& e) { e.rpn.traceOn(); }

int flagGet(Engine& e, int n) { return e.vars.flagGet(n); }
void flagSet(Engine& e, int n, int value) { e.vars.flagSet(n, value); }

}  // namespace qf
