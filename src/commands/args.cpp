#include "commands/args.h"

#include <span>

namespace qf {

bool argGiven(Engine& e, int slot) { return slot >= 0 && slot < kPieceCount && !isNilValue(e.interp.args[slot]); }

int argInt(Engine& e, int slot) {
    if (slot < 0 || slot >= kPieceCount) return kNil;
    return truncInt(e.interp.args[slot].num());
}

double argNum(Engine& e, int slot) {
    if (slot < 0 || slot >= kPieceCount) return kNil;
    return e.interp.args[slot].num();
}

std::string argText(Engine& e, int slot) {
    if (slot < 0 || slot >= kPieceCount) return {};
    return valueText(e.interp.args[slot]);
}

std::string argName(Engine& e, int slot) {
    if (slot < 0 || slot >= kPieceCount) return {};
    return valueText(e.interp.argNames[slot]);
}

std::string argLineText(Engine& e) {
    const int line = e.interp.s.currentLine;
    if (line < 0 || line >= e.program.lineCount()) return {};
    return e.program.lines[static_cast<size_t>(line)].args;
}

std::string argRaw(Engine& e, int slot) {
    const std::string args = argLineText(e);
    size_t start = 0;
    for (int i = 0; i < slot; ++i) {
        size_t comma = args.find(',', start);
        if (comma == std::string::npos) return {};
        start = comma + 1;
    }
    size_t comma = args.find(',', start);
    std::string piece = args.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t first = piece.find_first_not_of(" \t"), last = piece.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : piece.substr(first, last - first + 1);
}

bool setVariableInt(Engine& e, const std::string& name, int value) {
    if (e.vars.count() >= Variables::kMax && e.vars.valFind(name) < 0) return false;
    e.vars.valSetInt(name, value);
    return true;
}

void setVariable(Engine& e, const std::string& name, const variant& value) { e.vars.valSet(name, value); }

void setVariableText(Engine& e, const std::string& name, const std::string& text) { e.vars.valSetStr(name, text); }

std::string elementName(const std::string& base, long long i) { return base + "[" + std::to_string(i) + "]"; }
std::string elementName(const std::string& base, long long i, long long j) { return elementName(elementName(base, i), j); }
std::string elementName(const std::string& base, long long i, long long j, long long k) {
    return elementName(elementName(base, i, j), k);
}

variant evaluateExpression(Engine& e, std::string_view infix, int mode) {
    std::string text(infix);
    return e.rpn.rpnFirst(text.c_str(), -1, mode);
}

int variableIndex(Engine& e, const std::string& name) {
    int i = e.vars.valFind(name);
    return i >= 0 && i < e.vars.count() ? i : -1;
}

double variableNumber(Engine& e, const std::string& name) {
    int index = e.vars.valFind(name);
    if (index < 0) return 0;
    return e.vars.valGet(index).num();
}

namespace {

// The whole resource into a byte container; false when missing or empty.
template <class Bytes>
bool readWhole(Engine& e, const std::string& name, Bytes& out) {
    out.clear();
    int32_t size = resSizeGet(e.resources, name);
    if (size <= 0) return false;
    out.resize(static_cast<size_t>(size));
    int32_t got = resRead(e.resources, name, std::span<uint8_t>(reinterpret_cast<uint8_t*>(out.data()), out.size()));
    if (got <= 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<size_t>(got));
    return true;
}

}  // namespace

bool readScript(Engine& e, const std::string& name, std::string& out) { return readWhole(e, name, out); }
bool readResource(Engine& e, const std::string& name, std::vector<uint8_t>& out) { return readWhole(e, name, out); }

}  // namespace qf
