// The program's command line: options for headless runs and the game path.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qf {

struct Options {
    bool headless = false;
    long long frames = -1;  // end after this many frames; -1 runs until quit
    std::string inputScript;
    std::string logFile;
    std::string screenshot;
    std::vector<std::pair<long long, std::string>> screenshotsAt;
    std::string dumpVars;
    std::string audioOut;
    std::optional<int> refreshRate;
    std::optional<unsigned> seed;
    // Player options: the script sees none of them.
    bool fullscreen = false;
    int zoom = 0;      // percent the first window shows the screen at; 0: the game's own
    int volume = 100;  // master volume, 0..100
    bool mute = false;
    std::string soundFont;
    std::string path;
    bool help = false;
    bool version = false;
};

// 0 when the options are good; 2 with a message in `error` otherwise.
int parseCommandLine(const std::vector<std::string>& args, Options& out, std::string& error);

const char* usageText();

}  // namespace qf
