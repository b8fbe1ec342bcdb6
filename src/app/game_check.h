// quillfen check DIR: loads a game's scripts as the engine would and reports
// the mistakes an author can fix before shipping it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/game_check_findings.h"

namespace qf {

struct GameCheckOptions {
    // Where plug-ins beside the program are looked for; empty: beside the running program.
    std::string programDir;
};

// Checks the game at `path`: a game directory, or a script or archive whose
// directory is the game's, as on the engine's command line. False when there
// is no game to check (no main.txt and no archive, or an archive that cannot
// be read); `failure` says why.
bool checkGame(const std::string& path, const GameCheckOptions& options, Findings& findings, std::string& failure);

// The "check" tool: args are {"check", PATH}. Prints the findings to `out`;
// 0 no error, 1 some error, 2 bad usage or no readable game.
int runGameCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const GameCheckOptions& options = {});

// The usage line of the tool, to follow the other tools' usage.
const char* gameCheckUsage();

}  // namespace qf
