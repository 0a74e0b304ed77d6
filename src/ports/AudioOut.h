#pragma once

#include <memory>
#include <string>

namespace vigilo {

/// One prepared sound effect.
class AudioClip {
public:
    virtual ~AudioClip() = default;
    /// Sets the playback volume, 0..1.
    virtual void setVolume(float volume) = 0;
    /// Rewinds to the start and plays.
    virtual void playFromStart() = 0;
    /// Stops playing.
    virtual void stop() = 0;
    /// The clip is playing now.
    [[nodiscard]] virtual bool isPlaying() const = 0;
};

/// The sound output: loads the application's sound effects by name.
class AudioOut {
public:
    virtual ~AudioOut() = default;
    /// Prepares the sound resource `name` (a WAV file of that base name). Returns nothing when
    /// the file is missing or cannot be opened.
    [[nodiscard]] virtual std::unique_ptr<AudioClip> prepare(const std::string& name) = 0;
};

} // namespace vigilo
