// Expression evaluator: typical script lines, evaluated the way the interpreter
// does (the converted form), from the postfix text, and by re-splitting the text on
// every run from its postfix text (rpnCompile + run).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/headless/headless_host.h"
#include "script/rpn.h"

namespace {

struct World {
    qf::HeadlessHost host;
    std::unique_ptr<qf::Variables> vars = std::make_unique<qf::Variables>(host);
    qf::Rpn rpn{*vars, host};
    World() {
        // a table of a realistic size: system variables and a few arrays
        for (int i = 0; i < 200; ++i) vars->valSetInt("_sys" + std::to_string(i), i);
        for (int i = 0; i < 10; ++i) {
            vars->valSetInt("a[" + std::to_string(i) + "]", 0);
            vars->valSetInt("b[" + std::to_string(i) + "]", i * 3);
        }
        vars->valSetInt("i", 3);
        vars->valSetInt("j", 2);
        vars->valSetInt("c", 7);
        vars->valSetInt("n", 42);
    }
};

const char* lineFor(int which) {
    switch (which) {
        case 0: return "i = i + 1";
        case 1: return "a[i] = b[i] * 2 + c";
        case 2: return "s = \"name:\" + n";
        case 3: return "i < 100 && j == 2";
        default: return "x = (i + j) * 3 / 2 - c";
    }
}
int modeFor(int which) { return which == 3 ? 1 : 0; }

void BM_Converted(benchmark::State& state) {
    World w;
    const int which = static_cast<int>(state.range(0));
    if (which == 1) w.vars->valSetInt("i", 3);
    w.rpn.rpnConv(lineFor(which));
    qf::RpnExpr expr = w.rpn.converted();
    const int mode = modeFor(which);
    qf::variant& counter = w.vars->m_var[w.vars->valFind("i")].m_value;
    for (auto _ : state) {
        if (which == 0) counter.setNumber(0, 2);  // stay small
        qf::variant v = w.rpn.rpnRun(expr, mode);
        benchmark::DoNotOptimize(v);
    }
    state.SetLabel(lineFor(which));
}

void BM_PostfixText(benchmark::State& state) {
    World w;
    const int which = static_cast<int>(state.range(0));
    w.rpn.rpnConv(lineFor(which));
    std::string postfix = w.rpn.postfix();
    const int mode = modeFor(which);
    for (auto _ : state) {
        qf::variant v = w.rpn.rpnRun(postfix.c_str(), -1, mode);
        benchmark::DoNotOptimize(v);
    }
    state.SetLabel(lineFor(which));
}

void BM_ResplitEveryRun(benchmark::State& state) {
    World w;
    const int which = static_cast<int>(state.range(0));
    w.rpn.rpnConv(lineFor(which));
    std::string postfix = w.rpn.postfix();
    const int mode = modeFor(which);
    for (auto _ : state) {
        qf::RpnExpr expr = qf::rpnCompile(postfix.c_str());
        qf::variant v = w.rpn.rpnRun(expr, mode);
        benchmark::DoNotOptimize(v);
    }
    state.SetLabel(lineFor(which));
}

void BM_Convert(benchmark::State& state) {
    World w;
    const int which = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(w.rpn.rpnConv(lineFor(which)));
    state.SetLabel(lineFor(which));
}

void BM_ValFind(benchmark::State& state) {
    World w;
    for (auto _ : state) benchmark::DoNotOptimize(w.vars->valFind("b[7]"));
}

BENCHMARK(BM_Converted)->DenseRange(0, 4);
BENCHMARK(BM_PostfixText)->DenseRange(0, 4);
BENCHMARK(BM_ResplitEveryRun)->DenseRange(0, 4);
BENCHMARK(BM_Convert)->DenseRange(0, 4);
BENCHMARK(BM_ValFind);

}  // namespace
