#pragma once

#include <QImage>

namespace vigilo {

/// Blurs `image` (premultiplied ARGB) in place with a Gaussian of standard deviation `sigma`
/// pixels, approximated by three box passes each way. Pixels outside count as transparent.
void gaussianBlur(QImage& image, qreal sigma);

} // namespace vigilo
