// Script lines per second in _RUN_DASH, and loading a large script.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/engine.h"
#include "tests/support/scratch_game.h"
#include "app/game.h"
#include "platform/headless/headless_host.h"
#include "script/interpreter.h"

namespace qf {
namespace {

namespace fs = std::filesystem;

struct BenchGame : test::ScratchGame {
    explicit BenchGame(const test::FileList& files) : ScratchGame(files, InterpreterOnly{}) {}
};

// Runs frames of a script whose every frame runs `linesPerFrame` lines.
void runFrames(benchmark::State& state, const std::string& script) {
    BenchGame g({{"main.txt", script}});
    g.engine->interp.open("main.txt");
    uint64_t before = g.engine->interp.linesRun;
    for (auto _ : state) g.engine->interp.step();
    uint64_t lines = g.engine->interp.linesRun - before;
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
    state.counters["lines/frame"] = static_cast<double>(lines) / static_cast<double>(state.iterations());
}

void BM_CountingLoop(benchmark::State& state) {
    // 3 lines a pass (assignment, condition, loop); 99,000 lines a frame.
    runFrames(state,
              "#drivenMode _NIL, 0\r\n"
              "*top\r\n"
              "#repeat 33000\r\n"
              "i = i + 1\r\n"
              "#if i > 1000000000\r\n#endif\r\n"
              "#loop\r\n"
              "#vsync\r\n"
              "#goto *top\r\n");
}
BENCHMARK(BM_CountingLoop)->Unit(benchmark::kMillisecond);

void BM_MixedFrame(benchmark::State& state) {
    runFrames(state,
              "#drivenMode _NIL, 0\r\n"
              "*top\r\n"
              "#repeat 5000\r\n"
              "a[i % 16] = b[i % 16] * 2 + c\r\n"
              "#if a[3] > 10 && c < 5\r\n  c = c + 1\r\n#else\r\n  c = 0\r\n#endif\r\n"
              "#gosub *sub, i, 2\r\n"
              "name = \"hero\" + i\r\n"
              "i = i + 1\r\n"
              "#loop\r\n"
              "#vsync\r\n"
              "#goto *top\r\n"
              "*sub x, y\r\n"
              "r = x * y\r\n"
              "#return r\r\n");
}
BENCHMARK(BM_MixedFrame)->Unit(benchmark::kMillisecond);

void BM_LoadLargeScript(benchmark::State& state) {
    std::string main, part;
    for (int f = 0; f < 4; ++f) main += "#include \"part" + std::to_string(f) + ".txt\"\r\n";
    for (int i = 0; i < 4000; ++i) main += "a" + std::to_string(i % 100) + " = a" + std::to_string(i % 100) + " + " + std::to_string(i) + "\r\n";
    for (int i = 0; i < 4000; ++i) {
        if (i % 40 == 0) part += "*l" + std::to_string(i) + "_PART\r\n";
        part += i % 10 == 0 ? "#if x > 3\r\ny = y * 2\r\n#endif\r\n" : "z = z + " + std::to_string(i) + " // add\r\n";
    }
    BenchGame g({{"main.txt", main}});
    for (int f = 0; f < 4; ++f) {
        std::string text = part;
        for (size_t at; (at = text.find("_PART")) != std::string::npos;) text.replace(at, 5, "_" + std::to_string(f));
        std::ofstream(g.dir.path() + "/" + ("part" + std::to_string(f) + ".txt"), std::ios::binary) << text;
    }
    int lines = 0;
    for (auto _ : state) {
        g.engine->interp.open("main.txt");
        lines = g.engine->program.lineCount();
    }
    state.counters["lines"] = lines;
}
BENCHMARK(BM_LoadLargeScript)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qf
