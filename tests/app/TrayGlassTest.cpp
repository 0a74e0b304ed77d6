#include "app/TrayGlass.h"

#include "ControllerSource.h"
#include "FakePlatform.h"
#include "app/AppDelegate.h"
#include "fakes/FakeDesktopAppearance.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

namespace vigilo {
namespace {

QPalette paletteWithWindow(const QColor& window) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    return palette;
}

// The outline's top edge, 15 of 18 units up, crosses the middle column; this is its lightest
// pixel there.
QColor topEdge(const QIcon& icon, int pixels) {
    const QImage image = icon.pixmap(pixels).toImage();
    QColor strongest = Qt::transparent;
    for (int row = 0; row < pixels / 2; ++row) {
        const QColor pixel = image.pixelColor(pixels / 2, row);
        if (pixel.alpha() > strongest.alpha()) {
            strongest = pixel;
        }
    }
    return strongest;
}

TEST(TrayGlass, EachStateKeepsItsIconAcrossStateChanges) {
    fakes::FakePlatform platform;
    fakes::ControllerSource panels;
    AppDelegate delegate(platform.services, panels);
    delegate.finishLaunching();
    const qint64 empty = platform.statusItem.icon().cacheKey();
    delegate.model().toggle();
    const qint64 filled = platform.statusItem.icon().cacheKey();
    delegate.model().toggle();
    delegate.model().toggle();
    EXPECT_EQ(platform.statusItem.icon().cacheKey(), filled);
    delegate.model().toggle();
    EXPECT_EQ(platform.statusItem.icon().cacheKey(), empty);
    EXPECT_NE(empty, filled);
}

TEST(TrayGlass, OffersTheUsualSizesAndDrawsEachSizeAskedForAtItsSize) {
    const QIcon glass = TrayGlass::draw(false, {.color = Qt::black});
    QList<QSize> usual;
    for (const int pixels : TrayGlass::pixelSizes) {
        usual.append(QSize(pixels, pixels));
    }
    EXPECT_EQ(glass.availableSizes(), usual);
    // The usual sizes, and two that a scaled tray asks for.
    std::vector<int> asked(TrayGlass::pixelSizes.begin(), TrayGlass::pixelSizes.end());
    asked.insert(asked.end(), {20, 44});
    for (const int pixels : asked) {
        // The 1.4-point stroke of the 18-point glass, at this scale.
        const QImage image = glass.pixmap(pixels).toImage();
        ASSERT_EQ(image.size(), QSize(pixels, pixels));
        qreal thickness = 0;
        for (int row = 0; row < pixels / 2; ++row) {
            thickness += image.pixelColor(pixels / 2, row).alphaF();
        }
        EXPECT_NEAR(thickness, 1.4 * pixels / 18, 0.2) << pixels;
    }
}

// The rows that hold any ink.
int inkedRows(const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() > 0) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

TEST(TrayGlass, KeepsItsProportionsInATallerSlot) {
    const QIcon glass = TrayGlass::draw(true, {.color = Qt::black});
    QImage slot(24, 28, QImage::Format_ARGB32_Premultiplied);
    slot.fill(Qt::transparent);
    QPainter painter(&slot);
    glass.paint(&painter, slot.rect());
    painter.end();
    EXPECT_EQ(inkedRows(slot), inkedRows(glass.pixmap(24).toImage()));
}

TEST(TrayGlass, APaletteOfAnotherShadeRemakesTheIconsOnlyThen) {
    fakes::FakeDesktopAppearance desktop;
    TrayGlass glass(desktop);
    glass.setPalette(paletteWithWindow(QColor(0xf6, 0xf5, 0xf4)));
    const qint64 light = glass.icon(false).cacheKey();
    EXPECT_LT(topEdge(glass.icon(false), 22).lightness(), 60);
    int changes = 0;
    QObject::connect(&glass, &TrayGlass::changed, &glass, [&changes] { ++changes; });

    glass.setPalette(paletteWithWindow(QColor(0xe0, 0xe0, 0xe0)));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(glass.icon(false).cacheKey(), light);

    glass.setPalette(paletteWithWindow(QColor(0x30, 0x30, 0x30)));
    EXPECT_EQ(changes, 1);
    EXPECT_NE(glass.icon(false).cacheKey(), light);
    EXPECT_GT(topEdge(glass.icon(false), 22).lightness(), 200);
}

} // namespace
} // namespace vigilo
