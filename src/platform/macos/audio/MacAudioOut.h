#pragma once

#include "ports/AudioOut.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vigilo {

/// Sound effects through AVAudioPlayer, one player per prepared clip. Main thread only.
class MacAudioOut final : public AudioOut {
public:
    /// Finds "<name>.wav" in `resourceFolder`, or among the application bundle's resources when
    /// it is empty.
    explicit MacAudioOut(std::filesystem::path resourceFolder = {});

    [[nodiscard]] std::unique_ptr<AudioClip> prepare(const std::string& name) override;

private:
    std::filesystem::path resourceFolder_;
};

} // namespace vigilo
