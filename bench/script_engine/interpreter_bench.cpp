// Script lines per second in _RUN_DASH, and loading large scripts with the
// memory they take.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>
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

// Runs frames of a script whose every frame makes `passesPerFrame` passes of its loop.
void runFrames(benchmark::State& state, const std::string& script, int passesPerFrame) {
    BenchGame g({{"main.txt", script}});
    g.engine->interp.open("main.txt");
    uint64_t before = g.engine->interp.linesRun;
    for (auto _ : state) g.engine->interp.step();
    uint64_t lines = g.engine->interp.linesRun - before;
    const double frames = static_cast<double>(state.iterations());
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
    state.counters["lines/frame"] = static_cast<double>(lines) / frames;
    state.counters["passes/s"] = benchmark::Counter(frames * passesPerFrame, benchmark::Counter::kIsRate);
}

// Heap bytes in use and the peak resident size of the process, in bytes.
size_t heapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }
size_t peakResident() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<size_t>(u.ru_maxrss) * 1024;
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
              "#goto *top\r\n",
              33000);
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
              "#return r\r\n",
              5000);
}
BENCHMARK(BM_MixedFrame)->Unit(benchmark::kMillisecond);

void BM_StringFrame(benchmark::State& state) {
    // Joins that stay short and ones that outgrow the inline text, splitting and
    // comparisons of texts.
    runFrames(state,
              "#drivenMode _NIL, 0\r\n"
              "*top\r\n"
              "#repeat 3000\r\n"
              "s = \"name\" + i + \",\" + (i % 7) + \",end\"\r\n"
              "#strToken s, \",\", part\r\n"
              "#if part[0] == \"name\" && part[2] != \"end\"\r\n  bad = bad + 1\r\n#endif\r\n"
              "long = \"The quick brown fox jumps over the lazy dog, \" + part[1] + \" times over\"\r\n"
              "#if long > \"The quick\" || part[1] < \"3\"\r\n  hits = hits + 1\r\n#endif\r\n"
              "i = i + 1\r\n"
              "#loop\r\n"
              "#vsync\r\n"
              "#goto *top\r\n",
              3000);
}
BENCHMARK(BM_StringFrame)->Unit(benchmark::kMillisecond);

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

// A 100,000-line script of the usual mix of lines: the time to load it, the heap it
// keeps per line and the peak resident size of the process (run this benchmark on
// its own for the peak to be the load's).
void BM_Load100kLines(benchmark::State& state) {
    std::string main;
    main.reserve(4u << 20);
    // The label and if tables hold a few hundred entries: one label and one "#if"
    // block every 250 lines.
    for (int i = 0; i < 100000; ++i) {
        const std::string n = std::to_string(i);
        const bool block = (i / 10) % 25 == 0;
        switch (i % 10) {
            case 0: main += block ? "*l" + n + "\r\n" : "w = w - 1\r\n"; break;
            case 1: main += block ? "#if x > " + n + " && y < 3\r\n" : "ok = x > " + n + " && y < 3\r\n"; break;
            case 2: main += "  y = y * 2 + a[" + std::to_string(i % 16) + "]\r\n"; break;
            case 3: main += block ? "#endif\r\n" : "a[i % 16] = b[3] + 1\r\n"; break;
            case 4: main += "#print 10, 20, \"line " + n + "\"\r\n"; break;
            case 5: main += "name = \"hero\" + i // who\r\n"; break;
            case 6: main += "#gosub *l" + std::to_string(i - i % 250) + ", i, 2\r\n"; break;
            case 7: main += "z = z + " + n + "\r\n"; break;
            case 8: main += "#wait 1\r\n"; break;
            default: main += "i = i + 1\r\n"; break;
        }
    }
    BenchGame g({{"main.txt", main}});
    int lines = 0;
    size_t bytesPerLine = 0;
    for (auto _ : state) {
        g.engine->interp.reset();
        g.engine->program.lines.shrink_to_fit();
        const size_t before = heapInUse();
        g.engine->interp.open("main.txt");
        lines = g.engine->program.lineCount();
        bytesPerLine = (heapInUse() - before) / static_cast<size_t>(lines > 0 ? lines : 1);
    }
    state.counters["lines"] = lines;
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["heap B/line"] = static_cast<double>(bytesPerLine);
    state.counters["peak RSS MB"] = static_cast<double>(peakResident()) / 1e6;
}
BENCHMARK(BM_Load100kLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qf
