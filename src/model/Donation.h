#pragma once

#include "ports/Desktop.h"

// The page where users can buy the author a coffee.
namespace vigilo::Donation {

inline constexpr const char* url = "https://www.buymeacoffee.com/vigilo";

/// Opens the donation page in the default browser.
inline void open(Desktop& desktop) {
    desktop.openUrl(url);
}

} // namespace vigilo::Donation
