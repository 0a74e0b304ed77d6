#pragma once

#include "platform/TrayHostMonitor.h"

namespace vigilo::fakes {

/// A tray host the test puts in place or takes away; there is one to begin with.
class FakeTrayHostMonitor final : public TrayHostMonitor {
public:
    FakeTrayHostMonitor() { setHasTrayHost(true); }
    using TrayHostMonitor::setHasTrayHost;
};

} // namespace vigilo::fakes
