#pragma once

#include <QByteArray>
#include <QImage>

// A PNG file whose pixels are stored, not compressed: no row filters and
// deflate blocks of the plain rows. Tray icons are rewritten on every tick and
// read back at once by the tray host, so encoding time is what counts; a
// general PNG writer spends most of it choosing filters and running deflate
// even at its lowest compression. Any PNG reader reads the result.
namespace StoredPng {

// The image as 8-bit RGBA (straight alpha), the form of the file's pixels.
QByteArray encode(const QImage& image);

} // namespace StoredPng
