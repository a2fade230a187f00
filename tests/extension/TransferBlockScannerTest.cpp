#include "extension/TransferBlockScanner.h"

#include <gtest/gtest.h>

namespace {

using Scanner = TransferBlockScanner;

QByteArray block(const QByteArray& payload, const QByteArray& status = "0", const QByteArray& version = "2.1",
    const QByteArray& build = "45")
{
    return "+++VistrelPlus+++V" + version + "B" + build + "S" + status + "[" + QByteArray::number(payload.size()) + "]" + payload;
}

std::optional<Scanner::Block> scan(const QByteArray& data, Scanner::Header* header = nullptr)
{
    Scanner::Header local;
    return Scanner::firstCompleteBlock(data, header ? *header : local);
}

}

TEST(TransferBlockScanner, FindsOnlyTheFirstCompleteBlockAndItsPayloadAmongNoise)
{
    const QByteArray noise = "garbage+++Vistrel";
    const QByteArray data = noise + block("abc") + block("defg");
    const auto found = scan(data);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->block, (Scanner::Range {noise.size(), block("abc").size()}));
    EXPECT_EQ(data.sliced(found->payload.start, found->payload.length), "abc");

    // A payload that holds the marker itself is taken by its length.
    const QByteArray inner = block("+++VistrelPlus+++V");
    const auto nested = scan(inner + "tail");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->block.length, inner.size());
}

TEST(TransferBlockScanner, IncompleteBlocksStillReportTheirHeader)
{
    const QByteArray whole = block("0123456789", "258", "3.0", "7");
    Scanner::Header header;
    EXPECT_FALSE(scan(whole.chopped(1), &header));
    EXPECT_EQ(header.version, QStringLiteral("3.0"));
    EXPECT_EQ(header.build, QStringLiteral("7"));
    EXPECT_EQ(header.status, 2);  // 258 keeps its low 8 bits
    ASSERT_TRUE(scan(whole));

    // A header that ends right at the end of the bytes is not complete, not
    // even with an empty payload: "]" must be followed by one more byte.
    EXPECT_FALSE(scan(block("")));
    EXPECT_TRUE(scan(block("") + "x"));
    // Every prefix of a block is incomplete.
    for (qsizetype length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(scan(whole.first(length))) << length;
}

TEST(TransferBlockScanner, StatusTextsAreReadAsTheOtherPlatformReadsIntegers)
{
    const std::pair<QByteArray, int> cases[] = {{"-1", -1}, {"", 0}, {"  7x", 7}, {"+3", 3}, {"abc", 0}, {"99999999999999999999", -1}};
    for (const auto& [text, expected] : cases) {
        Scanner::Header header;
        ASSERT_TRUE(scan(block("p", text) + "!", &header)) << text.constData();
        EXPECT_EQ(header.status, expected) << text.constData();
    }
    EXPECT_EQ(Scanner::integerValue(u"-9223372036854775809"), std::numeric_limits<qint64>::min());
}

TEST(TransferBlockScanner, MalformedHeadersNeverComplete)
{
    // A marker followed by another byte than "V" blocks the stream, even
    // with a good block after it.
    EXPECT_FALSE(scan("+++VistrelPlus+++X" + block("abc")));
    // The "]" must stand less than 40 bytes after the "V".
    const QByteArray longVersion(34, '1');
    EXPECT_TRUE(scan(block("a", "0", longVersion.first(33), "")));  // "]" at offset 39
    EXPECT_FALSE(scan(block("a", "0", longVersion, "") + QByteArray(100, 'x')));  // offset 40
    // A length that is no UTF-8 text, or negative (a huge count), never completes.
    EXPECT_FALSE(scan("+++VistrelPlus+++V1B1S0[\xff]abc"));
    EXPECT_FALSE(scan("+++VistrelPlus+++V1B1S0[-1]" + QByteArray(64, 'x')));
    // A version that is no UTF-8 leaves the version unset but the block whole.
    Scanner::Header header;
    EXPECT_TRUE(scan(block("abc", "0", "\xc3\x28") + "!", &header));
    EXPECT_FALSE(header.version);
    EXPECT_EQ(header.build, QStringLiteral("45"));
}
