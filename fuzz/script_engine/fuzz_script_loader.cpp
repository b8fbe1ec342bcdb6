// Arbitrary bytes as "main.txt", read from memory: load, then run a few frames.
// The file commands the script may run work in a scratch directory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/engine.h"
#include "app/game.h"
#include "platform/headless/headless_host.h"
#include "res/game_root.h"
#include "script/interpreter.h"

namespace {

// The game directory of every run: file commands work beneath it and nowhere else.
const std::string& scratchDirectory() {
    static const std::string dir = [] {
        auto path = std::filesystem::temp_directory_path() / ("quillfen-fuzz-loader-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qf::HeadlessHost host;
    auto engine = std::make_unique<qf::Engine>(host);
    if (std::optional<qf::GameRoot> root = qf::GameRoot::open(scratchDirectory())) engine->files.SetRoot(std::move(*root));
    const std::string script(reinterpret_cast<const char*>(data), size);
    engine->interp.source.read = [&script](const std::string& name, std::string& out) {
        if (name != "main.txt") return false;
        out = script;
        return true;
    };
    qf::RegisterStartupWindows(*engine);
    engine->interp.start();
    engine->interp.watchdogLimit = 3000;
    if (engine->interp.open("main.txt")) {
        engine->interp.watchdogLimit = 3000;
        for (int frame = 0; frame < 3; ++frame) {
            engine->timers.tick(static_cast<uint32_t>(frame * 16));
            engine->timers.set(7, 0);
            engine->interp.step();
        }
    }
    return 0;
}
