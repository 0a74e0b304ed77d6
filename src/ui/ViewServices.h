#pragma once

#include "ports/Clock.h"

#include <QObject>

class QQmlEngine;

namespace vigilo {

class SoundPlayer;

/// What the views of the `Vigilo` QML module need from the program, handed to an engine once:
/// items find it through their engine when they are created, so QML never sets services and
/// C++ never reaches into an item to set them.
class ViewServices final : public QObject {
    Q_OBJECT
public:
    /// Everything must outlive the engine.
    ViewServices(const Clock& clock, SoundPlayer* sounds, QQmlEngine& engine);

    /// The services installed on `engine`; nothing when none were (or `engine` is null).
    [[nodiscard]] static ViewServices* of(const QQmlEngine* engine);

    [[nodiscard]] const Clock& clock() const { return clock_; }
    /// The player of the glass's sounds; none plays no sound.
    [[nodiscard]] SoundPlayer* sounds() const { return sounds_; }

private:
    const Clock& clock_;
    SoundPlayer* sounds_;
};

/// Makes `engine` find the statically linked `Vigilo` module.
void addVigiloImportPath(QQmlEngine& engine);

} // namespace vigilo
