// A whole run of the engine on a given host: entry, start-up, the message
// loop, shutdown, and the outputs the command line asked for.
#pragma once

#include "app/command_line.h"
#include "platform/host.h"

namespace qf {

struct Engine;

// Changes to the game directory that `path` names (a script, an archive or a
// directory) and returns the script name; false with a message when the
// path does not exist.
bool enterGameDirectory(const std::string& path, std::string& scriptName, std::string& error);

// Runs the game in the current directory with `scriptName` until it quits;
// returns the process exit status. `onEngine`, when given, sees the engine
// after start-up (tests use it to install probes).
int runApplication(Host& host, const Options& options, const std::string& scriptName,
                   void (*onEngine)(Engine&, void*) = nullptr, void* context = nullptr);

}  // namespace qf
