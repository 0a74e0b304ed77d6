#include "art/GlassView.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace vigilo {
namespace {

// Rendered at two pixels per canvas unit unless said otherwise; probe points come from the
// drawing's geometry: ring centre (105, 118), ticks from radius 84.5 to 96.5 (102.5 when long),
// glass space mapped by q = (105, 118) + 0.5 · (p − (105, 128)), turned about (105, 196).
constexpr double pixelsPerUnit = 2;
const QColor label = Qt::black;

QImage render(const GlassState& state, QSize size, const QColor& labelColor, GlassCache& cache) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintGlass(painter, QSizeF(size), state, labelColor, cache);
    return image;
}

QImage render(const GlassState& state, QSize size = QSize(420, 500)) {
    GlassCache cache;
    return render(state, size, label, cache);
}

GlassState state(double coffee, double ice, double ring) {
    GlassState result;
    result.coffee = coffee;
    result.ice = ice;
    result.ring = ring;
    return result;
}

QPointF onRing(int tick, double radius) {
    const double angle = tick * 2 * std::numbers::pi / 60 - std::numbers::pi / 2;
    return {105 + radius * std::cos(angle), 118 + radius * std::sin(angle)};
}

QPointF glassToCanvas(QPointF p, double tiltDegrees = 0) {
    const QPointF q = QPointF(105, 118) + 0.5 * (p - QPointF(105, 128));
    const double a = tiltDegrees * std::numbers::pi / 180;
    const QPointF d = q - QPointF(105, 196);
    return QPointF(105 + d.x() * std::cos(a) - d.y() * std::sin(a),
                   196 + d.x() * std::sin(a) + d.y() * std::cos(a));
}

QColor at(const QImage& image, QPointF canvas, double scale = pixelsPerUnit, QPointF offset = {}) {
    return image.pixelColor(static_cast<int>(std::floor(offset.x() + canvas.x() * scale)),
                            static_cast<int>(std::floor(offset.y() + canvas.y() * scale)));
}

// The lit-tick gradient runs from (1, 0.76, 0.36) at the top to (0.85, 0.54, 0.12) at the bottom.
bool isLit(const QColor& c) {
    return c.alphaF() > 0.95 && c.redF() > 0.8 && c.greenF() > 0.5 && c.greenF() < 0.8 &&
           c.blueF() < 0.4;
}

bool isCoffee(const QColor& c) {
    return c.alphaF() > 0.9 && c.redF() < 0.35 && c.greenF() < c.redF() && c.blueF() < c.redF();
}

// Ticks away from the shadow and glow at the bottom of the ring.
bool isClearOfGlow(int tick) {
    return onRing(tick, 90.5).y() < 128;
}

TEST(GlassViewTest, EmptyGlassHasNoLiquidWhateverTheIce) {
    const QImage withIce = render(state(0, 1, 0));
    EXPECT_EQ(withIce, render(state(0, 0, 0)));
    for (double y = 70; y <= 185; y += 5) {
        for (double x = 75; x <= 135; x += 5) {
            const QColor c = at(withIce, glassToCanvas({x, y}));
            EXPECT_LT(c.alphaF(), 0.3) << "glass point " << x << ", " << y;
        }
    }
}

TEST(GlassViewTest, LowCoffeeHasBodyButNoSurfaceOrIce) {
    // At 0.15 the surface would sit at 196 − 19.5 = 176.5, its disc from 167.5 to 186.5.
    const QImage low = render(state(0.15, 1, 0));
    EXPECT_TRUE(isCoffee(at(low, glassToCanvas({105, 186}))));
    EXPECT_LT(at(low, glassToCanvas({105, 171})).alphaF(), 0.3);
    EXPECT_EQ(low, render(state(0.15, 0, 0)));

    // Just above the threshold the disc and the cubes appear at the same probes.
    const QImage above = render(state(0.16, 1, 0));
    EXPECT_GT(at(above, glassToCanvas({105, 171})).alphaF(), 0.9);
    EXPECT_NE(above, render(state(0.16, 0, 0)));
}

