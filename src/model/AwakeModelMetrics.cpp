// The model's figures and what each stats tick decides from them: the metrics row, the external
// address, the battery stop and the donation question.
#include "model/AwakeModel.h"
#include "model/Donation.h"
#include "system/ExternalAddress.h"

#include <algorithm>

namespace vigilo {

void AwakeModel::refreshStats() {
    stats_.sampleCPU();
    if (const auto load = stats_.cpuUsage()) {
        willChange_.notify();
        cpuHistory_.push_back(*load);
        if (cpuHistory_.size() > cpuHistoryLength) {
            cpuHistory_.erase(cpuHistory_.begin(),
                              cpuHistory_.end() - static_cast<std::ptrdiff_t>(cpuHistoryLength));
        }
    }
    willChange_.notify();
    memory_ = stats_.memory();
    disk_ = stats_.disk();
    battery_ = stats_.battery();
    localIP_ = stats_.localIP();

    checkBattery();
    checkDonationQuestion();
    updateScreenForLid();
}

void AwakeModel::fetchExternalIP() {
    if (isFetchingExternalIP_) {
        return;
    }
    willChange_.notify();
    isFetchingExternalIP_ = true;
    didExternalIPFail_ = false;
    http_.get(ExternalAddress::lookupUrl,
              [this, alive = std::weak_ptr(lifetime_)](std::optional<std::string> body) {
                  if (alive.expired()) {
                      return;
                  }
                  willChange_.notify();
                  isFetchingExternalIP_ = false;
                  // The body is untrusted: only a well-formed address is shown.
                  const auto address = body ? ExternalAddress::fromBody(*body) : std::nullopt;
                  if (address) {
                      externalIP_ = *address;
                  } else {
                      didExternalIPFail_ = true;
                  }
              });
}

void AwakeModel::copyIP(const std::string& address) {
    desktop_.copyText(address);
    willChange_.notify();
    copiedIP_ = address;
    scheduler_.after(1.0, [this, alive = std::weak_ptr(lifetime_), address] {
        if (alive.expired() || copiedIP_ != address) {
            return;
        }
        willChange_.notify();
        copiedIP_.reset();
    });
}

bool AwakeModel::isBatteryLow() const {
    const auto threshold = batteryThreshold();
    return threshold > 0 && battery_ && !battery_->onAC && battery_->percent <= threshold;
}

void AwakeModel::cycleBatteryThreshold() {
    const auto current = std::ranges::find(batteryThresholds, batteryThreshold());
    const auto position =
        current == batteryThresholds.end() ? 0 : current - batteryThresholds.begin();
    const auto next =
        batteryThresholds[static_cast<std::size_t>(position + 1) % batteryThresholds.size()];
    willChange_.notify();
    settings_.write(SettingsKeys::batteryThreshold, next);
    checkBattery();
}

void AwakeModel::checkBattery() {
    if (!sleepGuard_.isActive() || !isBatteryLow()) {
        return;
    }
    const auto percent = battery_->percent;
    isManuallyOn_ = false;
    isAutoSuppressed_ = !watcher_.runningNames().empty();
    switchOff();
    desktop_.notify("Кофе закончился",
                    "Заряд батареи " + std::to_string(percent) + "% — Mac снова может засыпать.");
    desktop_.playAlertSound();
}

void AwakeModel::checkDonationQuestion() {
    if (isAskingForDonation_ || cupCount(clock_.now()) < donationCup ||
        settings_.looseBool(SettingsKeys::donationQuestionAnswered)) {
        return;
    }
    if (const auto postponedAt = settings_.read(SettingsKeys::donationPostponedAt);
        postponedAt && secondsBetween(*postponedAt, clock_.now()) < donationPostponeSeconds) {
        return;
    }
    willChange_.notify();
    isAskingForDonation_ = true;
}

void AwakeModel::answerDonationQuestion(bool buysCoffee) {
    willChange_.notify();
    isAskingForDonation_ = false;
    settings_.write(SettingsKeys::donationQuestionAnswered, true);
    if (buysCoffee) {
        Donation::open(desktop_);
    }
}

void AwakeModel::postponeDonationQuestion() {
    willChange_.notify();
    isAskingForDonation_ = false;
    settings_.write(SettingsKeys::donationPostponedAt, clock_.now());
}

} // namespace vigilo
