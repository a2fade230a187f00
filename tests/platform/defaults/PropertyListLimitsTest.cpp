#include "platform/defaults/PropertyList.h"
#include "platform/defaults/PropertyListLimits.h"
#include "support/FinishesInTime.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;

QByteArray nestedXML(int arrays)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + QByteArray("<array>").repeated(arrays)
        + "<!-- <array> --><true/>" + QByteArray("</array>").repeated(arrays) + "\n</plist>\n";
}

void appendBigEndian(QByteArray& bytes, quint64 value, int size)
{
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xff));
}

// A binary list of arrays, object i holding the members members[i] (object
// numbers), object 0 on top.
QByteArray binaryArrays(const std::vector<std::vector<quint32>>& members)
{
    QByteArray bytes = "bplist00";
    std::vector<quint64> offsets;
    for (const auto& array : members) {
        offsets.push_back(quint64(bytes.size()));
        if (array.size() < 15) {
            bytes.append(char(0xA0 | array.size()));
        } else {
            bytes.append(char(0xAF));
            bytes.append(char(0x12));
            appendBigEndian(bytes, array.size(), 4);
        }
        for (const quint32 member : array)
            appendBigEndian(bytes, member, 4);
    }
    const quint64 table = quint64(bytes.size());
    for (const quint64 offset : offsets)
        appendBigEndian(bytes, offset, 4);
    bytes.append(QByteArray(6, '\0'));
    bytes.append(char(4));
    bytes.append(char(4));
    appendBigEndian(bytes, members.size(), 8);
    appendBigEndian(bytes, 0, 8);
    appendBigEndian(bytes, table, 8);
    return bytes;
}

// Parsing ends (instead of overflowing the stack or expanding for ever) and
// refuses the bytes.
bool refusedInTime(const QByteArray& bytes, QString* reason = nullptr)
{
    if (reason)
        *reason = PropertyListLimits::violation(bytes).value_or(QString());
    return finishesInTime([&] {
        if (PropertyList::fromData(bytes))
            _exit(1);
    }, 20s);
}

} // namespace

TEST(PropertyListLimits, DeeplyNestedXMLIsRefusedBeforeParsingAndTheLimitItselfIsRead)
{
    // 30,000 levels, about 450 KB: a settings file that crashed every start.
    QString reason;
    EXPECT_TRUE(refusedInTime(nestedXML(30'000), &reason));
    EXPECT_EQ(reason, QStringLiteral("it is nested more than 128 levels deep"));

    // <plist> is the first level of elements.
    const int deepest = PropertyListLimits::MaximumDepth - 1;
    std::optional<QVariant> value = PropertyList::fromData(nestedXML(deepest));
    ASSERT_TRUE(value);
    for (int level = 1; level < deepest; ++level)
        value = value->toList().value(0);
    EXPECT_EQ(value->toList(), QVariantList{true});
    EXPECT_FALSE(PropertyList::fromData(nestedXML(deepest + 1)));
}

TEST(PropertyListLimits, HostileBinaryListsAreRefusedBeforeParsing)
{
    // 100,000 arrays, each holding the next: libplist itself recurses per level.
    std::vector<std::vector<quint32>> chain(100'000);
    for (quint32 i = 0; i + 1 < chain.size(); ++i)
        chain[i] = {i + 1};
    QString reason;
    EXPECT_TRUE(refusedInTime(binaryArrays(chain), &reason));
    EXPECT_EQ(reason, QStringLiteral("it is nested more than 128 levels deep"));

    // 40 levels that each name the next level twice: 2^40 values from 400 bytes.
    std::vector<std::vector<quint32>> doubling(41);
    for (quint32 i = 0; i < 40; ++i)
        doubling[i] = {i + 1, i + 1};
    EXPECT_TRUE(refusedInTime(binaryArrays(doubling), &reason));
    EXPECT_EQ(reason, QStringLiteral("it expands to more than 1000000 values"));

    // An array inside itself, and a member that does not exist.
    EXPECT_TRUE(refusedInTime(binaryArrays({{1}, {0}}), &reason));
    EXPECT_EQ(reason, QStringLiteral("object 0 contains itself"));
    EXPECT_TRUE(refusedInTime(binaryArrays({{7}}), &reason));
    EXPECT_EQ(reason, QStringLiteral("object 0 names a missing member"));

    // Shared members within the limits are fine, long arrays included.
    std::vector<std::vector<quint32>> wide{std::vector<quint32>(20, 1), {}};
    const std::optional<QVariant> value = PropertyList::fromData(binaryArrays(wide));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->toList().size(), 20);
    EXPECT_EQ(value->toList().last(), QVariant(QVariantList{}));
}
