#include "ModelFixture.h"

namespace vigilo {
namespace {

using DonationQuestionTest = TickingModelTest;

TEST_F(DonationQuestionTest, DonationIsAskedFromTheFourthCup) {
    model->toggle();
    clock.advance(89 * 60 - 2);
    tick();
    EXPECT_FALSE(model->donationQuestion().isAskingForDonation());
    clock.advance(58);
    tick();
    EXPECT_TRUE(model->donationQuestion().isAskingForDonation());

    model->toggle();
    EXPECT_TRUE(model->donationQuestion().isAskingForDonation()) << "the bar stays until answered";
}

TEST_F(DonationQuestionTest, PostponedDonationComesBackTwoHoursLater) {
    model->toggle();
    clock.advance(90 * 60);
    tick();
    model->donationQuestion().postponeDonationQuestion();
    clock.advance(7200 - 10);
    tick();
    EXPECT_FALSE(model->donationQuestion().isAskingForDonation());
    clock.advance(10);
    tick();
    EXPECT_TRUE(model->donationQuestion().isAskingForDonation());
}

TEST_F(DonationQuestionTest, PostponementLastsExactlyTwoHours) {
    struct Case {
        double secondsLater;
        bool asks;
    };
    const Case cases[] = {{0, false}, {7199, false}, {7200, true}, {7201, true}, {86400, true}};
    DonationQuestion& question = model->donationQuestion();
    for (const Case& c : cases) {
        question.postponeDonationQuestion();
        clock.advance(c.secondsLater);
        question.checkDonationQuestion(DonationQuestion::donationCup);
        EXPECT_EQ(question.isAskingForDonation(), c.asks) << c.secondsLater << " s later";
    }
}

TEST_F(DonationQuestionTest, AnsweredDonationOpensThePageOnceAndNeverReturns) {
    model->toggle();
    clock.advance(90 * 60);
    tick();
    model->donationQuestion().answerDonationQuestion(true);
    ASSERT_EQ(desktop.openedUrls.size(), 1U);
    EXPECT_TRUE(desktop.openedUrls[0].starts_with("https://"));

    start();
    model->toggle();
    clock.advance(5 * 3600);
    tick();
    EXPECT_FALSE(model->donationQuestion().isAskingForDonation());
    EXPECT_EQ(desktop.openedUrls.size(), 1U);
}

} // namespace
} // namespace vigilo
