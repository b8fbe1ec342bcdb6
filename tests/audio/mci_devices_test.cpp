#include "audio/mci_devices.h"

#include <gtest/gtest.h>

#include "audio_test_support.h"
#include "platform/audio/mixer.h"

namespace qf {
namespace {

struct Rig {
    test::FakeGame game;
    Mixer mixer;
    MciDevices mci{mixer, game.services()};
    std::vector<int16_t> out;

    std::vector<int16_t> left(int ms) {
        out.clear();
        mixer.advanceMs(static_cast<uint32_t>(ms), &out);
        return test::channel(out, 0);
    }
};

// A ramp: the sample value tells the position (value = frame / 4).
std::vector<uint8_t> ramp(size_t frames) {
    std::vector<int16_t> s(frames);
    for (size_t i = 0; i < frames; ++i) s[i] = static_cast<int16_t>(i / 4);
    return test::wavImage(s, 44100, 1);
}

TEST(MciDevices, NumberedDevicesOpenTheirFileFromDiskAndPlayFromTheStart) {
    Rig rig;
    rig.game.disk["03.wav"] = ramp(44100);
    rig.game.resources["04.wav"] = ramp(44100);  // the archive is not consulted
    rig.mci.load(3);
    rig.mci.load(4);
    EXPECT_EQ(rig.mci.elementName[3], "03.wav");
    EXPECT_TRUE(rig.mixer.wavePlayerOpen(3));
    EXPECT_FALSE(rig.mixer.wavePlayerOpen(4));

    rig.mci.play(3);
    auto left = rig.left(100);
    EXPECT_EQ(left[0], 0);
    EXPECT_EQ(left[4409], 4409 / 4);
    // Playing again while it plays restarts it from the beginning.
    rig.mci.play(3);
    left = rig.left(10);
    EXPECT_EQ(left[0], 0);
    EXPECT_EQ(left[100], 25);

    rig.mci.stop(3);
    EXPECT_EQ(test::peak(rig.left(10), 0, 441), 0);
    rig.mci.close(3);
    EXPECT_TRUE(rig.mci.elementName[3].empty());
    rig.mci.play(3);
    EXPECT_EQ(test::peak(rig.left(10), 0, 441), 0);

    // Devices play independently: two at once add up.
    rig.game.disk["06.wav"] = ramp(4410);
    rig.game.disk["07.wav"] = ramp(4410);
    rig.mci.load(6);
    rig.mci.load(7);
    rig.mci.play(6);
    rig.mci.play(7);
    EXPECT_EQ(rig.left(10)[200], 2 * (200 / 4));

    // Device numbers outside 0..31 are ignored.
    rig.game.disk["32.wav"] = ramp(100);
    rig.mci.load(32);
    rig.mci.load(-1);
    EXPECT_FALSE(rig.mixer.wavePlayerOpen(32));
}

TEST(MciDevices, CommandStringsDriveDevicesOpenedByName) {
    Rig rig;
    rig.game.disk["sound\\door.wav"] = ramp(44100);
    rig.mci.command("\"open sound\\door.wav type waveaudio alias door\" ignored");
    rig.mci.sendString("PLAY Door from 500 to 600 notify");
    auto left = rig.left(200);
    EXPECT_EQ(left[0], 22050 / 4);
    EXPECT_EQ(left[4409], (22050 + 4409) / 4);
    EXPECT_EQ(left[4411], 0);

    rig.mci.sendString("set door time format samples");
    rig.mci.sendString("seek door to 8000");
    rig.mci.sendString("resume door");
    EXPECT_EQ(rig.left(10)[0], 2000);
    rig.mci.sendString("pause door");
    EXPECT_EQ(test::peak(rig.left(10), 0, 441), 0);
    rig.mci.sendString("play door");  // on from where it paused
    EXPECT_EQ(rig.left(10)[0], (8000 + 441) / 4);

    // A second open under a name in use fails; other device types are not opened.
    rig.game.disk["other.wav"] = ramp(100);
    rig.mci.sendString("open other.wav alias door");
    rig.mci.sendString("open cdaudio!other.wav alias cd");
    rig.mci.sendString("play cd");
    EXPECT_FALSE(rig.mixer.wavePlayerOpen(MciDevices::kDevices + 1));

    // "play FILE" opens the file under its own name.
    rig.game.disk["beep.wav"] = ramp(4410);
    rig.mci.sendString("close door");
    rig.mci.sendString("play beep.wav");
    left = rig.left(50);
    EXPECT_EQ(left[40], 10);
    EXPECT_TRUE(rig.mixer.wavePlayerOpen(MciDevices::kDevices));

    // "close all" closes the named devices and the numbered ones.
    rig.game.disk["00.wav"] = ramp(100);
    rig.mci.load(0);
    rig.mci.sendString("close all");
    for (int id = 0; id < SoundDevice::kWavePlayerCount; ++id) EXPECT_FALSE(rig.mixer.wavePlayerOpen(id)) << id;
    // Nonsense is ignored.
    rig.mci.sendString("");
    rig.mci.sendString("status door mode");
    rig.mci.sendString("play");
}

TEST(MciDevices, CommandTextOfTheScriptLine) {
    EXPECT_EQ(MciDevices::mciCommandText("\"play bgm from 0\""), "play bgm from 0");
    EXPECT_EQ(MciDevices::mciCommandText("\"play bgm"), "play bgm");
    EXPECT_EQ(MciDevices::mciCommandText("close all\"x\""), "close all");
    EXPECT_EQ(MciDevices::mciCommandText("stop bgm"), "stop bgm");
    EXPECT_EQ(MciDevices::mciCommandText(""), "");
}

}  // namespace
}  // namespace qf
