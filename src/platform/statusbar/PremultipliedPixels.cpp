#include "platform/statusbar/PremultipliedPixels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>

namespace PremultipliedPixels {

namespace {

// One pixel of source-over. Clear and opaque sources need no test: times 255
// and times 0 the rounding gives back the target's bytes and nothing.
inline quint32 blendPixel(quint32 source, quint32 target)
{
    return source + byteMultiply(target, qAlpha(~source));
}

#if defined(__SSE2__)
// Four pixels at once, each byte rounded as byteMultiply rounds it: x * a
// fits 16 bits, and so does x * a + (x * a >> 8) + 0x80.
inline __m128i blendFourPixels(__m128i source, __m128i target)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i remaining = _mm_srli_epi32(_mm_xor_si128(source, _mm_set1_epi32(-1)), 24);
    remaining = _mm_or_si128(remaining, _mm_slli_epi32(remaining, 16));
    const auto multiply = [](__m128i bytes, __m128i factor) {
        const __m128i product = _mm_mullo_epi16(bytes, factor);
        const __m128i rounded = _mm_add_epi16(_mm_add_epi16(product, _mm_srli_epi16(product, 8)), _mm_set1_epi16(0x80));
        return _mm_srli_epi16(rounded, 8);
    };
    const __m128i low = multiply(_mm_unpacklo_epi8(target, zero), _mm_unpacklo_epi32(remaining, remaining));
    const __m128i high = multiply(_mm_unpackhi_epi8(target, zero), _mm_unpackhi_epi32(remaining, remaining));
    return _mm_add_epi8(source, _mm_packus_epi16(low, high));
}
#endif

} // namespace

void blendOver(QImage& target, const QPoint& pixel, const QImage& source)
{
    const QRect area = QRect(pixel, source.size()).intersected(target.rect());
    const QPoint from = area.topLeft() - pixel;
    for (int row = 0; row < area.height(); ++row) {
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(from.y() + row)) + from.x();
        quint32* out = writablePixels(target, area.x(), area.y() + row);
        int column = 0;
#if defined(__SSE2__)
        for (; column + 4 <= area.width(); column += 4) {
            auto* four = reinterpret_cast<__m128i*>(out + column);
            _mm_storeu_si128(four,
                blendFourPixels(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + column)), _mm_loadu_si128(four)));
        }
#endif
        for (; column < area.width(); ++column)
            out[column] = blendPixel(in[column], out[column]);
    }
}

void fillRect(QImage& target, const QRectF& rect, QRgb opaque)
{
    const QRect pixels = rect.toAlignedRect().intersected(target.rect());
    if (pixels.isEmpty())
        return;
    // The share of pixel n, [n, n + 1), that lies within [from, to).
    const auto share = [](int n, double from, double to) {
        return std::clamp(std::min(to, n + 1.0) - std::max(from, double(n)), 0.0, 1.0);
    };
    // Coverage in 256ths, truncated and capped below 256 as the raster engine's.
    const auto coverage = [](double covered) { return std::min(int(covered * 256 + 1e-6), 255); };
    const auto blend = [&](quint32& pixel, int alpha) {
        if (alpha == 255)
            pixel = opaque;
        else if (alpha > 0)
            pixel = blendPixel(byteMultiply(opaque, quint32(alpha)), pixel);
    };
    const double leftShare = share(pixels.left(), rect.left(), rect.right());
    const double rightShare = share(pixels.right(), rect.left(), rect.right());
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const double rowShare = share(y, rect.top(), rect.bottom());
        quint32* out = writablePixels(target, 0, y);
        blend(out[pixels.left()], coverage(rowShare * leftShare));
        if (pixels.width() == 1)
            continue;
        // The columns between the first and the last are covered across.
        const int alpha = coverage(rowShare);
        for (int x = pixels.left() + 1; x < pixels.right(); ++x)
            blend(out[x], alpha);
        blend(out[pixels.right()], coverage(rowShare * rightShare));
    }
}

QRect inkedBounds(const QImage& image)
{
    QRect bounds;
    for (int row = 0; row < image.height(); ++row) {
        const auto* pixels = reinterpret_cast<const quint32*>(image.constScanLine(row));
        int first = 0;
        while (first < image.width() && pixels[first] == 0)
            ++first;
        if (first == image.width())
            continue;
        int last = image.width() - 1;
        while (pixels[last] == 0)
            --last;
        bounds |= QRect(first, row, last - first + 1, 1);
    }
    return bounds;
}

} // namespace PremultipliedPixels
