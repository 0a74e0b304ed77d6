#include "art/GlassIcon.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

// Probes come from the icon's geometry (u = size / 18, y measured up from the bottom): the
// liquid fills the inner shape from 3u to 8.4u; the outline's top edge lies at 15u and the base
// oval's bottom at 1.8u; at height 6u the outline's left wall is at x ≈ 4.59u and the inner
// shape starts at x ≈ 5.76u.
constexpr qreal ratio = 8;

struct Icon {
    qreal size;
    QImage image;

    // The pixel under the point (x, y) in units, y up from the bottom.
    [[nodiscard]] QColor at(qreal x, qreal y) const {
        const qreal u = size / 18;
        return image.pixelColor(static_cast<int>(std::floor(x * u * ratio)),
                                static_cast<int>(std::floor((size - y * u) * ratio)));
    }
    // Summed coverage of the column at x between heights `from` and `to` (units), in points.
    [[nodiscard]] qreal coverage(qreal x, qreal from, qreal to) const {
        const qreal u = size / 18;
        const int column = static_cast<int>(std::floor(x * u * ratio));
        qreal sum = 0;
        for (int row = static_cast<int>((size - to * u) * ratio);
             row < static_cast<int>((size - from * u) * ratio); ++row) {
            sum += image.pixelColor(column, row).alphaF();
        }
        return sum / ratio;
    }
};

Icon icon(qreal size, bool filled) {
    return {size, GlassIcon::image(size, filled, ratio, true)};
}

TEST(GlassIconTest, ImageHasTheSizeAndRatioAsked) {
    const QImage image = GlassIcon::image(18, true, 2, true);
    EXPECT_EQ(image.size(), QSize(36, 36));
    EXPECT_EQ(image.devicePixelRatio(), 2);
}

TEST(GlassIconTest, FilledLiquidBandReaches8_4UnitsClippedToTheInnerShape) {
    const QColor amber = GlassIcon::activeColor(true);
    for (const qreal size : {18.0, 36.0}) {
        const Icon filled = icon(size, true);
        for (const qreal y : {4.5, 6.0, 8.1}) {
            EXPECT_EQ(filled.at(9, y).rgba(), amber.rgba()) << size << " at height " << y;
        }
        for (const qreal y : {8.7, 10.0, 13.0}) {
            EXPECT_EQ(filled.at(9, y).alpha(), 0) << size << " at height " << y;
        }
        // Between the outline's left wall and the inner shape stays clear.
        EXPECT_EQ(filled.at(5.5, 6).alpha(), 0) << size;
        EXPECT_EQ(filled.at(6.2, 6).rgba(), amber.rgba()) << size;
        EXPECT_EQ(icon(size, false).at(9, 6).alpha(), 0) << size;
    }
}

TEST(GlassIconTest, StrokesKeepTheirWidthInPointsAtAnySize) {
    for (const qreal size : {18.0, 36.0}) {
        const qreal u = size / 18;
        for (const bool filled : {false, true}) {
            const Icon glass = icon(size, filled);
            // The outline's top edge at 15u: 1.4 points thick.
            EXPECT_NEAR(glass.coverage(9, 15 - 1.5 / u, 15 + 1.5 / u), 1.4, 0.1)
                << size << (filled ? " filled" : " empty");
        }
        // The base oval's bottom at 1.8u: 1.3 points thick.
        EXPECT_NEAR(icon(size, false).coverage(9, 1.8 - 0.9 / u, 1.8 + 0.9 / u), 1.3, 0.1) << size;
    }
}

TEST(GlassIconTest, ColoursFollowStateAndAppearance) {
    EXPECT_EQ(icon(18, false).at(4.8, 8).rgb(), QColor(Qt::black).rgb());
    const QImage light = GlassIcon::image(18, true, ratio, false);
    const QImage dark = GlassIcon::image(18, true, ratio, true);
    const QPoint liquid(9 * ratio, (18 - 6) * ratio);
    EXPECT_EQ(light.pixelColor(liquid).rgba(), GlassIcon::activeColor(false).rgba());
    EXPECT_EQ(dark.pixelColor(liquid).rgba(), GlassIcon::activeColor(true).rgba());
    EXPECT_NE(GlassIcon::activeColor(false).rgba(), GlassIcon::activeColor(true).rgba());
}

TEST(GlassIconTest, ARimLiesHalfAPointAroundTheStrokes) {
    QColor rim = Qt::black;
    rim.setAlphaF(0.45f);
    for (const bool filled : {false, true}) {
        const GlassIcon::Ink ink{.color = filled ? GlassIcon::activeColor(true) : Qt::white,
                                 .rim = rim};
        const Icon glass{18, GlassIcon::image(18, filled, ratio, ink)};
        // Across the outline's top edge at 15 units: stroke, then rim, then nothing.
        EXPECT_EQ(glass.at(9, 15).rgba(), ink.color.rgba()) << filled;
        const QColor beyond = glass.at(9, 15 + 0.7 + 0.25);
        EXPECT_EQ(beyond.rgb(), QColor(Qt::black).rgb()) << filled;
        EXPECT_NEAR(beyond.alphaF(), 0.45, 0.02) << filled;
        EXPECT_EQ(glass.at(9, 15 + 1.5).alpha(), 0) << filled;
    }
}

} // namespace
} // namespace vigilo
