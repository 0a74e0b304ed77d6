#include "model/StatusTexts.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

// The hero's title is one line 308 points wide (the panel's 340 less its padding) in the bold
// sans at 22 points, which may shrink to 0.8 of that before it is cut. On Linux it must fit in
// DejaVu Sans, the font the package brings, for every title the program can show.
TEST(HeroTitleWidth, EveryLinuxTitleFitsAtEightTenthsInDejaVuSans) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    font.setWeight(QFont::DemiBold);
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("DejaVu Sans"))
        << "fonts-dejavu-core is not installed";
    const QFontMetricsF metrics(font);
    const double widest = 308 / 0.8;

    const PlatformWords words = linuxWords();
    const TimePoint now{};
    auto expectFits = [&](const StatusTexts::State& state) {
        const QString title = QString::fromStdString(StatusTexts::title(state, now, words));
        EXPECT_LE(metrics.horizontalAdvance(title), widest) << title.toStdString();
    };

    StatusTexts::State idle;
    idle.canSleep = true;
    // A week of display-sleep delays covers every setting the desktops offer.
    for (std::int64_t minutes = 1; minutes <= 7 * 24 * 60; ++minutes) {
        idle.displaySleepMinutes = minutes;
        expectFits(idle);
    }
    idle.canSleep = false;
    expectFits(idle);
    // Up to 9,999 cups: more than two hundred days kept awake.
    for (std::int64_t cups = 1; cups <= 9999; ++cups) {
        StatusTexts::State awake;
        awake.isAwake = true;
        awake.awakeSince = now - std::chrono::minutes(30 * (cups - 1));
        expectFits(awake);
    }
}

} // namespace
} // namespace vigilo
