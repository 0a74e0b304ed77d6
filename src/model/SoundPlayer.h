#pragma once

#include "model/Settings.h"
#include "ports/AudioOut.h"
#include "ports/Clock.h"

#include <map>
#include <memory>
#include <string>

namespace vigilo {

/// Plays the program's short sound effects ("pour-in", "pour-out", "ice-coffee"): each clip is
/// prepared once and kept, one name plays at most once per 0.12 s, a pour silences every other
/// sound, and nothing plays while the "soundEnabled" setting is off.
class SoundPlayer {
public:
    static constexpr double throttleSeconds = 0.12;

    SoundPlayer(AudioOut& audio, const Settings& settings, const Clock& clock)
        : audio_(audio)
        , settings_(settings)
        , clock_(clock) {}
    void play(const std::string& name, float volume);

private:
    AudioOut& audio_;
    const Settings& settings_;
    const Clock& clock_;
    std::map<std::string, std::unique_ptr<AudioClip>> cache_;
    std::map<std::string, SteadyTime> lastPlayed_;
};

} // namespace vigilo
