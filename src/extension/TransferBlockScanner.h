#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Finds framed transfer blocks in the bytes read from a data pipe:
//   "+++VistrelPlus+++" "V" version "B" build "S" status "[" length "]" payload
// The header from "V" to "]" must fit into 40 bytes.
class TransferBlockScanner {
public:
    static constexpr char Marker[] = "+++VistrelPlus+++";
    static constexpr qsizetype HeaderLimit = 40;

    struct Range {
        qsizetype start = 0;
        qsizetype length = 0;
        bool operator==(const Range&) const = default;
    };
    struct Block {
        Range block;    // from the marker to the payload's last byte
        Range payload;
    };
    // What the header said, as far as it could be read; fields stay unset
    // where the header ended or did not decode.
    struct Header {
        std::optional<QString> version;
        std::optional<QString> build;
        std::optional<qint8> status;
    };

    // The first complete block. Only the first marker counts: a marker not
    // followed by "V" blocks the stream. The header fields are filled even
    // when the payload has not all arrived yet.
    static std::optional<Block> firstCompleteBlock(QByteArrayView data, Header& header);

    // Integer value of a text as the number parser of the other platform
    // reads it: leading white space, an optional sign, the digits up to the
    // first other character; 0 when there are none; saturating.
    static qint64 integerValue(QStringView text);
};
