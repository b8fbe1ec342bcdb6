// A whole run of the engine on a given host: entry, start-up, the message
// loop, shutdown, and the outputs the command line asked for.
#pragma once

#include <string>

#include "app/command_line.h"
#include "platform/host.h"

namespace qf {

struct Engine;

// The game directory and the script or archive the command line names.
struct GameLocation {
    std::string directory = ".";
    std::string scriptName;  // a script or archive file name in the directory; empty for a directory
};

// The game that `path` names (a script, an archive or a directory; empty: the
// current directory); false with a message when the path does not exist.
bool locateGame(const std::string& path, GameLocation& out, std::string& error);

// Runs the game until it quits; returns the process exit status. Every file
// the game names is resolved beneath its directory; the process's working
// directory is never changed. `onEngine`, when given, sees the engine after
// start-up (tests use it to install probes).
int runApplication(Host& host, const Options& options, const GameLocation& game,
                   void (*onEngine)(Engine&, void*) = nullptr, void* context = nullptr);

}  // namespace qf
