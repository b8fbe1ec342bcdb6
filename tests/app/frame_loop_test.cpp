#include <gtest/gtest.h>

#include <vector>

#include "app/application.h"
#include "app/engine.h"
#include "app/game.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

// Drives the message loop the way the application does: pump, tick, sleep 1 ms.
struct Loop {
    HeadlessHost host;
    std::unique_ptr<Engine> engine;
    std::vector<uint32_t> frameTicks;  // clock at each frame that ran
    int updates = 0;

    explicit Loop(int refreshRate) {
        host.setRefreshRate(refreshRate);
        engine = std::make_unique<Engine>(host);
        GameInit(*engine);
        engine->windows.update[WND_DRV] = [this] { ++updates; };
    }
    // Runs idle passes until `frames` frames have run or the loop was asked to quit.
    void runFrames(int frames, int maxPasses = 1000000) {
        int ran = 0;
        for (int pass = 0; pass < maxPasses && ran < frames; ++pass) {
            host.pumpEvents();
            if (engine->game.quitPosted) return;
            if (FrameTick(*engine)) {
                ++ran;
                host.frameRan();
                frameTicks.push_back(host.tickMs());
            }
            host.sleepMs(1);
        }
    }
};

TEST(FrameLoop, PacedPathReleasesAFrameEvery16msAndNeverWaitsForTheBlank) {
    for (int hz : {0, 75, 59, 61}) {
        Loop loop(hz);
        loop.runFrames(100);
        ASSERT_EQ(loop.frameTicks.size(), 100u) << hz;
        for (size_t i = 1; i < loop.frameTicks.size(); ++i)
            EXPECT_GE(loop.frameTicks[i] - loop.frameTicks[i - 1], 16u) << "at " << hz << " Hz, frame " << i;
        EXPECT_EQ(loop.host.verticalBlankWaits(), 0u);
        EXPECT_EQ(loop.host.presentCount(), 100u);
        EXPECT_EQ(loop.updates, 100);
    }
}

TEST(FrameLoop, SixtyHertzIsPacedByTheVerticalBlank) {
    Loop loop(60);
    uint32_t framesBefore = loop.engine->timers.get(1);
    loop.runFrames(60);
    EXPECT_EQ(loop.host.verticalBlankWaits(), 60u);
    EXPECT_EQ(loop.host.presentCount(), 60u);
    EXPECT_EQ(loop.engine->timers.get(1) - framesBefore, 60u);
    // One second of vertical blanks, give or take the first.
    EXPECT_GE(loop.host.tickMs(), 990u);
    EXPECT_LE(loop.host.tickMs(), 1040u);
}

TEST(FrameLoop, AlternateFrameModeRendersOnOneBlankAndShowsOnTheNext) {
    Loop loop(60);
    loop.engine->run.alternateFrameMode = 1;
    int draws = 0;
    loop.engine->windows.draw[WND_PLN] = [&](int) { ++draws; };
    int lowSpriteGroups = 0;
    loop.engine->windows.drawAfterPlanes = [&] { ++lowSpriteGroups; };
    std::vector<uint64_t> presentsAfterFrame;
    for (int i = 0; i < 20; ++i) {
        loop.runFrames(1);
        presentsAfterFrame.push_back(loop.host.presentCount());
    }
    EXPECT_EQ(loop.updates, 20);                       // the script runs every tick
    EXPECT_EQ(loop.engine->timers.get(1), 20u);        // and so do the timers
    EXPECT_EQ(loop.host.verticalBlankWaits(), 20u);
    EXPECT_EQ(loop.host.presentCount(), 10u);
    EXPECT_EQ(draws, 10);
    // Only the gauges are drawn a second time, not the sprites 256..319.
    EXPECT_EQ(lowSpriteGroups, 10);
    // Parity starts at 1: the first tick renders, the second presents.
    EXPECT_EQ(presentsAfterFrame[0], 0u);
    EXPECT_EQ(presentsAfterFrame[1], 1u);
    for (size_t i = 2; i < presentsAfterFrame.size(); ++i)
        EXPECT_LE(presentsAfterFrame[i] - presentsAfterFrame[i - 2], 1u);
}

TEST(FrameLoop, TimerSlotsCountFramesAndCountDown) {
    Loop loop(0);
    loop.engine->timers.set(3, 100);
    loop.runFrames(60);
    EXPECT_EQ(loop.engine->timers.get(1), 60u);
    EXPECT_EQ(loop.engine->timers.get(3), 40u);
    EXPECT_EQ(loop.engine->timers.get(0), loop.frameTicks.back());
    // Out-of-range slots are ignored.
    loop.engine->timers.set(8, 5);
    loop.engine->timers.set(-1, 5);
    EXPECT_EQ(loop.engine->timers.get(8), 0u);
}

