// What the loader, the interpreter and the command handlers need of the
// values, the expression evaluator, the variables and the resource layer,
// phrased once so handlers stay short.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "script/nil.h"
#include "script/rpn.h"
#include "script/variant.h"

namespace qf {

struct Engine;


// The 272-byte game information record ("#infoInput", "#infoTag").
struct GameInfo {
    uint8_t bytes[272] = {};
};

// --- values
inline bool isNilValue(const variant& v) { return v.isNumber() && v.num() == static_cast<double>(kNil); }
inline void setNil(variant& v) { v = kNil; }
inline double valueNumber(const variant& v) { return v.num(); }
inline bool valueIsText(const variant& v) { return v.isString(); }
inline bool valueIsZeroNumber(const variant& v) { return v.isNumber() && v.num() == 0; }
std::string valueText(const variant& v);
inline void setText(variant& v, const std::string& text) { v = text; }
inline variant makeReal(double d) { return variant(d); }

// Exact split at the delimiter text (empty pieces are _NIL) and split at any
// delimiter byte (empty pieces skipped); integer-looking pieces become integers.
std::vector<variant> splitTokensExact(const std::string& text, const std::string& delimiter);
std::vector<variant> splitTokensAny(const std::string& text, const std::string& delimiters);
std::vector<std::string> splitAny(const std::string& text, const char* delimiters);

// --- variables and flags
// False when the table is full and the variable does not exist.
bool setVariableInt(Engine& e, const std::string& name, int value);
void setVariableStr(Engine& e, const std::string& name, const std::string& text);
void setVariable(Engine& e, const std::string& name, const variant& value);
double variableNumber(Engine& e, const std::string& name);
// 0 integer, 1 string, 2 real.
void convertVariable(Engine& e, const std::string& name, int kind);
int flagGet(Engine& e, int n);
void flagSet(Engine& e, int n, int value);

// --- expressions
// Converts one argument piece once, at load time.
void compilePiece(Engine& e, std::string_view infix, RpnExpr& out);
// Evaluates a converted piece; when `name` is given it receives the last element name.
void evaluateInto(Engine& e, const RpnExpr& expr, int mode, variant& out, variant* name);
variant evaluateInfix(Engine& e, std::string_view infix, int mode);
std::string evaluateInfixText(Engine& e, std::string_view infix);
bool evaluateInfixEqualsNumber(Engine& e, const std::string& infix, double value);
// The last element name of evaluating the postfix text (the variable it designates).
std::string evaluateForName(Engine& e, const RpnExpr& expr);
void armTrace(Engine& e);

// --- resources and files
// Whole resources through the resource lookup (loose files or the archive);
// false when the resource is missing or empty.
bool readScript(Engine& e, const std::string& name, std::string& out);
bool readResource(Engine& e, const std::string& name, std::vector<uint8_t>& out);
long long resourceSize(Engine& e, const std::string& name);
void logMissingFile(Engine& e, const std::string& name);
int romMode(Engine& e);
void setRomMode(Engine& e, int mode);
bool openArchive(Engine& e, const std::string& name);
// Plain files of the game directory, sorted as Windows lists them.
std::vector<std::string> listGameDirectory(Engine& e);
void startPacker(Engine& e);
GameInfo gameInfo(Engine& e);
void setGameInfo(Engine& e, const GameInfo& info);
bool archiveFailedVerification(Engine& e);

// Files on disk, by game names ("\\" separators, any letter case).
void copyFile(Engine& e, const std::string& from, const std::string& to);
void deleteFile(Engine& e, const std::string& name);
void createDirectory(Engine& e, const std::string& name);
// The last-write time as "2024/05/06 13:04:09"; false when the file cannot be opened.
bool fileTimeText(Engine& e, const std::string& name, std::string& out);
// Files larger than this are refused by readDiskFile.
constexpr int64_t kMaxDiskFileBytes = int64_t(1) << 30;
// The whole file; false when it cannot be opened or is too large.
bool readDiskFile(Engine& e, const std::string& name, std::vector<uint8_t>& out);
// Replaces the file with exactly these bytes.
bool writeDiskFile(Engine& e, const std::string& name, const uint8_t* data, size_t size);

// --- other subsystems
int keyPressPulses(Engine& e);
bool keysHeld(Engine& e);
void openSystemMessage(Engine& e, const std::string& text);
void refreshAutomaticEvents(Engine& e);
void callPluginCommand(Engine& e, int k);

}  // namespace qf
