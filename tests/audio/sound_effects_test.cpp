#include "audio/sound_effects.h"

#include <gtest/gtest.h>

#include "audio_test_support.h"
#include "platform/audio/mixer.h"

namespace qf {
namespace {

struct Rig {
    test::FakeGame game;
    Mixer mixer;
    SoundEffects effects{mixer, game.services()};
    std::vector<int16_t> out;

    // Level of the left channel over the next `ms`.
    double level(int ms) {
        out.clear();
        mixer.advanceMs(static_cast<uint32_t>(ms), &out);
        return test::rms(test::channel(out, 0));
    }
    double frequency(int ms) {
        out.clear();
        mixer.advanceMs(static_cast<uint32_t>(ms), &out);
        return test::measureFrequency(test::channel(out, 0), 44100);
    }
};

std::vector<uint8_t> tone(double hz, int ms, int rate = 22050) {
    return test::wavImage(test::sine(static_cast<size_t>(rate) * static_cast<size_t>(ms) / 1000, hz, rate, 8000), rate, 1);
}

TEST(SoundEffects, LoadingStopsThePlayingEffectOnlyWhenTheFileExists) {
    Rig rig;
    rig.game.resources["se\\a.wav"] = tone(500, 1000);
    rig.game.resources["se\\b.wav"] = tone(1000, 1000);
    rig.effects.loadCommand(0, std::string("se\\a.wav"));
    rig.effects.play(0);
    EXPECT_EQ(rig.effects.lastPlayed, 0);
    EXPECT_NEAR(rig.frequency(100), 500.0, 1.0);

    // A file missing from disk only empties the slot: the effect goes on.
    rig.effects.loadCommand(0, std::string("se\\missing.wav"));
    EXPECT_TRUE(rig.effects.slots[0].empty());
    EXPECT_NEAR(rig.frequency(100), 500.0, 1.0);

    // An existing file stops it.
    rig.effects.loadCommand(1, std::string("se\\b.wav"));
    EXPECT_EQ(rig.level(100), 0.0);
    EXPECT_FALSE(rig.mixer.effectPlaying());

    // Without a file name the slot's number names it.
    rig.game.resources["05.wav"] = tone(700, 200);
    rig.effects.loadCommand(5, std::nullopt);
    EXPECT_EQ(rig.effects.slots[5], rig.game.resources["05.wav"]);

    // Slot numbers outside 0..31 are ignored.
    rig.effects.loadCommand(32, std::string("se\\a.wav"));
    rig.effects.play(-1);
    EXPECT_EQ(rig.effects.lastPlayed, 0);
}

TEST(SoundEffects, ANewEffectCutsOffTheOneStillPlaying) {
    Rig rig;
    rig.game.resources["long.wav"] = tone(400, 2000);
    rig.game.resources["short.wav"] = tone(1200, 100, 44100);
    rig.effects.load(2, "long.wav");
    rig.effects.load(3, "short.wav");
    rig.effects.play(2);
    EXPECT_NEAR(rig.frequency(200), 400.0, 1.0);
    rig.effects.play(3);
    EXPECT_NEAR(rig.frequency(100), 1200.0, 1.0);
    EXPECT_EQ(rig.level(200), 0.0);  // the long one does not come back
    EXPECT_EQ(rig.effects.lastPlayed, 3);

    rig.effects.play(2);
    EXPECT_GT(rig.level(50), 1000.0);
    rig.effects.stop();
    EXPECT_EQ(rig.level(50), 0.0);

    // A slot holding something that is no WAV plays nothing and still cuts off.
    rig.game.resources["text.wav"] = {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'};
    rig.effects.load(4, "text.wav");
    rig.effects.play(2);
    rig.effects.play(4);
    EXPECT_EQ(rig.level(50), 0.0);
}

TEST(SoundEffects, AnEmptySlotPlaysItsNumberedFileFromDiskOnly) {
    Rig rig;
    rig.game.disk["07.wav"] = tone(900, 500);
    rig.game.resources["08.wav"] = tone(900, 500);  // in the archive only
    rig.effects.play(7);
    EXPECT_NEAR(rig.frequency(300), 900.0, 1.0);
    rig.effects.stop();
    rig.effects.play(8);
    EXPECT_EQ(rig.level(100), 0.0);
    EXPECT_EQ(rig.effects.lastPlayed, 8);

    // An archive entry that exists but is empty leaves the slot empty too.
    rig.game.resources["blank.wav"] = {};
    rig.game.disk["09.wav"] = tone(600, 500);
    rig.effects.load(9, "blank.wav");
    rig.effects.play(9);
    EXPECT_NEAR(rig.frequency(300), 600.0, 1.0);

    rig.effects.load(10, "07.wav");  // not in the resources: stays empty
    rig.effects.clear();
    for (const auto& slot : rig.effects.slots) EXPECT_TRUE(slot.empty());
}

}  // namespace
}  // namespace qf
