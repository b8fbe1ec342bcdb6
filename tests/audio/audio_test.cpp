#include "audio/audio.h"

#include <gtest/gtest.h>

#include "audio_test_support.h"
#include "platform/audio/mixer.h"
#include "script/nil.h"

namespace qf {
namespace {

TEST(Audio, WindowSoundsFrameServiceAndShutdown) {
    test::FakeGame game;
    Mixer mixer;
    Audio audio(mixer, game.services());
    audio.Init();
    game.resources["se.wav"] = test::wavImage(test::sine(4410, 1000, 44100, 6000), 44100, 1);
    game.disk["01.wav"] = test::wavImage(test::sine(4410, 500, 44100, 6000), 44100, 1);
    game.disk["00.wav"] = game.disk["01.wav"];
    audio.effects.load(2, "se.wav");
    audio.mci.load(0);
    audio.mci.load(1);

    std::vector<int16_t> out;
    audio.PlayEffectSlot(2);
    mixer.advanceMs(50, &out);
    EXPECT_NEAR(test::measureFrequency(test::channel(out, 0), 44100), 1000.0, 1.0);
    audio.effects.stop();
    audio.PlayMciFromStart(1);
    out.clear();
    mixer.advanceMs(50, &out);
    EXPECT_NEAR(test::measureFrequency(test::channel(out, 0), 44100), 500.0, 1.0);

    // The frame service keeps the music going while the callbacks do not.
    game.resources["m.ogg"] = test::oggImage(test::sine(44100, 300, 44100, 8000), 44100, 1, {});
    audio.ogg.loadCommand("m.ogg");
    audio.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    game.foreground = false;
    out.clear();
    for (int frame = 0; frame < 30; ++frame) {
        audio.FrameService();
        mixer.advanceMs(16, &out);
    }
    EXPECT_GT(test::rms(test::channel(out, 0)), 5000.0);

    // The frame loop's focus rule is the MIDI player's, counted: nothing while
    // stopped, one pause for a run of unfocused passes, one resume.
    audio.MidiFocus(false);
    audio.MidiFocus(true);
    EXPECT_EQ(audio.midiPauseToggles, 0);
    audio.midiPlaying = true;
    EXPECT_TRUE(audio.midi.playing);
    for (int pass = 0; pass < 3; ++pass) audio.MidiFocus(false);
    EXPECT_EQ(audio.midiPauseToggles, 1);
    EXPECT_TRUE(audio.midi.pausedForFocus);
    audio.MidiFocus(true);
    audio.MidiFocus(true);
    EXPECT_EQ(audio.midiPauseToggles, 2);
    EXPECT_FALSE(audio.midi.pausedForFocus);

    audio.Shutdown();
    EXPECT_FALSE(audio.midiPlaying);
    EXPECT_TRUE(mixer.wavePlayerOpen(0));  // only devices 1 to 7 are closed at exit
    EXPECT_FALSE(mixer.wavePlayerOpen(1));
    EXPECT_TRUE(audio.effects.slots[2].empty());
    EXPECT_EQ(audio.ogg.stream.m_nStatus, StreamPlayer::kNothingLoaded);
    out.clear();
    mixer.advanceMs(200, &out);
    EXPECT_EQ(test::peak(out, 0, out.size()), 0);
}

}  // namespace
}  // namespace qf
