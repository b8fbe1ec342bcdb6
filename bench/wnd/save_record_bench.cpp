// Saving and loading a record with a full variable table (1,536 variables:
// integers, reals, texts with commas) in a temporary game directory: the
// variable text, the CRC, the scrambling and the safe write or the read.
#include <benchmark/benchmark.h>

#include <string>

#include "commands/system_windows.h"
#include "tests/support/scratch_game.h"
#include "wnd/record_variables.h"
#include "wnd/save_record.h"

namespace {

struct FullGame : qf::test::ScratchGame {
    FullGame() : qf::test::ScratchGame({}) {
        qf::Variables& vars = engine->vars;
        for (int i = 0; i < qf::Variables::kMax; ++i) {
            const std::string name = "item[" + std::to_string(i) + "]";
            if (i % 3 == 0) {
                vars.valSetInt(name, i * 1000);
            } else if (i % 3 == 1) {
                qf::variant v;
                v.setNumber(i / 7.0, qf::variant::kReal);
                vars.valSet(name, v);
            } else {
                vars.valSetStr(name, "a text, with a comma " + std::to_string(i));
            }
            vars.flagSet(i % 256, i);
        }
    }
};

void BM_SaveRecord(benchmark::State& state) {
    FullGame g;
    qf::Engine& e = *g.engine;
    for (auto _ : state) {
        bool ok = qf::saveRecord(qf::recordFiles(e), "01.sav", "quill", "day1 town 12:00:00", e.vars.m_flag,
                                 qf::recordVariableText(e.vars));
        benchmark::DoNotOptimize(ok);
    }
    state.counters["bytes"] = double(g.file("01.sav").size());
}
BENCHMARK(BM_SaveRecord)->Unit(benchmark::kMillisecond);

void BM_LoadRecord(benchmark::State& state) {
    FullGame g;
    qf::Engine& e = *g.engine;
    qf::saveRecord(qf::recordFiles(e), "01.sav", "quill", "day1 town 12:00:00", e.vars.m_flag,
                   qf::recordVariableText(e.vars));
    for (auto _ : state) {
        std::optional<qf::RecordContents> record = qf::loadRecord(qf::recordFiles(e), "01.sav", "quill");
        if (record) qf::restoreRecord(e.vars, *record);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_LoadRecord)->Unit(benchmark::kMillisecond);

}  // namespace
