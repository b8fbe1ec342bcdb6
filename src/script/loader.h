// The script loader: turns a script file and its includes into the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qf {

class Host;
class Rpn;
struct Program;

// The 272-byte game information record ("#infoInput", "#infoTag").
constexpr int kGameInfoSize = 272;

// Where the loader's scripts come from and what it reports to.
struct ScriptSource {
    // The whole script by its game name; false when it is missing or unreadable.
    std::function<bool(const std::string& name, std::string& out)> read;
    // An include that could not be read.
    std::function<void(const std::string& name)> missingInclude;
    // The run source (2: archive mode, where lines starting "#/" are dropped).
    const int32_t* romMode = nullptr;
    // "#infoInput" and "#infoTag" write into this record when it is given.
    uint8_t* gameInfo = nullptr;
};

struct LoadResult {
    int loaded = 0;          // 1 on success, 0 when the main file is missing or empty
    bool quitAsked = false;  // duplicate labels, or a stray byte deep in an expression
};

// Builds the program from `fileName` and its includes. The caller resets the program first.
LoadResult scriptLoad(Program& program, Rpn& rpn, Host& host, const ScriptSource& source, const std::string& fileName);
// Frees the program lines.
void scriptRelease(Program& program);

}  // namespace qf