TEST(GlassViewTest, RingAtOrBelowThresholdShowsOnlyTheFaintTrack) {
    for (const double ring : {0.0, 0.002}) {
        const QImage image = render(state(0, 0, ring));
        for (int tick = 0; tick < 60; ++tick) {
            if (!isClearOfGlow(tick)) {
                continue;
            }
            const QColor c = at(image, onRing(tick, 90.5));
            EXPECT_NEAR(c.alphaF(), 0.07, 0.01) << "tick " << tick << " ring " << ring;
            EXPECT_LT(c.redF(), 0.05);
        }
    }
    // Above the threshold the track darkens to 0.10 and tick 0 starts to light.
    const QImage started = render(state(0, 0, 0.01));
    EXPECT_NEAR(at(started, onRing(20, 90.5)).alphaF(), 0.10, 0.01);
    EXPECT_GT(at(started, onRing(0, 90.5)).alphaF(), 0.5);
}

TEST(GlassViewTest, FullRingLightsEveryTick) {
    const QImage image = render(state(0.72, 0.8, 1));
    for (int tick = 0; tick < 60; ++tick) {
        EXPECT_TRUE(isLit(at(image, onRing(tick, 90.5)))) << "tick " << tick;
    }
}

TEST(GlassViewTest, HalfRingLightsTicksUpTo29) {
    const QImage image = render(state(0.72, 0.8, 0.5));
    for (int tick = 0; tick <= 29; ++tick) {
        EXPECT_TRUE(isLit(at(image, onRing(tick, 90.5)))) << "tick " << tick;
    }
    for (int tick = 30; tick < 60; ++tick) {
        EXPECT_LT(at(image, onRing(tick, 90.5)).alphaF(), 0.75) << "tick " << tick;
    }
}

TEST(GlassViewTest, HoverTickLightsFourTicksAroundIt) {
    for (const int hover : {59, -1}) {
        GlassState hovered = state(0, 0, 0);
        hovered.hoverTick = hover;
        const QImage image = render(hovered);
        // 59 and 0 are full and reach out to 102.5; 58 and 1 are normal length at 0.55.
        for (const int tick : {59, 0}) {
            EXPECT_TRUE(isLit(at(image, onRing(tick, 90.5)))) << hover << ": tick " << tick;
            EXPECT_TRUE(isLit(at(image, onRing(tick, 100)))) << hover << ": tick " << tick;
        }
        for (const int tick : {58, 1}) {
            const QColor c = at(image, onRing(tick, 90.5));
            EXPECT_NEAR(c.alphaF(), 0.55 + 0.07 * 0.45, 0.02) << hover << ": tick " << tick;
            EXPECT_GT(c.redF(), 0.8);
            EXPECT_LT(at(image, onRing(tick, 100)).alphaF(), 0.02);
        }
        for (const int tick : {57, 2}) {
            EXPECT_NEAR(at(image, onRing(tick, 90.5)).alphaF(), 0.07, 0.01);
        }
    }
}

TEST(GlassViewTest, TiltTurnsTheGlassButNotTheRingOrShadow) {
    GlassState tilted = state(0.72, 0.8, 0.35);
    tilted.tilt = 5;
    const QImage upright = render(state(0.72, 0.8, 0.35));
    const QImage turned = render(tilted);

    // A point of coffee near the right wall moves out past where the upright glass ends.
    const QPointF coffeePoint(145, 140);
    EXPECT_TRUE(isCoffee(at(upright, glassToCanvas(coffeePoint))));
    EXPECT_TRUE(isCoffee(at(turned, glassToCanvas(coffeePoint, 5))));
    EXPECT_LT(at(upright, glassToCanvas(coffeePoint, 5)).alphaF(), 0.05);

    for (int y = 0; y < upright.height(); ++y) {
        for (int x = 0; x < upright.width(); ++x) {
            const QPointF canvas(x / pixelsPerUnit, y / pixelsPerUnit);
            const QPointF fromCentre = canvas - QPointF(105, 118);
            if (canvas.y() < 160 && std::hypot(fromCentre.x(), fromCentre.y()) < 80) {
                continue;
            }
            ASSERT_EQ(upright.pixel(x, y), turned.pixel(x, y)) << "pixel " << x << ", " << y;
        }
    }
}

