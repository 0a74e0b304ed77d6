#include "model/SleepGuard.h"

namespace vigilo {

SleepGuard::SleepGuard(PowerAssertions& assertions, Reports reports, std::string name)
    : assertions_(assertions)
    , reports_(std::move(reports))
    , lossConnection_(assertions_.lost().connect([this](AssertionId id) { lost(id); }))
    , name_(std::move(name)) {}

void SleepGuard::reportChange() const {
    if (reports_.changed) {
        reports_.changed();
    }
}

void SleepGuard::activate() {
    if (hasAssertion_) {
        return;
    }
    const auto id = assertions_.create(AssertionKind::DisplayKeptOn, name_);
    if (!id) {
        return;
    }
    assertionId_ = *id;
    hasAssertion_ = true;
    allowsDisplaySleep_ = false;
    reportChange();
}

void SleepGuard::deactivate() {
    if (!hasAssertion_) {
        return;
    }
    assertions_.release(assertionId_);
    hasAssertion_ = false;
    reportChange();
}

void SleepGuard::toggle() {
    if (hasAssertion_) {
        deactivate();
    } else {
        activate();
    }
}

void SleepGuard::setAllowsDisplaySleep(bool allow) {
    if (!hasAssertion_ || allow == allowsDisplaySleep_) {
        return;
    }
    const auto kind = allow ? AssertionKind::DisplayMaySleep : AssertionKind::DisplayKeptOn;
    const auto id = assertions_.create(kind, name_);
    if (!id) {
        return;
    }
    assertions_.release(assertionId_);
    assertionId_ = *id;
    allowsDisplaySleep_ = allow;
}

void SleepGuard::lost(AssertionId id) {
    if (!hasAssertion_ || id != assertionId_) {
        return;
    }
    hasAssertion_ = false;
    if (reports_.lost) {
        reports_.lost();
    }
    reportChange();
}

} // namespace vigilo
