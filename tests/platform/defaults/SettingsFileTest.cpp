#include "platform/defaults/PropertyList.h"
#include "platform/defaults/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

TEST(SettingsFile, WhatIsMovedAsideIsTheFileThatWasReadNotWhatTheNameLeadsToNow)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.plist"));
    const SettingsFile file(path);
    writeBytes(path, "<plist><dict><key>Cut</key><integ");
    const SettingsFile::Contents bad = file.read();
    ASSERT_EQ(bad.state, SettingsFile::State::Unreadable);

    // Another program replaces the bad file with a good one while it is read.
    ASSERT_TRUE(PropertyList::writeFile(path, QVariantMap{{QStringLiteral("Good"), true}}));
    const SettingsFile::MoveAside kept = file.moveAside(bad.identity);
    EXPECT_EQ(kept.outcome, SettingsFile::Outcome::Replaced);
    const SettingsFile::Contents good = file.read();
    ASSERT_EQ(good.state, SettingsFile::State::Loaded);
    EXPECT_EQ(good.values.value(QStringLiteral("Good")), QVariant(true));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.plist")});

    // Nothing replaced it: the bad file goes aside, unchanged, and twice in
    // the same second gets two names.
    for (int round = 1; round <= 2; ++round) {
        writeBytes(path, "garbage");
        const SettingsFile::MoveAside moved = file.moveAside(file.read().identity);
        EXPECT_EQ(moved.outcome, SettingsFile::Outcome::Moved);
        EXPECT_TRUE(moved.aside.startsWith(path + QStringLiteral(".unreadable-"))) << qPrintable(moved.aside);
        QFile aside(moved.aside);
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), QByteArray("garbage"));
        EXPECT_EQ(file.read().state, SettingsFile::State::Missing);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), round);
    }
}
