// The message window's frame: a full page (4 lines of 40 columns, with ruby)
// typed at once and drawn, and the draw alone of a page already typed.
#include <benchmark/benchmark.h>

#include <string>

#include "app/engine.h"
#include "app/game.h"
#include "app/message_windows.h"
#include "app/text_and_frames.h"
#include "platform/headless/headless_host.h"
#include "platform/sjis.h"

namespace qf {
namespace {

struct Scene {
    HeadlessHost host;
    Engine e{host};
    std::string page;
    Scene() {
        RegisterStartupWindows(e);
        installTextAndFrames(e);
        installMessageWindows(e);
        e.interp.start();
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        // 4 lines of 20 double-byte characters, four of them with ruby.
        page = sj("羽根<はね>ペンの村へようこそ。今日は風が強い。") + "\n" +
               sj("東<ひがし>の森では鳥が鳴き、西の川は静かですね。") + "\n" +
               sj("耳<みみ>を澄ませば水車の音が聞こえるでしょう。") + "\n" +
               sj("物語<ものがたり>はここから始まります。さあ行こうか。");
    }
};

void BM_FullPageTypedAtOnceAndDrawn(benchmark::State& state) {
    Scene s;
    MessageWindow& w = s.e.messages;
    for (auto _ : state) {
        w.Begin(s.page, "Ann");
        w.skipPage = 1;
        w.Step();
        w.Draw();
        w.End();
    }
    if (w.rubyCount != 4 || s.e.messageLog.entries[0].size() != 163) state.SkipWithError("the page was not typed whole");
}
BENCHMARK(BM_FullPageTypedAtOnceAndDrawn)->Unit(benchmark::kMicrosecond);

void BM_FullPageDrawn(benchmark::State& state) {
    Scene s;
    MessageWindow& w = s.e.messages;
    w.Begin(s.page, "Ann");
    w.skipPage = 1;
    w.Step();
    for (auto _ : state) w.Draw();
}
BENCHMARK(BM_FullPageDrawn)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qf
