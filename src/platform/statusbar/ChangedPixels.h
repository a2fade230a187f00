#pragma once

#include <QImage>
#include <QRect>

// Where a new picture of a status item differs from the one it replaces, so
// that only that part is drawn again and sent to the display.
namespace ChangedPixels {

// The smallest rectangle of pixels holding every difference; the whole of
// after when the two differ in size, format or pixel ratio (or before is
// null), an empty rectangle when every pixel is the same.
QRect between(const QImage& before, const QImage& after);

} // namespace ChangedPixels