TEST(FrameLoop, MillisecondWaitOf100EndsAfterAbout100ms) {
    for (int hz : {0, 60}) {
        Loop loop(hz);
        loop.runFrames(3);
        FrameTimers& t = loop.engine->timers;
        t.setWaitMode(1, loop.host.tickMs());
        t.set(7, 100);
        uint32_t start = loop.host.tickMs();
        int frames = 0;
        while (static_cast<int32_t>(t.get(7)) > 0 && frames < 1000) {
            loop.runFrames(1);
            ++frames;
        }
        uint32_t elapsed = loop.host.tickMs() - start;
        EXPECT_GE(elapsed, 80u) << hz;
        EXPECT_LE(elapsed, 120u) << hz;
    }
}

TEST(FrameLoop, NothingRunsWhileTheWindowIsUnfocused) {
    Loop loop(0);
    loop.runFrames(5);
    loop.engine->audio.midiPlaying = true;
    loop.host.setFocus(false);
    uint32_t frames = loop.engine->timers.get(1);
    int updates = loop.updates;
    uint64_t presents = loop.host.presentCount();
    loop.runFrames(10, 500);
    EXPECT_EQ(loop.engine->timers.get(1), frames);
    EXPECT_EQ(loop.updates, updates);
    EXPECT_EQ(loop.host.presentCount(), presents);
    EXPECT_EQ(loop.engine->audio.midiPauseToggles, 1);  // paused once, not every tick
    loop.host.setFocus(true);
    loop.runFrames(1);
    EXPECT_EQ(loop.engine->audio.midiPauseToggles, 2);  // resumed
    EXPECT_EQ(loop.updates, updates + 1);
}

TEST(FrameLoop, EscapeAndTheQuitRequestEndTheLoopAfterTheCurrentFrame) {
    {
        Loop loop(0);
        loop.runFrames(3);
        loop.host.setKey(vk::ESCAPE, true);
        loop.runFrames(5);
        EXPECT_EQ(loop.updates, 4);  // the Escape frame still ran to its end
        EXPECT_EQ(loop.host.presentCount(), 4u);
        EXPECT_TRUE(loop.engine->game.quitPosted);
    }
    for (int hz : {0, 60}) {
        Loop loop(hz);
        loop.runFrames(2);
        loop.engine->game.quitRequest = 1;
        loop.runFrames(5);
        // Paced: the next pass posts the quit while the pacer holds the frame back.
        // Vertical blank: the frame runs, but nothing is drawn or presented.
        EXPECT_EQ(loop.updates, hz == 60 ? 3 : 2);
        EXPECT_TRUE(loop.engine->game.quitPosted);
        EXPECT_EQ(loop.host.presentCount(), 2u);
    }
}

struct FrameCounter {
    int updates = 0;
    std::vector<int> escapeSeenAt;
};

TEST(Application, InputEventsApplyAtTheStartOfTheirFrameAndFramesLimitTheRun) {
    HeadlessHost host;
    InputScript script;
    std::string error;
    ASSERT_TRUE(parseInputScript("3 key down A\n5 key down ESCAPE\n", script, error)) << error;
    host.setInputScript(script);
    Options options;
    options.headless = true;
    options.frames = 100;
    FrameCounter counter;
    auto probe = [](Engine& e, void* context) {
        auto* c = static_cast<FrameCounter*>(context);
        e.windows.update[WND_DRV] = [c, &e] {
            ++c->updates;
            if (e.host.keyState('A') < 0) c->escapeSeenAt.push_back(c->updates);
        };
    };
    EXPECT_EQ(runApplication(host, options, GameLocation{}, probe, &counter), 0);
    EXPECT_EQ(counter.updates, 5);  // Escape at frame 5 ends the run after frame 5
    ASSERT_FALSE(counter.escapeSeenAt.empty());
    EXPECT_EQ(counter.escapeSeenAt.front(), 3);

    HeadlessHost host2;
    options.frames = 7;
    FrameCounter counter2;
    EXPECT_EQ(runApplication(host2, options, GameLocation{}, probe, &counter2), 0);
    EXPECT_EQ(counter2.updates, 7);
    EXPECT_EQ(host2.framesRun(), 7u);
}

TEST(Application, FocusTakenAwayAndGivenBackOnTheClock) {
    HeadlessHost host;
    InputScript script;
    std::string error;
    ASSERT_TRUE(parseInputScript("4 focus off\n@2000 focus on\n", script, error)) << error;
    host.setInputScript(script);
    Options options;
    options.headless = true;
    options.frames = 10;
    std::vector<uint32_t> ticks;
    auto probe = [](Engine& e, void* context) {
        auto* t = static_cast<std::vector<uint32_t>*>(context);
        e.windows.update[WND_DRV] = [t, &e] { t->push_back(e.host.tickMs()); };
    };
    runApplication(host, options, GameLocation{}, probe, &ticks);
    ASSERT_EQ(ticks.size(), 10u);
    EXPECT_LT(ticks[2], 100u);
    EXPECT_GE(ticks[3], 2000u);  // frame 4 waited for the focus to come back
}

}  // namespace
}  // namespace qf
