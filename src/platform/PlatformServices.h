#pragma once

#include "platform/ports/AudioOut.h"
#include "platform/ports/Clock.h"
#include "platform/ports/Defaults.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/PowerAssertions.h"
#include "platform/ports/PowerSettingsSource.h"
#include "platform/ports/ProcessRunner.h"

#include <QObject>

#include <memory>

namespace vigilo {

/// Tells when the power source information changes (plugged in, unplugged, charge level).
class PowerSourceMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void changed();
};

/// The adapters of the platform the program runs on, made by `makePlatformServices`.
struct PlatformServices {
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<ProcessRunner> processes;
    std::unique_ptr<PowerAssertions> assertions;
    std::unique_ptr<PowerSettingsSource> powerSettings;
    std::unique_ptr<PowerSourceMonitor> powerSourceMonitor;
    std::unique_ptr<AudioOut> audio;
    std::unique_ptr<Desktop> desktop;
};

/// Builds the adapters of this platform. Needs a running QApplication (D-Bus, audio, clipboard,
/// alerts). Never fails: adapters whose service is missing report the documented defaults.
[[nodiscard]] PlatformServices makePlatformServices();

} // namespace vigilo
