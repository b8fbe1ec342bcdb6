// Arrays, enumerations, texts and numbers, trigonometry, flags and files.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/engine.h"
#include "script/command_handlers.h"
#include "script/interpreter.h"
#include "script/script_services.h"

namespace qf {

namespace {

constexpr double kPi = 3.14159265358979323846;

Interpreter& I(Engine& e) { return e.interp; }
std::string name(Engine& e, int slot) { return valueText(I(e).argNames[slot]); }
double num(Engine& e, int slot) { return valueNumber(I(e).args[slot]); }

std::string element(const std::string& base, long long i) { return base + "[" + std::to_string(i) + "]"; }
std::string element(const std::string& base, long long i, long long j) { return element(element(base, i), j); }
std::string element(const std::string& base, long long i, long long j, long long k) { return element(element(base, i, j), k); }

void setReal(Engine& e, const std::string& target, double value) { setVariable(e, target, makeReal(value)); }

void cmdDim(Engine& e) {
    const std::string base = name(e, 0);
    long long size1 = argGiven(e, 1) ? argInt(e, 1) : 0;
    long long size2 = argGiven(e, 2) ? argInt(e, 2) : 0;
    long long size3 = argGiven(e, 3) ? argInt(e, 3) : 0;
    if (size1 <= 0) return;
    int initial = argGiven(e, 7) ? argInt(e, 7) : 0;
    int dims = 3;
    if (size3 < 1) {
        --dims;
        size3 = 1;
    }
    if (size2 < 1) {
        --dims;
        size2 = 1;
    }
    long long first1 = argGiven(e, 4) ? argInt(e, 4) : 0, first2 = argGiven(e, 5) ? argInt(e, 5) : 0,
              first3 = argGiven(e, 6) ? argInt(e, 6) : 0;
    // The table holds 1536 variables: stop once it is full rather than loop on.
    for (long long i = first1; i < first1 + size1; ++i)
        for (long long j = first2; j < first2 + size2; ++j)
            for (long long k = first3; k < first3 + size3; ++k) {
                std::string target = dims == 1 ? element(base, i) : dims == 2 ? element(base, i, j) : element(base, i, j, k);
                if (!setVariableInt(e, target, initial)) return;
            }
}

void cmdDimMap(Engine& e) {
    const std::string base = name(e, 0);
    const bool twoDimensional = argInt(e, 1) == 1;
    int& line = I(e).s.currentLine;
    const int last = e.program.lineCount() - 1;
    long long row = 0, n = 0;
    while (line + 1 <= last && e.program.lines[static_cast<size_t>(line + 1)].command == CMD_EXPRESSION) {
        ++line;
        std::string text = e.program.lines[static_cast<size_t>(line)].args;
        if (!text.empty() && text.back() == ',') text.pop_back();
        long long col = 0;
        size_t start = 0;
        while (true) {
            size_t comma = text.find(',', start);
            std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (piece.find_first_not_of(" \t") != std::string::npos) {
                variant value = evaluateInfix(e, piece, 0);
                setVariable(e, twoDimensional ? element(base, row, col) : element(base, n), value);
                ++n;
            }
            ++col;
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        ++row;
    }
}

void cmdEnum(Engine& e) {
    int counter = 0;
    int& line = I(e).s.currentLine;
    const int last = e.program.lineCount() - 1;
    while (line + 1 <= last && e.program.lines[static_cast<size_t>(line + 1)].command <= CMD_LABEL) {
        ++line;
        const ProgramLine& l = e.program.lines[static_cast<size_t>(line)];
        std::string text = l.command == CMD_LABEL ? std::string() : l.args;
        std::vector<std::string> pieces = splitAny(text, " \t=,");
        if (pieces.size() == 1) {
            setVariableInt(e, pieces[0], counter++);
        } else if (pieces.size() > 1) {
            counter = truncInt(valueNumber(evaluateInfix(e, text, 0))) + 1;
        }
    }
}

void cmdStrToken(Engine& e) {
    std::string text = argText(e, 0);
    std::string delimiters = argText(e, 1);
    const std::string target = name(e, 2);
    std::vector<variant> pieces = argGiven(e, 3) ? splitTokensAny(text, delimiters) : splitTokensExact(text, delimiters);
    for (size_t i = 0; i < pieces.size(); ++i) {
        variant& p = pieces[i];
        if (isNilValue(p)) setVariableStr(e, element(target, static_cast<long long>(i)), "");
        else if (valueIsText(p)) setVariableStr(e, element(target, static_cast<long long>(i)), valueText(p));
        else setVariableInt(e, element(target, static_cast<long long>(i)), truncInt(valueNumber(p)));
    }
    setVariableInt(e, "_cnt", static_cast<int>(pieces.size()));
}

void cmdNumDiv(Engine& e) {
    if (!argGiven(e, 1)) return;
    const std::string target = argGiven(e, 0) ? name(e, 0) : std::string("_stat");
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
    setVariableInt(e, element(target, 0), static_cast<int>(number / power));
    long long rest = number % power;
    for (int i = 1; i < count; ++i) {
        power /= 10;
        setVariableInt(e, element(target, i), static_cast<int>(rest / power));
        rest %= power;
    }
}

void cmdToAscii(Engine& e) {
    std::string text(1, static_cast<char>(argInt(e, 1)));
    if (argGiven(e, 2)) text += static_cast<char>(argInt(e, 2));
    setVariableStr(e, name(e, 0), text);
}

void cmdToInt(Engine& e) { convertVariable(e, name(e, 0), 0); }
void cmdToStr(Engine& e) { convertVariable(e, name(e, 0), 1); }
void cmdToFloat(Engine& e) { convertVariable(e, name(e, 0), 2); }

void cmdToDeg(Engine& e) { setReal(e, name(e, 0), variableNumber(e, name(e, 1)) * 180.0 * (1.0 / kPi)); }
void cmdToRad(Engine& e) { setReal(e, name(e, 0), variableNumber(e, name(e, 1)) * kPi * (1.0 / 180.0)); }

double scaleOf(Engine& e) { return argGiven(e, 2) ? static_cast<double>(static_cast<float>(num(e, 2))) : 1.0; }

void cmdSin(Engine& e) {
    double deg = argGiven(e, 1) ? static_cast<double>(argInt(e, 1)) : 0.0;
    setReal(e, name(e, 0), std::sin(deg * kPi * (1.0 / 180.0)) * scaleOf(e));
}
void cmdCos(Engine& e) {
    double deg = argGiven(e, 1) ? static_cast<double>(argInt(e, 1)) : 0.0;
    setReal(e, name(e, 0), std::cos(deg * kPi * (1.0 / 180.0)) * scaleOf(e));
}
void cmdSinR(Engine& e) { setReal(e, name(e, 0), std::sin(argGiven(e, 1) ? num(e, 1) : 0.0) * scaleOf(e)); }
void cmdCosR(Engine& e) { setReal(e, name(e, 0), std::cos(argGiven(e, 1) ? num(e, 1) : 0.0) * scaleOf(e)); }
void cmdAtan2(Engine& e) { setReal(e, name(e, 0), std::atan2(num(e, 1), num(e, 2)) * 180.0 * (1.0 / kPi)); }
void cmdAtan2R(Engine& e) { setReal(e, name(e, 0), std::atan2(num(e, 1), num(e, 2))); }
void cmdSqrt(Engine& e) { setReal(e, name(e, 0), std::sqrt(num(e, 1))); }
void cmdAbs(Engine& e) {
    long long v = argInt(e, 1);
    setVariableInt(e, name(e, 0), static_cast<int>(static_cast<uint32_t>(v < 0 ? -v : v)));
}

void setOrToggleFlags(Engine& e, int first, int count, bool given, int value) {
    // Only flags 0..255 exist: the range is cut to them.
    const long long end = std::min<long long>(static_cast<long long>(first) + count, 256);
    for (long long f = std::max(first, 0); f < end; ++f) {
        if (given) flagSet(e, static_cast<int>(f), value);
        else flagSet(e, static_cast<int>(f), flagGet(e, static_cast<int>(f)) == 0 ? 1 : 0);
    }
}

void cmdFlag(Engine& e) {
    int count = argGiven(e, 2) ? argInt(e, 2) : 1;
    if (count < 0) count = 0;
    if (count > 256) count = 256;
    setOrToggleFlags(e, argInt(e, 0), count, argGiven(e, 1), argInt(e, 1));
    refreshAutomaticEvents(e);
}

void cmdFlagSeq(Engine& e) {
    int first = argInt(e, 0), count = argInt(e, 1);
    setOrToggleFlags(e, first, count, argGiven(e, 2), argInt(e, 2));
}

void cmdFileCopy(Engine& e) { copyFile(e, argText(e, 0), argText(e, 1)); }
void cmdFileDel(Engine& e) { deleteFile(e, argText(e, 0)); }
void cmdDirCreate(Engine& e) { createDirectory(e, argText(e, 0)); }

void cmdFileGetTime(Engine& e) {
    if (!argGiven(e, 0)) {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        setVariableInt(e, "_year", local.tm_year + 1900);
        setVariableInt(e, "_month", local.tm_mon + 1);
        setVariableInt(e, "_day", local.tm_mday);
        setVariableInt(e, "_hour", local.tm_hour);
        setVariableInt(e, "_minute", local.tm_min);
        setVariableInt(e, "_second", local.tm_sec);
        setVariableInt(e, "_week", local.tm_wday);
        return;
    }
    std::string text;
    if (!fileTimeText(e, argText(e, 1), text)) return;
    setVariableStr(e, argText(e, 0), text);
}

void cmdValClearCommand(Engine& e) { cmdValClear(e.vars); }
void cmdValSortCommand(Engine& e) { cmdValSort(e.vars); }
void cmdValLimitCommand(Engine& e) {
    cmdValLimit(e.vars, name(e, 0), I(e).args[1], I(e).args[2], I(e).args[3]);
}
void cmdValHookCommand(Engine& e) { cmdValHook(e.vars, I(e).args[0]); }

}  // namespace

const std::vector<CommandBinding>& dataCommandBindings() {
    static const std::vector<CommandBinding> bindings = {
        {"#dim", cmdDim},         {"#dimMap", cmdDimMap},   {"#enum", cmdEnum},
        {"#strToken", cmdStrToken}, {"#numDiv", cmdNumDiv}, {"#toAscii", cmdToAscii},
        {"#toInt", cmdToInt},     {"#toStr", cmdToStr},     {"#toFloat", cmdToFloat},
        {"#toDeg", cmdToDeg},     {"#toRad", cmdToRad},     {"#sin", cmdSin},
        {"#cos", cmdCos},         {"#sinR", cmdSinR},       {"#cosR", cmdCosR},
        {"#atan2", cmdAtan2},     {"#atan2R", cmdAtan2R},   {"#sqrt", cmdSqrt},
        {"#abs", cmdAbs},         {"#flag", cmdFlag},       {"#flagSeq", cmdFlagSeq},
        {"#fileCopy", cmdFileCopy}, {"#fileDel", cmdFileDel}, {"#fileGetTime", cmdFileGetTime},
        {"#dirCreate", cmdDirCreate},
        {"#valClear", cmdValClearCommand}, {"#valSort", cmdValSortCommand}, {"#valLimit", cmdValLimitCommand},
        {"#valHook", cmdValHookCommand},
    };
    return bindings;
}

}  // namespace qf
