#pragma once

#include "ports/AudioOut.h"

#include <QString>
#include <filesystem>
#include <memory>

namespace vigilo {

class CanberraContext;

/// The program's sound effects as desktop event sounds through libcanberra: they play through the
/// sound server (PulseAudio or PipeWire) with the event role, so the desktop's system-sounds
/// volume and mute apply to them. Without a sound server nothing plays and nothing is printed.
///
/// Canberra plays files by path, and the sounds are compiled into the program, so each is
/// copied once into a private folder of the session before its first play; this works the same
/// from the build folder and after installation.
class CanberraAudioOut final : public AudioOut {
public:
    /// `resourceFolder` holds "<name>.wav" files (for example ":/sounds"); `copyFolder` is where
    /// their copies go, made private to the user at the first copy. Its parent must be private
    /// too, and is made so if missing.
    CanberraAudioOut(QString resourceFolder, std::filesystem::path copyFolder);
    ~CanberraAudioOut() override;
    CanberraAudioOut(const CanberraAudioOut&) = delete;
    CanberraAudioOut& operator=(const CanberraAudioOut&) = delete;

    [[nodiscard]] std::unique_ptr<AudioClip> prepare(const std::string& name) override;

    /// "<session folder>/sounds" (see PrivateFolder.h) for this process's environment.
    [[nodiscard]] static std::filesystem::path sessionCopyFolder();

private:
    QString resourceFolder_;
    std::filesystem::path copyFolder_;
    std::shared_ptr<CanberraContext> context_;
};

/// Canberra takes volumes in decibels: 20·log10 of the linear `volume`, clamped to 0..1 first
/// (so 1 is 0 dB, 0.5 about −6 dB, and 0 is minus infinity, which the server plays muted).
[[nodiscard]] double volumeInDecibels(float volume);

} // namespace vigilo
