// The player's master volume and sound font choice on the mixer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>

#include "audio_test_support.h"
#include "platform/audio/mixer.h"

namespace qf {
namespace {

// The mixed sound of a 0.5 s, 440 Hz effect at amplitude 16000, at `gain`.
std::vector<int16_t> effectAt(float gain) {
    Mixer mixer;
    mixer.setMasterGain(gain);
    const auto image = test::wavImage(test::sine(22050, 440, 44100, 16000), 44100, 1);
    std::string error;
    EXPECT_TRUE(mixer.playEffectImage(image.data(), image.size(), &error)) << error;
    std::vector<int16_t> out;
    mixer.advanceMs(400, &out);
    return out;
}

TEST(MasterVolume, ScalesTheWholeMixAndClampsItsRange) {
    const auto full = effectAt(1.0f);
    const double fullLevel = test::rms(full);
    ASSERT_GT(fullLevel, 10000.0);
    EXPECT_NEAR(test::rms(effectAt(0.5f)) / fullLevel, 0.5, 0.01);
    EXPECT_NEAR(test::rms(effectAt(0.25f)) / fullLevel, 0.25, 0.01);
    EXPECT_EQ(test::rms(effectAt(0.0f)), 0.0);
    // Outside 0..1: clamped, never louder than the mix itself nor inverted.
    EXPECT_NEAR(test::rms(effectAt(3.0f)) / fullLevel, 1.0, 1e-9);
    EXPECT_EQ(test::rms(effectAt(-1.0f)), 0.0);
    Mixer mixer;
    EXPECT_EQ(mixer.masterGain(), 1.0f);
    mixer.setMasterGain(0.4f);
    EXPECT_EQ(mixer.masterGain(), 0.4f);
}

TEST(MasterVolume, APreferredSoundFontIsTriedFirst) {
    const char* font = nullptr;
    for (const char* path : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                             "/usr/share/sounds/sf2/default-GM.sf2"})
        if (::access(path, R_OK) == 0) font = path;
    if (!font) GTEST_SKIP() << "no General MIDI sound font installed";
    const auto smf = test::midiImage(2);
    // Only fonts that do not exist: silent, until the player names one.
    Mixer silent({"/nonexistent/a.sf2"});
    ASSERT_TRUE(silent.loadMidi(smf.data(), smf.size(), nullptr));
    EXPECT_FALSE(silent.midiAudible());
    Mixer chosen({"/nonexistent/a.sf2"});
    chosen.preferSoundFont(font);
    ASSERT_TRUE(chosen.loadMidi(smf.data(), smf.size(), nullptr));
    EXPECT_TRUE(chosen.midiAudible());
    chosen.playMidi();
    std::vector<int16_t> out;
    chosen.advanceMs(500, &out);
    EXPECT_GT(test::rms(out), 300.0);
    // A preferred font that cannot be loaded falls back to the others.
    Mixer fallback({font});
    fallback.preferSoundFont("/nonexistent/b.sf2");
    ASSERT_TRUE(fallback.loadMidi(smf.data(), smf.size(), nullptr));
    EXPECT_TRUE(fallback.midiAudible());
}

}  // namespace
}  // namespace qf
