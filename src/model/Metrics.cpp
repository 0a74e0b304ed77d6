#include "model/Metrics.h"

#include "system/ExternalAddress.h"

namespace vigilo {

Metrics::Metrics(Services services)
    : stats_(services.stats)
    , http_(services.http)
    , desktop_(services.desktop)
    , scheduler_(services.scheduler) {
    stats_.sampleCPU();
}

void Metrics::sample() {
    stats_.sampleCPU();
    if (const auto load = stats_.cpuUsage()) {
        cpuHistory_.push_back(*load);
        if (cpuHistory_.size() > cpuHistoryLength) {
            cpuHistory_.erase(cpuHistory_.begin(),
                              cpuHistory_.end() - static_cast<std::ptrdiff_t>(cpuHistoryLength));
        }
    }
    // The history and the figures change together: one notice for the tick.
    memory_ = stats_.memory();
    disk_ = stats_.disk();
    battery_ = stats_.battery();
    localIP_ = stats_.localIP();
    changed_.notify();
}

void Metrics::fetchExternalIP() {
    if (isFetchingExternalIP_) {
        return;
    }
    isFetchingExternalIP_ = true;
    didExternalIPFail_ = false;
    changed_.notify();
    http_.get(ExternalAddress::lookupUrl,
              [this, alive = std::weak_ptr(lifetime_)](std::optional<std::string> body) {
                  if (alive.expired()) {
                      return;
                  }
                  isFetchingExternalIP_ = false;
                  // The body is untrusted: only a well-formed address is shown.
                  const auto address = body ? ExternalAddress::fromBody(*body) : std::nullopt;
                  if (address) {
                      externalIP_ = *address;
                  } else {
                      didExternalIPFail_ = true;
                  }
                  changed_.notify();
              });
}

void Metrics::copyIP(const std::string& address) {
    desktop_.copyText(address);
    copiedIP_ = address;
    changed_.notify();
    scheduler_.after(1.0, [this, alive = std::weak_ptr(lifetime_), address] {
        if (alive.expired() || copiedIP_ != address) {
            return;
        }
        copiedIP_.reset();
        changed_.notify();
    });
}

} // namespace vigilo
