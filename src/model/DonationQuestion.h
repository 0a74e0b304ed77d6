#pragma once

#include "model/Settings.h"
#include "ports/Clock.h"
#include "ports/Desktop.h"
#include "util/Signal.h"

#include <cstdint>

namespace vigilo {

/// The occasional request to buy the author a coffee: from the 4th cup of a period on, never
/// again once answered, and two hours after "Позже". Main thread only.
class DonationQuestion {
public:
    static constexpr std::int64_t donationCup = 4;
    static constexpr double donationPostponeSeconds = 7200;

    /// Everything must outlive the question.
    DonationQuestion(Settings& settings, const Clock& clock, Desktop& desktop)
        : settings_(settings)
        , clock_(clock)
        , desktop_(desktop) {}

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    [[nodiscard]] bool isAskingForDonation() const { return isAskingForDonation_; }
    /// Starts asking when `cupCount` cups are reached and nothing holds the question back.
    /// Runs on every stats tick.
    void checkDonationQuestion(std::int64_t cupCount);
    /// "Купить кофе" (true): never asks again, and opens the donation page.
    void answerDonationQuestion(bool buysCoffee);
    /// "Позже": asks again two hours from now.
    void postponeDonationQuestion();

private:
    Settings& settings_;
    const Clock& clock_;
    Desktop& desktop_;
    Signal<> changed_;
    bool isAskingForDonation_ = false;
};

} // namespace vigilo
