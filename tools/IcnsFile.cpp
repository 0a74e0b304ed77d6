#include "IcnsFile.h"

#include <limits>
#include <stdexcept>

namespace vigilo::IcnsFile {

namespace {

constexpr std::size_t headerLength = 8;

void append(std::vector<std::uint8_t>& out, std::string_view type, std::size_t length) {
    if (type.size() != 4) {
        throw std::invalid_argument("an icns type has four letters");
    }
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("an icns file holds less than 4 GiB");
    }
    out.insert(out.end(), type.begin(), type.end());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(length >> static_cast<unsigned>(shift)));
    }
}

} // namespace

std::vector<std::uint8_t> write(const std::vector<Element>& elements) {
    std::size_t total = headerLength;
    for (const Element& element : elements) {
        total += headerLength + element.data.size();
    }
    std::vector<std::uint8_t> out;
    out.reserve(total);
    append(out, "icns", total);
    for (const Element& element : elements) {
        append(out, element.type, headerLength + element.data.size());
        out.insert(out.end(), element.data.begin(), element.data.end());
    }
    return out;
}

} // namespace vigilo::IcnsFile
