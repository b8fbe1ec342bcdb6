// Arbitrary bytes as "main.txt": load, then run a few frames.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/engine.h"
#include "app/game.h"
#include "platform/headless/headless_host.h"
#include "script/interpreter.h"

namespace {

void enterScratchDirectory() {
    static bool done = false;
    if (done) return;
    auto dir = std::filesystem::temp_directory_path() / ("quillfen-fuzz-loader-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    done = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    enterScratchDirectory();
    {
        std::ofstream out("main.txt", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    qf::HeadlessHost host;
    auto engine = std::make_unique<qf::Engine>(host);
    qf::RegisterStartupWindows(*engine);
    qf::scriptStart(*engine);
    engine->interp.watchdogLimit = 3000;
    if (qf::scriptOpen(*engine, "main.txt")) {
        engine->interp.watchdogLimit = 3000;
        for (int frame = 0; frame < 3; ++frame) {
            engine->timers.tick(static_cast<uint32_t>(frame * 16));
            engine->timers.set(7, 0);
            qf::scriptStep(*engine);
        }
    }
    return 0;
}
