#include "art/GaussianBlur.h"

#include <array>
#include <cmath>
#include <vector>

namespace vigilo {

namespace {

constexpr int passes = 3;

// Widths of three box filters whose succession approximates a Gaussian of `sigma`.
std::array<int, passes> boxWidths(qreal sigma) {
    const double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) {
        --lower;
    }
    const int upper = lower + 2;
    const double lowerCountIdeal =
        (12 * sigma * sigma - passes * lower * lower - 4 * passes * lower - 3 * passes) /
        (-4.0 * lower - 4);
    const auto lowerCount = static_cast<int>(std::lround(lowerCountIdeal));
    std::array<int, passes> widths{};
    for (int i = 0; i < passes; ++i) {
        widths[static_cast<size_t>(i)] = i < lowerCount ? lower : upper;
    }
    return widths;
}

// One box pass along a line of `count` pixels, `stride` apart, four bytes each.
void boxLine(uchar* first, int count, qsizetype stride, int radius, std::vector<uchar>& line) {
    line.resize(static_cast<size_t>(count) * 4);
    for (int i = 0; i < count; ++i) {
        const uchar* pixel = first + i * stride;
        std::copy(pixel, pixel + 4, line.begin() + qsizetype{i} * 4);
    }
    const int width = 2 * radius + 1;
    for (int channel = 0; channel < 4; ++channel) {
        int sum = 0;
        for (int i = 0; i <= radius && i < count; ++i) {
            sum += line[static_cast<size_t>(i) * 4 + channel];
        }
        for (int i = 0; i < count; ++i) {
            first[i * stride + channel] = static_cast<uchar>((sum + width / 2) / width);
            const int entering = i + radius + 1;
            const int leaving = i - radius;
            if (entering < count) {
                sum += line[static_cast<size_t>(entering) * 4 + channel];
            }
            if (leaving >= 0) {
                sum -= line[static_cast<size_t>(leaving) * 4 + channel];
            }
        }
    }
}

} // namespace

void gaussianBlur(QImage& image, qreal sigma) {
    if (sigma <= 0 || image.isNull()) {
        return;
    }
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    std::vector<uchar> line;
    const qsizetype rowStride = image.bytesPerLine();
    for (const int boxWidth : boxWidths(sigma)) {
        const int radius = (boxWidth - 1) / 2;
        for (int y = 0; y < image.height(); ++y) {
            boxLine(image.scanLine(y), image.width(), 4, radius, line);
        }
        for (int x = 0; x < image.width(); ++x) {
            boxLine(image.bits() + qsizetype{x} * 4, image.height(), rowStride, radius, line);
        }
    }
}

} // namespace vigilo
