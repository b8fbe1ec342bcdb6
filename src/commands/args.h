// What a command handler reads of its line and writes back: the evaluated
// arguments, the names of the variables they designate, the raw argument
// text, and results stored into script variables.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "app/engine.h"
#include "script/nil.h"
#include "script/variant.h"

namespace qf {

// --- arguments of the current line (slots 0..7)
// False for a slot left out (_NIL) and for slots outside 0..7.
bool argGiven(Engine& e, int slot);
// Truncated toward zero; _NIL when left out.
int argInt(Engine& e, int slot);
double argNum(Engine& e, int slot);
std::string argText(Engine& e, int slot);
inline int argOr(Engine& e, int slot, int fallback) { return argGiven(e, slot) ? argInt(e, slot) : fallback; }
// The first N arguments as integers, _NIL where left out.
template <size_t N>
std::array<int, N> argInts(Engine& e) {
    std::array<int, N> a{};
    for (size_t i = 0; i < N; ++i) a[i] = argInt(e, static_cast<int>(i));
    return a;
}
// Keep-style arguments: the field takes the argument only when it was given.
inline void keepArg(Engine& e, int slot, int& field) {
    if (argGiven(e, slot)) field = argInt(e, slot);
}
inline void keepArg(Engine& e, int slot, float& field) {
    if (argGiven(e, slot)) field = float(argInt(e, slot));
}
// The name of the variable argument `slot` designates (its last element name).
std::string argName(Engine& e, int slot);
// The current line's whole argument text as written, commas included.
std::string argLineText(Engine& e);
// The slot-th comma-separated piece of the line's argument text as written,
// without surrounding blanks.
std::string argRaw(Engine& e, int slot);

// --- script variables
// False when the table is full and the variable does not exist.
bool setVariableInt(Engine& e, const std::string& name, int value);
void setVariable(Engine& e, const std::string& name, const variant& value);
void setVariableText(Engine& e, const std::string& name, const std::string& text);
// The result of a command, into the variable named by argument 0.
inline bool setResultInt(Engine& e, int value) { return setVariableInt(e, argName(e, 0), value); }
// Index of the script variable named so, or -1 (constants are not variables).
int variableIndex(Engine& e, const std::string& name);
double variableNumber(Engine& e, const std::string& name);

// "base[i]", "base[i][j]", "base[i][j][k]".
std::string elementName(const std::string& base, long long i);
std::string elementName(const std::string& base, long long i, long long j);
std::string elementName(const std::string& base, long long i, long long j, long long k);
// An expression written in the script, evaluated now (mode as the evaluator takes it).
variant evaluateExpression(Engine& e, std::string_view infix, int mode);

// --- whole resources through the resource lookup (loose files or the archive);
// false when the resource is missing or empty.
bool readScript(Engine& e, const std::string& name, std::string& out);
bool readResource(Engine& e, const std::string& name, std::vector<uint8_t>& out);

}  // namespace qf
