#include "platform/statusbar/StoredPng.h"

#include <QtEndian>

#include <zlib.h>

#include <algorithm>

namespace {

void appendBigEndian(QByteArray& out, quint32 value)
{
    const quint32 big = qToBigEndian(value);
    out.append(reinterpret_cast<const char*>(&big), 4);
}

void appendChunk(QByteArray& out, const char type[4], const QByteArray& data)
{
    appendBigEndian(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    appendBigEndian(out, quint32(crc32(0, reinterpret_cast<const Bytef*>(out.constData() + start), uInt(out.size() - start))));
}

} // namespace

QByteArray StoredPng::encode(const QImage& image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const int width = rgba.width();
    const int height = rgba.height();
    const qsizetype rowBytes = qsizetype(width) * 4;

    // The rows, each behind filter type 0 (none).
    QByteArray rows;
    rows.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        rows.append('\0');
        rows.append(reinterpret_cast<const char*>(rgba.constScanLine(y)), rowBytes);
    }

    // A zlib stream of stored deflate blocks, at most 65535 bytes each.
    constexpr qsizetype BlockLimit = 65535;
    QByteArray stream;
    stream.reserve(rows.size() + (rows.size() / BlockLimit + 1) * 5 + 6);
    stream.append('\x78').append('\x01');
    qsizetype done = 0;
    do {
        const qsizetype length = std::min(BlockLimit, rows.size() - done);
        const bool last = done + length == rows.size();
        stream.append(char(last ? 1 : 0));
        const quint16 len = quint16(length);
        const quint16 nlen = quint16(~len);
        stream.append(char(len & 0xFF)).append(char(len >> 8)).append(char(nlen & 0xFF)).append(char(nlen >> 8));
        stream.append(rows.constData() + done, length);
        done += length;
    } while (done < rows.size());
    appendBigEndian(stream, quint32(adler32(1, reinterpret_cast<const Bytef*>(rows.constData()), uInt(rows.size()))));

    QByteArray header;
    appendBigEndian(header, quint32(width));
    appendBigEndian(header, quint32(height));
    // 8 bits per channel, colour type 6 (RGBA), deflate, adaptive filtering, no interlace.
    header.append('\x08').append('\x06').append('\0').append('\0').append('\0');

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(stream.size() + 64);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", stream);
    appendChunk(png, "IEND", {});
    return png;
}
