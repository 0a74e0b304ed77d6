#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// Apple's icon container (.icns): a big-endian header "icns" and the total length, then one
// element per image, each its four-letter type, its length (header included) and its data.
namespace vigilo::IcnsFile {

/// The PNG image types a Mac reads, by the side in pixels of the image each holds: 1x and 2x
/// images of the 16, 32, 128, 256 and 512-point icons.
struct PngType {
    std::string_view type;
    int pixels;
};
inline constexpr std::array<PngType, 10> pngTypes{{
    {"icp4", 16},
    {"icp5", 32},
    {"ic11", 32},
    {"ic12", 64},
    {"ic07", 128},
    {"ic13", 256},
    {"ic08", 256},
    {"ic14", 512},
    {"ic09", 512},
    {"ic10", 1024},
}};

struct Element {
    /// Four ASCII letters.
    std::string_view type;
    std::vector<std::uint8_t> data;
};

/// The container holding `elements` in their order.
[[nodiscard]] std::vector<std::uint8_t> write(const std::vector<Element>& elements);

} // namespace vigilo::IcnsFile
