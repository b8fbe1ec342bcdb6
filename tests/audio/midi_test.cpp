#include <gtest/gtest.h>

#include "audio/midi_player.h"
#include "audio_test_support.h"
#include "platform/audio/midi_synth.h"
#include "platform/audio/mixer.h"
#include "platform/audio/smf_check.h"

namespace qf {
namespace {

double level(Mixer& mixer, int ms) {
    std::vector<int16_t> out;
    mixer.advanceMs(static_cast<uint32_t>(ms), &out);
    return test::rms(out);
}

TEST(MidiCheck, AcceptsAStandardFileAndRefusesBrokenOnes) {
    const auto good = test::midiImage(2);
    EXPECT_EQ(checkSmf(good.data(), good.size()), SmfError::None);
    auto broken = [&](size_t at, uint8_t value) {
        auto v = good;
        v[at] = value;
        return checkSmf(v.data(), v.size());
    };
    EXPECT_EQ(checkSmf(good.data(), 10), SmfError::NotMidi);
    EXPECT_EQ(broken(0, 'X'), SmfError::NotMidi);
    EXPECT_EQ(broken(9, 3), SmfError::BadHeader);     // format 3
    EXPECT_EQ(broken(11, 0), SmfError::BadHeader);    // no tracks
    EXPECT_EQ(broken(18, 0x7F), SmfError::Truncated); // track longer than the file
    EXPECT_EQ(broken(14, 'X'), SmfError::NoTracks);   // the only chunk is no track
    EXPECT_EQ(broken(4, 0x7F), SmfError::Truncated);  // header longer than the file
    EXPECT_EQ(checkSmf(good.data(), good.size() - 1), SmfError::Truncated);
}

TEST(MidiSynth, PlaysPausesLoopsAndStopsWithASoundFont) {
    Mixer mixer;
    const auto smf = test::midiImage(4);  // two seconds
    std::string error;
    ASSERT_TRUE(mixer.loadMidi(smf.data(), smf.size(), &error)) << error;
    if (!mixer.midiAudible()) GTEST_SKIP() << "no General MIDI sound font installed";

    EXPECT_EQ(level(mixer, 200), 0.0);  // loaded, not playing
    mixer.playMidi();
    EXPECT_GT(level(mixer, 500), 300.0);
    mixer.toggleMidiPause();
    EXPECT_EQ(level(mixer, 300), 0.0);
    mixer.toggleMidiPause();
    EXPECT_GT(level(mixer, 300), 300.0);
    // The two-second piece starts again after its end.
    level(mixer, 1100);
    EXPECT_GT(level(mixer, 400), 300.0);
    mixer.stopMidi();
    EXPECT_EQ(level(mixer, 200), 0.0);
    mixer.toggleMidiPause();  // no piece: nothing to toggle
    EXPECT_EQ(level(mixer, 100), 0.0);
    mixer.playMidi();
    EXPECT_GT(level(mixer, 300), 300.0);

    // Something that is no MIDI file is refused and the piece plays on.
    const uint8_t junk[] = "RIFF, not a MIDI file";
    EXPECT_FALSE(mixer.loadMidi(junk, sizeof junk, &error));
    EXPECT_EQ(error, smfErrorText(SmfError::NotMidi));
    EXPECT_GT(level(mixer, 200), 300.0);
}

TEST(MidiSynth, WithoutASoundFontEverythingWorksSilently) {
    Mixer mixer({"/nonexistent/quillfen-test.sf2"});
    const auto smf = test::midiImage(2);
    EXPECT_TRUE(mixer.loadMidi(smf.data(), smf.size(), nullptr));
    EXPECT_FALSE(mixer.midiAudible());
    mixer.playMidi();
    mixer.toggleMidiPause();
    mixer.toggleMidiPause();
    EXPECT_EQ(level(mixer, 300), 0.0);
    mixer.stopMidi();
}

TEST(MidiPlayer, FocusPausesOnceAndResumesOnceWhilePlaying) {
    test::FakeGame game;
    Mixer mixer;
    MidiPlayer midi(mixer, game.services());
    game.resources["bgm\\theme.mid"] = test::midiImage(8);
    midi.load("bgm\\theme.mid");
    EXPECT_EQ(midi.image, game.resources["bgm\\theme.mid"]);
    if (!mixer.midiAudible()) GTEST_SKIP() << "no General MIDI sound font installed";

    // Stopped: losing the focus does nothing.
    EXPECT_FALSE(midi.focus(false));
    EXPECT_FALSE(midi.pausedForFocus);
    EXPECT_FALSE(midi.focus(true));

    midi.play();
    EXPECT_TRUE(midi.playing);
    EXPECT_GT(level(mixer, 300), 300.0);
    EXPECT_TRUE(midi.focus(false));
    EXPECT_TRUE(midi.pausedForFocus);
    EXPECT_FALSE(midi.focus(false));  // every frame without focus: still one pause
    EXPECT_EQ(level(mixer, 300), 0.0);
    EXPECT_TRUE(midi.focus(true));
    EXPECT_FALSE(midi.focus(true));
    EXPECT_FALSE(midi.pausedForFocus);
    EXPECT_GT(level(mixer, 300), 300.0);

    // The playing flag does not follow the script's pause: a piece the script
    // paused plays while the window is away and pauses again on its return.
    midi.pause();
    EXPECT_EQ(level(mixer, 200), 0.0);
    midi.focus(false);
    EXPECT_GT(level(mixer, 200), 300.0);
    midi.focus(true);
    EXPECT_EQ(level(mixer, 200), 0.0);

    midi.stop();
    EXPECT_FALSE(midi.playing);
    // A missing file leaves no image; playing it changes nothing audible.
    midi.load("none.mid");
    EXPECT_TRUE(midi.image.empty());
    midi.release();
    EXPECT_EQ(level(mixer, 100), 0.0);
}

}  // namespace
}  // namespace qf
