#include "model/SoundPlayer.h"

#include "fakes/FakeAudioOut.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDefaults.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

class SoundPlayerTest : public ::testing::Test {
protected:
    fakes::FakeAudioOut audio;
    fakes::FakeDefaults defaults;
    fakes::FakeClock clock;
    Settings settings{defaults};
    SoundPlayer player{audio, settings, clock};

    std::vector<std::string> playedNames() const {
        std::vector<std::string> names;
        for (const auto& play : audio.plays) {
            names.push_back(play.name);
        }
        return names;
    }
};

TEST_F(SoundPlayerTest, SameNameWithinTheThrottleIsDropped) {
    player.play("pour-in", 0.5F);
    audio.playing.clear();
    clock.advance(0.05);
    player.play("pour-out", 0.45F);
    clock.advance(0.05);
    player.play("pour-in", 0.5F);
    EXPECT_EQ(playedNames(), (std::vector<std::string>{"pour-in", "pour-out"}));
    clock.advance(0.03);
    player.play("pour-in", 0.5F);
    EXPECT_EQ(audio.plays.size(), 3U);
    EXPECT_FLOAT_EQ(audio.plays.back().volume, 0.5F);
}

TEST_F(SoundPlayerTest, APourSilencesOtherSoundsButIceDoesNot) {
    player.play("pour-in", 0.5F);
    clock.advance(1);
    player.play("ice-coffee", 0.35F);
    EXPECT_TRUE(audio.isPlaying("pour-in"));
    EXPECT_TRUE(audio.isPlaying("ice-coffee"));
    clock.advance(1);
    player.play("pour-out", 0.45F);
    EXPECT_FALSE(audio.isPlaying("pour-in"));
    EXPECT_FALSE(audio.isPlaying("ice-coffee"));
    EXPECT_TRUE(audio.isPlaying("pour-out"));
}

TEST_F(SoundPlayerTest, AClipStillPlayingIsNotRestarted) {
    player.play("ice-coffee", 0.35F);
    clock.advance(1);
    player.play("ice-coffee", 0.35F);
    EXPECT_EQ(audio.plays.size(), 1U);
    EXPECT_EQ(audio.prepareCalls["ice-coffee"], 1) << "clips are prepared once and kept";
}

TEST_F(SoundPlayerTest, StoredFalseSilencesWithoutTouchingTheThrottle) {
    defaults.set("soundEnabled", false);
    player.play("pour-in", 0.5F);
    EXPECT_TRUE(audio.plays.empty());
    defaults.set("soundEnabled", true);
    player.play("pour-in", 0.5F);
    EXPECT_EQ(audio.plays.size(), 1U);
}

TEST_F(SoundPlayerTest, ReadsTheSwitchByTheSameRuleAsTheSettingsScreen) {
    // The switch shows an integer 0 as off; the sounds must follow what it shows.
    defaults.set("soundEnabled", std::int64_t{0});
    player.play("pour-in", 0.5F);
    EXPECT_TRUE(audio.plays.empty());
    defaults.set("soundEnabled", std::string("off"));
    player.play("pour-in", 0.5F);
    EXPECT_EQ(audio.plays.size(), 1U) << "a text is no boolean: the default, on";
}

TEST_F(SoundPlayerTest, MissingFileIsSilentAndTriedAgainLater) {
    audio.missing.insert("pour-in");
    player.play("pour-in", 0.5F);
    EXPECT_TRUE(audio.plays.empty());
    audio.missing.clear();
    clock.advance(1);
    player.play("pour-in", 0.5F);
    EXPECT_EQ(audio.plays.size(), 1U);
    EXPECT_EQ(audio.prepareCalls["pour-in"], 2);
}

} // namespace
} // namespace vigilo
