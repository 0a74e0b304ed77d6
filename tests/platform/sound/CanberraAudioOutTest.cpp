// The sound effects and the alert sound, played through libcanberra into a private PulseAudio
// server whose streams the tests read back.
#include "platform/linux/desktop/CanberraAudioOut.h"

#include "SoundServer.h"
#include "platform/linux/desktop/LinuxDesktop.h"

#include <QJsonArray>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace vigilo {
namespace {

const QString sounds = QStringLiteral(VIGILO_SOUNDS);

QString property(const QJsonObject& stream, const char* name) {
    return stream[u"properties"][QLatin1StringView(name)].toString();
}

QString decibels(const QJsonObject& stream) {
    return stream[u"volume"][u"mono"][u"db"].toString();
}

bool isPrivateFolder(const std::filesystem::path& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           (info.st_mode & 0777) == 0700;
}

template <typename Condition> bool waitFor(Condition done) {
    for (int tries = 0; tries < 1000 && !done(); ++tries) {
        ::usleep(10'000);
    }
    return done();
}

TEST(CanberraVolume, LinearVolumesBecomeDecibels) {
    const struct {
        float volume;
        double decibels;
    } cases[] = {{1, 0}, {0.5F, -6.0206}, {0.35F, -9.1186}, {0.1F, -20}, {2, 0}};
    for (const auto& [volume, expected] : cases) {
        EXPECT_NEAR(volumeInDecibels(volume), expected, 1e-3) << volume;
    }
    EXPECT_EQ(volumeInDecibels(0), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(volumeInDecibels(-1), -std::numeric_limits<double>::infinity());
}

class CanberraAudioOutTest : public ::testing::Test {
protected:
    [[nodiscard]] std::filesystem::path copies() const {
        return folder.path() / "vigilo" / "sounds";
    }
    [[nodiscard]] std::size_t streamCount() const { return server.streams().size(); }

    SoundServer server;
    TempFolder folder;
    CanberraAudioOut audio{sounds, copies()};
};

TEST_F(CanberraAudioOutTest, PlaysAPrivateCopyAsAnEventSoundAtItsVolume) {
    EXPECT_EQ(audio.prepare("no-such-sound"), nullptr);
    const auto clip = audio.prepare("pour-in");
    ASSERT_NE(clip, nullptr);
    clip->setVolume(0.5F);
    clip->playFromStart();
    EXPECT_TRUE(clip->isPlaying());

    ASSERT_TRUE(server.waitForStreams([](const auto& streams) { return streams.size() == 1; }));
    const QJsonObject stream = server.streams().front();
    const std::filesystem::path copy = copies() / "pour-in.wav";
    EXPECT_EQ(property(stream, "media.filename").toStdString(), copy.string());
    EXPECT_EQ(property(stream, "media.role"), u"event");
    EXPECT_EQ(property(stream, "media.name"), u"pour-in");
    EXPECT_EQ(property(stream, "application.name"), u"Vigilo");
    EXPECT_EQ(decibels(stream), u"-6.02 dB");
    EXPECT_EQ(readFile(copy), readFile(sounds.toStdString() + "/pour-in.wav"));
    EXPECT_TRUE(isPrivateFolder(copies().parent_path()));
    EXPECT_TRUE(isPrivateFolder(copies()));
}

TEST_F(CanberraAudioOutTest, StopAndRestartCancelTheSoundAndAnEndedSoundIsNotPlaying) {
    const auto clip = audio.prepare("ice-coffee");
    ASSERT_NE(clip, nullptr);
    clip->playFromStart();
    ASSERT_TRUE(server.waitForStreams([](const auto& streams) { return streams.size() == 1; }));
    clip->stop();
    EXPECT_FALSE(clip->isPlaying());
    EXPECT_TRUE(server.waitForStreams([](const auto& streams) { return streams.empty(); }));

    // Playing again from the start replaces the sound still playing.
    clip->playFromStart();
    ASSERT_TRUE(server.waitForStreams([](const auto& streams) { return streams.size() == 1; }));
    const double first = server.streams().front()[u"index"].toDouble();
    clip->playFromStart();
    EXPECT_TRUE(server.waitForStreams([first](const auto& streams) {
        return streams.size() == 1 && streams.front()[u"index"].toDouble() != first;
    }));

    // Left alone, the sound ends by itself and the clip knows.
    EXPECT_TRUE(clip->isPlaying());
    EXPECT_TRUE(waitFor([&] { return !clip->isPlaying(); }));
    EXPECT_TRUE(server.streams().empty());
}

TEST_F(CanberraAudioOutTest, TheAlertIsTheSoundThemesWarning) {
    LinuxDesktop desktop(QDBusConnection(QStringLiteral("none")), folder.path() / "autostart",
                         "/usr/bin/vigilo");
    desktop.playAlertSound();
    ASSERT_TRUE(server.waitForStreams([](const auto& streams) { return streams.size() == 1; }));
    const QJsonObject stream = server.streams().front();
    EXPECT_EQ(property(stream, "event.id"), u"dialog-warning");
    EXPECT_EQ(property(stream, "media.role"), u"event");
}

/// Everything written to the standard error while it lives.
class CapturedStandardError {
public:
    CapturedStandardError()
        : file_(std::tmpfile())
        , saved_(::dup(STDERR_FILENO)) {
        std::fflush(stderr);
        ::dup2(::fileno(file_), STDERR_FILENO);
    }
    ~CapturedStandardError() {
        restore();
        std::fclose(file_);
    }
    CapturedStandardError(const CapturedStandardError&) = delete;
    CapturedStandardError& operator=(const CapturedStandardError&) = delete;

    [[nodiscard]] std::string text() {
        restore();
        std::string text;
        std::rewind(file_);
        for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_)) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }

private:
    void restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
            saved_ = -1;
        }
    }

    std::FILE* file_;
    int saved_;
};

TEST(CanberraWithoutSoundServer, NothingPlaysAndNothingIsPrinted) {
    const TempFolder folder;
    const PulseServerVariable nowhere(
        QStringLiteral("unix:%1/none").arg(QString::fromStdString(folder.path().string())));
    CapturedStandardError errors;
    {
        CanberraAudioOut audio(sounds, folder.path() / "vigilo" / "sounds");
        const auto clip = audio.prepare("pour-out");
        ASSERT_NE(clip, nullptr);
        clip->setVolume(0.45F);
        clip->playFromStart();
        EXPECT_TRUE(waitFor([&] { return !clip->isPlaying(); }));
    }
    EXPECT_EQ(errors.text(), "");
}

} // namespace
} // namespace vigilo
