#pragma once

#include <QRect>
#include <QRegion>

namespace vigilo {

/// A rounded rectangle as a region of whole pixels: what X11 shapes and KWin's blur take.
[[nodiscard]] QRegion roundedRegion(const QRect& rect, double cornerRadius);

} // namespace vigilo
