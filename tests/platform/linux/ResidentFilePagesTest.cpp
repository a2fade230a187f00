#include "platform/linux/ResidentFilePages.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray fixture(const char* name)
{
    return readAll(QStringLiteral(VISTREL_FIXTURES "/process-maps/") + QLatin1String(name));
}

quint64 residentKiBOfSelf()
{
    const QByteArray text = readAll(QStringLiteral("/proc/self/smaps_rollup"));
    const qsizetype at = text.indexOf("\nRss:");
    return at < 0 ? 0 : text.mid(at + 5).trimmed().split(' ').first().toULongLong();
}

} // namespace

// Only read-only file views without private copies qualify: the relocated page of a binary (r--p with
// anonymous pages), writable data, the heap and anonymous memory keep their contents.
TEST(ResidentFilePages, PicksReadOnlyFilePagesOfARealListing)
{
    const QByteArray smaps = fixture("mawk-smaps.txt");
    ASSERT_FALSE(smaps.isEmpty());
    const auto ranges = ResidentFilePages::releasableRanges(smaps);

    std::vector<std::pair<quintptr, quint64>> found;
    for (const auto& range : ranges)
        found.emplace_back(range.start, range.residentKiB);
    const std::vector<std::pair<quintptr, quint64>> expected {
        {0x55b078b78000, 16}, // the binary's header and read-only data
        {0x55b078b7c000, 100}, // its code
        {0x55b078b95000, 32},
        {0x7f09b1065000, 128}, // locale data
        {0x7f09b10bf000, 152}, // the C library, as far as listed
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(ranges[1].end, quintptr(0x55b078b95000));
}

TEST(ResidentFilePages, SkipsSharedEmptyAndTruncatedEntries)
{
    const QByteArray smaps
        = "7f0000000000-7f0000004000 r--s 00000000 fe:00 11 /var/cache/fontconfig/cache-4\n"
          "Rss:                  16 kB\n"
          "Anonymous:             0 kB\n"
          "7f0000004000-7f0000008000 r--p 00000000 fe:00 12 /usr/lib/libnothing.so\n"
          "Rss:                   0 kB\n"
          "Anonymous:             0 kB\n"
          "7f0000008000-7f000000c000 r-xp 00000000 fe:00 13 /opt/a dir/lib (deleted)\n"
          "Rss:                   8 kB\n"
          "Anonymous:             0 kB\n"
          "7f000000c000-7f0000010000 r-xp 00000000 00:00 0 [vdso]\n"
          "Rss:                   4 kB\n"
          "Anonymous:             0 kB\n"
          "7f0000010000-zz r-xp 00000000 fe:00 14 /usr/lib/broken.so\n"
          "Rss:                   4 kB\n"
          "7f0000020000-7f0000024000 r-xp 00000000 fe:00 15 /usr/lib/cut-short.so\n"
          "Rss:                   4 kB";
    const auto ranges = ResidentFilePages::releasableRanges(smaps);
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].start, quintptr(0x7f0000008000));
    // Without its Anonymous line a mapping counts as having none; the
    // permissions already ruled out private copies of code.
    EXPECT_EQ(ranges[1].start, quintptr(0x7f0000020000));
    EXPECT_TRUE(ResidentFilePages::releasableRanges("").empty());
}

// This test process gives back the pages its start-up touched and keeps running on them.
TEST(ResidentFilePages, ReleasingShrinksThisProcessAndItKeepsWorking)
{
    const quint64 before = residentKiBOfSelf();
    ASSERT_GT(before, 0u);
    const quint64 released = ResidentFilePages::releaseIdlePages();
    const quint64 after = residentKiBOfSelf();
    EXPECT_GT(released, 0u);
    EXPECT_LT(after, before);

    // Code and read-only data come back from the file when touched again.
    const QByteArray again = fixture("mawk-smaps.txt");
    EXPECT_EQ(ResidentFilePages::releasableRanges(again).size(), 5u);
}
