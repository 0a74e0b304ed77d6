#include "ui/Sparkline.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

TEST(Sparkline, SpreadsLoadsAcrossTheWidthAndClipsAboveFull) {
    const QSizeF frame(96, 15);
    EXPECT_TRUE(sparklinePoints({}, frame).isEmpty());
    EXPECT_TRUE(sparklinePoints({0.5}, frame).isEmpty()) << "one value is no line";
    const QPolygonF expected{{0, 15}, {48, 0}, {96, 7.5}};
    EXPECT_EQ(sparklinePoints({0, 1.7, 0.5}, frame), expected);
}

} // namespace
} // namespace vigilo
