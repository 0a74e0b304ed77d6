#include "ViewHarness.h"
#include "fakes/FakeClock.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QTest>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

/// The hero's title line, in a font whose digits differ in width (GNOME's own).
constexpr const char* titleLine = R"(import QtQuick
import Vigilo
CountingText {
    font.family: "Cantarell"
    font.pixelSize: 22
    font.weight: Font.DemiBold
})";

class CountingTextTest : public ::testing::Test {
protected:
    CountingTextTest() { line = harness.load(titleLine, {}); }

    /// A visible item called `name` under `root` shows `text` (any text when it is empty).
    static bool showing(QQuickItem& root, const QString& name, const QString& text = {}) {
        return std::ranges::any_of(root.childItems(), [&](QQuickItem* item) {
            return (item->objectName() == name && item->isVisible() && item->opacity() > 0 &&
                    (text.isEmpty() || item->property("text").toString() == text)) ||
                   showing(*item, name, text);
        });
    }
    [[nodiscard]] bool digitLeaving() const {
        return showing(*line, QStringLiteral("leavingDigit"));
    }

    fakes::FakeClock clock;
    testing::ViewHarness harness{clock};
    std::unique_ptr<QQuickItem> line;
};

TEST_F(CountingTextTest, TextsThatDifferOnlyInDigitsTakeTheSameWidth) {
    ASSERT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Cantarell"))) << "scripts/install-deps.sh";
    QFont font(QStringLiteral("Cantarell"));
    font.setPixelSize(22);
    font.setWeight(QFont::DemiBold);
    const QFontMetricsF metrics(font);
    ASSERT_NE(metrics.horizontalAdvance(QStringLiteral("1")),
              metrics.horizontalAdvance(QStringLiteral("4")))
        << "the font's own digits keep one width, so this test shows nothing";

    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"Пьёт кофе уже 11 чашек", "Пьёт кофе уже 12 чашек"},
        {"Пьёт кофе уже 14 чашек", "Пьёт кофе уже 17 чашек"},
        {"1:11", "4:08"},
    };
    for (const auto& [before, after] : pairs) {
        line->setProperty("text", QString::fromUtf8(before));
        harness.settle();
        const double width = line->implicitWidth();
        line->setProperty("text", QString::fromUtf8(after));
        harness.settle();
        EXPECT_EQ(line->implicitWidth(), width) << before << " / " << after;
    }
}

TEST_F(CountingTextTest, AChangedDigitCountsUpUnlessInstant) {
    for (const bool instant : {false, true}) {
        line->setProperty("instant", instant);
        line->setProperty("text", QStringLiteral("уже 11 чашек"));
        harness.settle();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !digitLeaving(); }, 5000));

        line->setProperty("text", QStringLiteral("уже 12 чашек"));
        EXPECT_EQ(digitLeaving(), !instant) << (instant ? "instant" : "counting");
        EXPECT_TRUE(QTest::qWaitFor([&] { return !digitLeaving(); }, 5000));
        EXPECT_TRUE(showing(*line, QStringLiteral("countingPiece"), QStringLiteral("2")));
    }
}

} // namespace
} // namespace vigilo