TEST(GlassViewTest, ShortWideAreaScalesBy142Over250Centred) {
    const double s = 142.0 / 250;
    const QPointF offset((400 - 210 * s) / 2, 0);
    const QImage image = render(state(0, 0, 1), QSize(400, 142));
    for (const int tick : {0, 15, 30, 45}) {
        EXPECT_TRUE(isLit(at(image, onRing(tick, 90.5), s, offset))) << "tick " << tick;
    }
    // Just beyond both ends of the ticks clear of the shadow and glow, nothing is drawn.
    for (const int tick : {0, 15, 45}) {
        EXPECT_LT(at(image, onRing(tick, 101), s, offset).alphaF(), 0.05) << "tick " << tick;
        EXPECT_LT(at(image, onRing(tick, 80), s, offset).alphaF(), 0.05) << "tick " << tick;
    }
    for (int y = 0; y < image.height(); ++y) {
        for (const int x : {0, 60, 138, 262, 340, 399}) {
            ASSERT_EQ(image.pixelColor(x, y).alpha(), 0) << "pixel " << x << ", " << y;
        }
    }
}

TEST(GlassViewTest, DevicePixelRatioDrawsTheSamePictureSharper) {
    // The same 210 × 250 view at ratio 2 matches a 420 × 500 one.
    QImage sharp(420, 500, QImage::Format_ARGB32_Premultiplied);
    sharp.setDevicePixelRatio(2);
    sharp.fill(Qt::transparent);
    GlassCache cache;
    {
        QPainter painter(&sharp);
        paintGlass(painter, QSizeF(210, 250), state(0.72, 0.8, 0.35), label, cache);
    }
    sharp.setDevicePixelRatio(1);
    EXPECT_EQ(sharp, render(state(0.72, 0.8, 0.35)));
}

TEST(GlassViewTest, CacheFollowsSizeAndLabelColour) {
    const GlassState full = state(0.72, 1, 0.35);
    GlassCache cache;
    const QImage first = render(full, QSize(420, 500), label, cache);
    const QImage resized = render(full, QSize(400, 142), label, cache);
    EXPECT_EQ(resized, render(full, QSize(400, 142)));
    const QImage recoloured = render(full, QSize(400, 142), Qt::white, cache);
    GlassCache fresh;
    EXPECT_EQ(recoloured, render(full, QSize(400, 142), Qt::white, fresh));
    EXPECT_NE(recoloured, resized);
    EXPECT_EQ(render(full, QSize(420, 500), label, cache), first);
}

/// WCAG contrast ratio of two opaque colours.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(GlassViewTest, EmptyGlassStandsOutFromLightAndDarkSurfaces) {
    // As the panel shows it: 142 pixels high, on its surface, with the surface's label colour.
    struct Surface {
        const char* what;
        QColor fill;
        QColor label;
    };
    const Surface surfaces[] = {
        {"light", QColor(0xf0, 0xf0, 0xf0), Qt::black},
        {"dark", QColor(0x2b, 0x2b, 0x2e), Qt::white},
    };
    const double scale = 142.0 / 250;
    for (const auto& surface : surfaces) {
        QImage image(120, 142, QImage::Format_ARGB32_Premultiplied);
        image.fill(surface.fill);
        GlassCache cache;
        {
            QPainter painter(&image);
            paintGlass(painter, QSizeF(image.size()), state(0, 0, 0), surface.label, cache);
        }
        const double left = (image.width() - 210 * scale) / 2;
        // Along the glass's height, each row holds a wall pixel that stands out 3 : 1.
        for (double y = 70; y <= 180; y += 10) {
            double strongest = 0;
            for (double x = 50; x <= 66; x += 0.5) {
                strongest = std::max(
                    strongest, contrast(at(image, glassToCanvas({x, y}), scale, QPointF(left, 0)),
                                        surface.fill));
            }
            EXPECT_GE(strongest, 3) << surface.what << " surface, glass row " << y;
        }
    }
}

} // namespace
} // namespace vigilo
