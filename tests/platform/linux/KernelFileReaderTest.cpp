#include "platform/linux/KernelFileReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <charconv>

#include <gtest/gtest.h>

namespace {

// The "rchar" count of /proc/self/io: what this process has read so far.
std::optional<quint64> bytesRead(std::optional<std::string_view> io)
{
    if (!io)
        return std::nullopt;
    const std::size_t at = io->find("rchar: ");
    if (at == std::string_view::npos)
        return std::nullopt;
    quint64 value = 0;
    const std::string_view number = io->substr(at + 7);
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

bool writeReplacing(const QString& path, const QByteArray& contents)
{
    // Written beside and renamed over, as saved samples are refreshed.
    QFile file(path + QStringLiteral(".new"));
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.flush()
        && std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) == 0;
}

} // namespace

TEST(KernelFileReader, KernelFilesReadAfreshEveryTimeAndASavedFileReplacedUnderItsNameIsFollowed)
{
    // Every read counts into rchar, so each one must show more than the last.
    KernelFileReader io("/proc/self/io");
    std::optional<quint64> last;
    for (int i = 0; i < 3; ++i) {
        const std::optional<quint64> now = bytesRead(io.read());
        ASSERT_TRUE(now) << "read " << i;
        if (last) {
            EXPECT_GT(*now, *last) << "read " << i;
        }
        last = now;
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("stat"));
    ASSERT_TRUE(writeReplacing(path, "cpu  1 2 3 4\n"));
    KernelFileReader saved(QFile::encodeName(path).toStdString());
    EXPECT_EQ(saved.read(), std::optional<std::string_view>("cpu  1 2 3 4\n"));
    ASSERT_TRUE(writeReplacing(path, "cpu  5 6 7 8 9\n"));
    EXPECT_EQ(saved.read(), std::optional<std::string_view>("cpu  5 6 7 8 9\n"));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(saved.read(), std::nullopt) << "removed";
    ASSERT_TRUE(writeReplacing(path, "cpu  1\n"));
    EXPECT_EQ(saved.read(), std::optional<std::string_view>("cpu  1\n")) << "back again";
}
