// Feeds arbitrary bytes to the transfer-block scanner the way the client
// does, once whole and once split into two reads, and checks that both find
// the same payloads and that every range lies inside the bytes.
#include "extension/TransferBlockScanner.h"

#include <QByteArray>
#include <QList>

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Appends the bytes and takes every complete block, as the client's read does.
void consume(QByteArray& buffer, QByteArrayView bytes, QList<QByteArray>& payloads)
{
    buffer.append(bytes);
    TransferBlockScanner::Header header;
    while (const auto block = TransferBlockScanner::firstCompleteBlock(buffer, header)) {
        require(block->block.start >= 0 && block->block.length > 0);
        require(block->block.start + block->block.length <= buffer.size());
        require(block->payload.start > block->block.start);
        require(block->payload.start + block->payload.length == block->block.start + block->block.length);
        require(QByteArrayView(buffer).sliced(block->block.start).startsWith(TransferBlockScanner::Marker));
        payloads.append(buffer.sliced(block->payload.start, block->payload.length));
        buffer.remove(0, block->block.start + block->block.length);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray whole;
    QList<QByteArray> wholePayloads;
    consume(whole, bytes, wholePayloads);

    // The first byte chooses where the second read begins.
    const qsizetype split = size > 0 ? qsizetype(data[0]) % qsizetype(size + 1) : 0;
    QByteArray pieces;
    QList<QByteArray> piecePayloads;
    consume(pieces, bytes.first(split), piecePayloads);
    consume(pieces, bytes.sliced(split), piecePayloads);
    require(piecePayloads == wholePayloads);
    require(pieces == whole);
    return 0;
}
