#include "extension/TransferBlockScanner.h"

#include <QStringDecoder>

#include <limits>

namespace {

std::optional<QString> decodeUTF8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

}

qint64 TransferBlockScanner::integerValue(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';
    qint64 value = 0;
    constexpr qint64 maximum = std::numeric_limits<qint64>::max();
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        const int digit = text[at].unicode() - u'0';
        if (value > (maximum - digit) / 10)
            return negative ? std::numeric_limits<qint64>::min() : maximum;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::optional<TransferBlockScanner::Block> TransferBlockScanner::firstCompleteBlock(QByteArrayView data, Header& header)
{
    if (data.isEmpty())
        return std::nullopt;
    const qsizetype marker = data.indexOf(QByteArrayView(Marker));
    if (marker < 0)
        return std::nullopt;
    const qsizetype v = marker + qsizetype(sizeof Marker - 1);
    if (v >= data.size() || data[v] != 'V')
        return std::nullopt;
    // Delimiters are looked for at offsets 1 to 39 after the "V", and only
    // among bytes that have at least one more byte after them.
    const qsizetype last = std::min(v + HeaderLimit - 1, data.size() - 2);
    const auto find = [&](char delimiter, qsizetype from) -> qsizetype {
        for (qsizetype at = from; at <= last; ++at)
            if (data[at] == delimiter)
                return at;
        return -1;
    };
    const qsizetype b = find('B', v + 1);
    if (b < 0)
        return std::nullopt;
    if (std::optional<QString> version = decodeUTF8(data.sliced(v + 1, b - v - 1)))
        header.version = std::move(version);
    const qsizetype s = find('S', b + 1);
    if (s < 0)
        return std::nullopt;
    if (std::optional<QString> build = decodeUTF8(data.sliced(b + 1, s - b - 1)))
        header.build = std::move(build);
    const qsizetype open = find('[', s + 1);
    if (open < 0)
        return std::nullopt;
    if (const std::optional<QString> status = decodeUTF8(data.sliced(s + 1, open - s - 1)))
        header.status = qint8(quint8(quint64(integerValue(*status)) & 0xff));
    const qsizetype close = find(']', open + 1);
    if (close < 0)
        return std::nullopt;
    const std::optional<QString> length = decodeUTF8(data.sliced(open + 1, close - open - 1));
    if (!length)
        return std::nullopt;
    const quint64 payloadLength = quint64(integerValue(*length));
    const qsizetype payloadStart = close + 1;
    if (payloadLength > quint64(data.size() - payloadStart))
        return std::nullopt;
    Block block;
    block.payload = {payloadStart, qsizetype(payloadLength)};
    block.block = {marker, payloadStart + qsizetype(payloadLength) - marker};
    return block;
}
