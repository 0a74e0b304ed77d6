#pragma once

#include "ports/UpdateFramework.h"

#include <memory>

namespace vigilo {

/// Sparkle 2: an SPUUpdater for the application bundle, with a user driver of ours that hands
/// every step to the program's `UpdateDriver` instead of Sparkle's own windows. The feed's
/// address and the key that signs updates are the bundle's "SUFeedURL" and "SUPublicEDKey".
/// Main thread only.
class MacUpdateFramework final : public UpdateFramework {
public:
    MacUpdateFramework();
    /// The driver hears nothing more from here on.
    ~MacUpdateFramework() override;
    MacUpdateFramework(const MacUpdateFramework&) = delete;
    MacUpdateFramework& operator=(const MacUpdateFramework&) = delete;

    /// Starts the updater with automatic checks and downloads. When Sparkle will not start (no
    /// feed or key in the bundle, a program outside a bundle), writes one line to the system
    /// log, and later checks report an `unconfigured` error.
    void start(UpdateDriver& driver) override;
    void checkForUpdates() override;

private:
    struct Sparkle;
    std::unique_ptr<Sparkle> sparkle_;
};

} // namespace vigilo
