#include "model/SoundPlayer.h"

namespace vigilo {

void SoundPlayer::play(const std::string& name, float volume) {
    if (!settings_.read(SettingsKeys::soundEnabled)) {
        return;
    }
    const auto now = clock_.steadyNow();
    if (const auto last = lastPlayed_.find(name);
        last != lastPlayed_.end() && secondsBetween(last->second, now) < throttleSeconds) {
        return;
    }
    lastPlayed_[name] = now;

    auto cached = cache_.find(name);
    if (cached == cache_.end()) {
        auto clip = audio_.prepare(name);
        if (!clip) {
            return;
        }
        cached = cache_.emplace(name, std::move(clip)).first;
    }
    if (name.starts_with("pour")) {
        for (auto& [otherName, other] : cache_) {
            if (otherName != name) {
                other->stop();
            }
        }
    }
    AudioClip& clip = *cached->second;
    if (clip.isPlaying()) {
        return;
    }
    clip.setVolume(volume);
    clip.playFromStart();
}

} // namespace vigilo
