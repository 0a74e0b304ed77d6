#include "model/DonationQuestion.h"

#include "model/Donation.h"

namespace vigilo {

void DonationQuestion::checkDonationQuestion(std::int64_t cupCount) {
    if (isAskingForDonation_ || cupCount < donationCup ||
        settings_.read(SettingsKeys::donationQuestionAnswered)) {
        return;
    }
    // The postponement is a stored date shown nowhere; a clock set back only delays the
    // question, which is harmless.
    if (const auto postponedAt = settings_.read(SettingsKeys::donationPostponedAt);
        postponedAt && secondsBetween(*postponedAt, clock_.now()) < donationPostponeSeconds) {
        return;
    }
    isAskingForDonation_ = true;
    changed_.notify();
}

void DonationQuestion::answerDonationQuestion(bool buysCoffee) {
    isAskingForDonation_ = false;
    settings_.write(SettingsKeys::donationQuestionAnswered, true);
    changed_.notify();
    if (buysCoffee) {
        Donation::open(desktop_);
    }
}

void DonationQuestion::postponeDonationQuestion() {
    isAskingForDonation_ = false;
    settings_.write(SettingsKeys::donationPostponedAt, clock_.now());
    changed_.notify();
}

} // namespace vigilo
