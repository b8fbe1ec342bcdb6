// The script language's vocabulary: 251 command names at fixed positions,
// each with its handler. A line's command index is the position of its name.
#pragma once

#include <string_view>

namespace qf {

// Handlers receive the engine that runs the script; the script layer passes
// it through without looking inside.
struct Engine;
using CommandHandler = void (*)(Engine&);

constexpr int kCommandCount = 251;
constexpr int kPluginCommandBase = 256;

// Indices with a meaning of their own.
enum SpecialCommand { CMD_NONE = 0, CMD_EXPRESSION = 1, CMD_LABEL = 2, CMD_CASE = 3, CMD_MESSAGE_END = 4 };

extern const char* const kCommandNames[kCommandCount];

// Position of the exact (case-sensitive) name, first match; -1 when it is no command.
int findCommand(std::string_view name);
// The command word of an index, "" outside 0..250.
const char* commandName(int index);

}  // namespace qf
