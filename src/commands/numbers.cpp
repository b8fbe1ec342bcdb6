// Texts and numbers: splitting, digits, conversions and trigonometry.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/args.h"
#include "commands/registry.h"
#include "script/text.h"

namespace qf {

namespace {

constexpr double kPi = 3.14159265358979323846;

// 0 integer, 1 string, 2 real.
void convertVariable(Engine& e, const std::string& name, int kind) {
    int index = e.vars.valFind(name);
    if (index < 0 || index >= Variables::kMax) return;
    if (kind == 0) e.vars.valToInt(index);
    else if (kind == 1) e.vars.valToStr(index);
    else e.vars.valToFloat(index);
}

void setReal(Engine& e, const std::string& target, double value) { setVariable(e, target, variant(value)); }

void cmdStrToken(Engine& e) {
    std::string text = argText(e, 0);
    std::string delimiters = argText(e, 1);
    const std::string target = argName(e, 2);
    std::vector<variant> pieces = argGiven(e, 3) ? splitTokensAny(text, delimiters) : splitTokensExact(text, delimiters);
    for (size_t i = 0; i < pieces.size(); ++i) {
        variant& p = pieces[i];
        if (isNilValue(p)) setVariableText(e, elementName(target, static_cast<long long>(i)), "");
        else if (p.isString()) setVariableText(e, elementName(target, static_cast<long long>(i)), valueText(p));
        else setVariableInt(e, elementName(target, static_cast<long long>(i)), truncInt((p).num()));
    }
    setVariableInt(e, "_cnt", static_cast<int>(pieces.size()));
}

void cmdNumDiv(Engine& e) {
    if (!argGiven(e, 1)) return;
    const std::string target = argGiven(e, 0) ? argName(e, 0) : std::string("_stat");
    long long number = argInt(e, 1);
    int count = argGiven(e, 2) ? argInt(e, 2) : 0;
    if (count < 0) count = 0;
    if (count > 10) count = 10;
    if (count == 0) {
        long long m = number < 0 ? -number : number;
        count = 1;
        while (m >= 10 && count < 10) {
            m /= 10;
            ++count;
        }
    }
    long long power = 1;
    for (int i = 1; i < count; ++i) power *= 10;
    setVariableInt(e, "_nDigit", count);
    setVariableInt(e, elementName(target, 0), static_cast<int>(number / power));
    long long rest = number % power;
    for (int i = 1; i < count; ++i) {
        power /= 10;
        setVariableInt(e, elementName(target, i), static_cast<int>(rest / power));
        rest %= power;
    }
}

void cmdToAscii(Engine& e) {
    std::string text(1, static_cast<char>(argInt(e, 1)));
    if (argGiven(e, 2)) text += static_cast<char>(argInt(e, 2));
    setVariableText(e, argName(e, 0), text);
}

void cmdToInt(Engine& e) { convertVariable(e, argName(e, 0), 0); }
void cmdToStr(Engine& e) { convertVariable(e, argName(e, 0), 1); }
void cmdToFloat(Engine& e) { convertVariable(e, argName(e, 0), 2); }

void cmdToDeg(Engine& e) { setReal(e, argName(e, 0), variableNumber(e, argName(e, 1)) * 180.0 * (1.0 / kPi)); }
void cmdToRad(Engine& e) { setReal(e, argName(e, 0), variableNumber(e, argName(e, 1)) * kPi * (1.0 / 180.0)); }

double scaleOf(Engine& e) { return argGiven(e, 2) ? static_cast<double>(static_cast<float>(argNum(e, 2))) : 1.0; }

void cmdSin(Engine& e) {
    double deg = argGiven(e, 1) ? static_cast<double>(argInt(e, 1)) : 0.0;
    setReal(e, argName(e, 0), std::sin(deg * kPi * (1.0 / 180.0)) * scaleOf(e));
}
void cmdCos(Engine& e) {
    double deg = argGiven(e, 1) ? static_cast<double>(argInt(e, 1)) : 0.0;
    setReal(e, argName(e, 0), std::cos(deg * kPi * (1.0 / 180.0)) * scaleOf(e));
}
void cmdSinR(Engine& e) { setReal(e, argName(e, 0), std::sin(argGiven(e, 1) ? argNum(e, 1) : 0.0) * scaleOf(e)); }
void cmdCosR(Engine& e) { setReal(e, argName(e, 0), std::cos(argGiven(e, 1) ? argNum(e, 1) : 0.0) * scaleOf(e)); }
void cmdAtan2(Engine& e) { setReal(e, argName(e, 0), std::atan2(argNum(e, 1), argNum(e, 2)) * 180.0 * (1.0 / kPi)); }
void cmdAtan2R(Engine& e) { setReal(e, argName(e, 0), std::atan2(argNum(e, 1), argNum(e, 2))); }
void cmdSqrt(Engine& e) { setReal(e, argName(e, 0), std::sqrt(argNum(e, 1))); }
void cmdAbs(Engine& e) {
    long long v = argInt(e, 1);
    setVariableInt(e, argName(e, 0), static_cast<int>(static_cast<uint32_t>(v < 0 ? -v : v)));
}

}  // namespace

const CommandFamily kNumberCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#strToken", cmdStrToken}, {"#numDiv", cmdNumDiv}, {"#toAscii", cmdToAscii}, {"#toInt", cmdToInt},
        {"#toStr", cmdToStr},       {"#toFloat", cmdToFloat}, {"#toDeg", cmdToDeg}, {"#toRad", cmdToRad},
        {"#sin", cmdSin},           {"#cos", cmdCos},       {"#sinR", cmdSinR},     {"#cosR", cmdCosR},
        {"#atan2", cmdAtan2},       {"#atan2R", cmdAtan2R}, {"#sqrt", cmdSqrt},     {"#abs", cmdAbs},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
