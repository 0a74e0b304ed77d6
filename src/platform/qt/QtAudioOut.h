#pragma once

#include "platform/ports/AudioOut.h"

#include <QString>

namespace vigilo {

/// Sound effects through QtMultimedia, from WAV files in a resource or file folder.
/// A machine without a sound device plays nothing and fails nowhere.
class QtAudioOut final : public AudioOut {
public:
    /// `folder` holds "<name>.wav" files, for example ":/sounds".
    explicit QtAudioOut(QString folder)
        : folder_(std::move(folder)) {}
    [[nodiscard]] std::unique_ptr<AudioClip> prepare(const std::string& name) override;

private:
    QString folder_;
};

} // namespace vigilo
