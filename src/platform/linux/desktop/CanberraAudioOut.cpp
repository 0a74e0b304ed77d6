#include "platform/linux/desktop/CanberraAudioOut.h"

#include "platform/linux/desktop/CanberraContext.h"
#include "platform/posix/PrivateFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <atomic>
#include <canberra.h>
#include <cmath>
#include <cstdio>
#include <optional>

namespace vigilo {

namespace {

/// What a clip shares with the context's thread.
struct ClipState {
    /// The canberra id of the sound playing now, 0 when none. Set on the GUI thread when a play
    /// is asked for or stopped, cleared on canberra's thread when that sound ends.
    std::atomic<std::uint32_t> playingId{0};
    /// The clip's file copy; used on the context's thread only.
    std::optional<std::filesystem::path> file;
};

/// One started sound, handed to canberra's finish callback, which frees it.
struct Playback {
    std::shared_ptr<ClipState> state;
    std::uint32_t id;
};

void endPlayback(const Playback& playback) {
    std::uint32_t expected = playback.id;
    // A newer play of the clip may have taken over already: only the sound's own id is cleared.
    playback.state->playingId.compare_exchange_strong(expected, 0);
}

void finished(ca_context* /*context*/, std::uint32_t /*id*/, int /*error*/, void* userdata) {
    const std::unique_ptr<Playback> playback(static_cast<Playback*>(userdata));
    endPlayback(*playback);
}

using Properties = std::unique_ptr<ca_proplist, decltype(&ca_proplist_destroy)>;

Properties makeProperties() {
    ca_proplist* made = nullptr;
    ca_proplist_create(&made);
    return {made, &ca_proplist_destroy};
}

/// Copies `resource` to `target`, replacing any older copy in one step so that a second
/// instance never plays a half-written file.
std::optional<std::filesystem::path> copyResource(const QString& resource,
                                                  const std::filesystem::path& target) {
    if (privateFolderRefusal(target.parent_path().parent_path()) ||
        privateFolderRefusal(target.parent_path())) {
        return std::nullopt;
    }
    QFile source(resource);
    QSaveFile copy(QString::fromStdString(target.string()));
    if (!source.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly) ||
        copy.write(source.readAll()) != source.size() || !copy.commit()) {
        return std::nullopt;
    }
    return target;
}

class CanberraClip final : public AudioClip {
public:
    /// Copies `resource` to `copy` on the context's thread, ahead of any play.
    CanberraClip(std::shared_ptr<CanberraContext> context, std::string name,
                 const QString& resource, const std::filesystem::path& copy)
        : context_(std::move(context))
        , name_(std::move(name)) {
        context_->post([state = state_, resource, copy](ca_context& /*context*/) {
            state->file = copyResource(resource, copy);
        });
    }
    ~CanberraClip() override { stop(); }
    CanberraClip(const CanberraClip&) = delete;
    CanberraClip& operator=(const CanberraClip&) = delete;

    void setVolume(float volume) override { volume_ = volume; }

    void playFromStart() override {
        stop();
        const std::uint32_t id = context_->newSoundId();
        state_->playingId = id;
        context_->post([state = state_, id, name = name_,
                        decibels = volumeInDecibels(volume_)](ca_context& context) {
            play(context, Playback{state, id}, name, decibels);
        });
    }

    void stop() override {
        if (const std::uint32_t id = state_->playingId.exchange(0); id != 0) {
            context_->post([id](ca_context& context) { ca_context_cancel(&context, id); });
        }
    }

    [[nodiscard]] bool isPlaying() const override { return state_->playingId != 0; }

private:
    static void play(ca_context& context, Playback playback, const std::string& name,
                     double decibels) {
        const std::optional<std::filesystem::path>& file = playback.state->file;
        if (!file) {
            endPlayback(playback);
            return;
        }
        // Formatted here, with the C library's locale: canberra reads it back with strtod on
        // this same thread, and a decimal comma must meet a decimal comma.
        std::array<char, 32> volume{};
        std::snprintf(volume.data(), volume.size(), "%.2f", decibels);
        const Properties properties = makeProperties();
        ca_proplist_sets(properties.get(), CA_PROP_MEDIA_FILENAME, file->c_str());
        ca_proplist_sets(properties.get(), CA_PROP_MEDIA_NAME, name.c_str());
        ca_proplist_sets(properties.get(), CA_PROP_CANBERRA_VOLUME, volume.data());
        auto owned = std::make_unique<Playback>(std::move(playback));
        if (ca_context_play_full(&context, owned->id, properties.get(), &finished, owned.get()) ==
            CA_SUCCESS) {
            // Canberra calls `finished` exactly once from now on, and it frees the playback.
            static_cast<void>(owned.release());
        } else {
            endPlayback(*owned);
        }
    }

    std::shared_ptr<CanberraContext> context_;
    std::string name_;
    std::shared_ptr<ClipState> state_ = std::make_shared<ClipState>();
    float volume_ = 1;
};

} // namespace

CanberraAudioOut::CanberraAudioOut(QString resourceFolder, std::filesystem::path copyFolder)
    : resourceFolder_(std::move(resourceFolder))
    , copyFolder_(std::move(copyFolder))
    , context_(std::make_shared<CanberraContext>()) {}

CanberraAudioOut::~CanberraAudioOut() = default;

std::unique_ptr<AudioClip> CanberraAudioOut::prepare(const std::string& name) {
    const QString resource =
        resourceFolder_ + u'/' + QString::fromStdString(name) + QStringLiteral(".wav");
    const QFileInfo file(resource);
    if (!file.isFile() || !file.isReadable()) {
        return nullptr;
    }
    return std::make_unique<CanberraClip>(context_, name, resource, copyFolder_ / (name + ".wav"));
}

std::filesystem::path CanberraAudioOut::sessionCopyFolder() {
    return sessionFolder(FolderEnvironment::ofThisProcess()) / "sounds";
}

double volumeInDecibels(float volume) {
    return 20 * std::log10(std::clamp(static_cast<double>(volume), 0.0, 1.0));
}

} // namespace vigilo
