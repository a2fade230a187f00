#include "VistrelProcess.h"
#include "XServer.h"
#include "app/SettingsWriteExercise.h"
#include "platform/defaults/PropertyList.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace {

// "round N" when the settings file is whole: every entry of the exercise's
// write N present, and the settings it started with still there; else what is
// wrong with it.
QString roundIn(const QString& path)
{
    const std::optional<QVariant> read = PropertyList::readFile(path);
    if (!read)
        return QStringLiteral("unreadable");
    const QVariantMap settings = read->toMap();
    if (settings.value(QStringLiteral("PassedFirstStart")).toInt() != 1280)
        return QStringLiteral("lost the settings it started with");
    const QVariantList entries = settings.value(SettingsWriteExercise::Key).toList();
    if (entries.size() != SettingsWriteExercise::Entries)
        return QStringLiteral("%1 entries instead of %2").arg(entries.size()).arg(SettingsWriteExercise::Entries);
    static const QRegularExpression pattern(QStringLiteral("^round (\\d+), entry (\\d+)$"));
    QString round;
    for (int index = 0; index < entries.size(); ++index) {
        const QRegularExpressionMatch match = pattern.match(entries[index].toString());
        if (!match.hasMatch() || match.captured(2).toInt() != index || (!round.isEmpty() && match.captured(1) != round))
            return QStringLiteral("entry %1 reads '%2'").arg(index).arg(entries[index].toString());
        round = match.captured(1);
    }
    return QStringLiteral("round ") + round;
}

bool isWhole(const QString& result)
{
    return result.startsWith(QLatin1String("round "));
}

// A hundred rounds end by SIGTERM, one in five by SIGKILL.
bool isTerminated(int round)
{
    return round % 5 != 4;
}

} // namespace

// A logout sends SIGTERM whenever it likes, here in the middle of non-stop
// settings writes: the write under way finishes and the program ends the
// ordinary way, a hundred times. Every fifth round is cut off by SIGKILL instead,
// which no program can put off: even then the file on disk is a whole one.
TEST(SuddenTermination, ASignalDuringASettingsWriteNeverLeavesAHalfWrittenFile)
{
    constexpr int Rounds = 125;
    // Started a few at a time: most of a round is the program's start.
    constexpr int AtOnce = 5;
    QRandomGenerator random(20261207);
    QElapsedTimer elapsed;
    elapsed.start();
    for (int first = 0; first < Rounds; first += AtOnce) {
        std::vector<std::unique_ptr<VistrelProcess>> programs;
        for (int round = first; round < first + AtOnce; ++round) {
            programs.push_back(std::make_unique<VistrelProcess>(
                QStringList {QStringLiteral("--status-bar=offscreen"), QStringLiteral("--exercise-settings-writes")},
                VistrelProcess::settled()));
        }
        const auto fileOf = [&](int index) {
            return programs[size_t(index)]->home() + QStringLiteral("/config/vistrel/com.zentrovo.vistrel.plist");
        };
        for (int index = 0; index < AtOnce; ++index) {
            ASSERT_TRUE(waitUntil([&] { return isWhole(roundIn(fileOf(index))); }, 30000))
                << "round " << first + index << ": no settings written; " << qPrintable(programs[size_t(index)]->errorOutput());
        }
        for (int index = 0; index < AtOnce; ++index) {
            QThread::usleep(random.bounded(5000));
            ::kill(pid_t(programs[size_t(index)]->process().processId()), isTerminated(first + index) ? SIGTERM : SIGKILL);
        }
        for (int index = 0; index < AtOnce; ++index) {
            const int round = first + index;
            const bool terminated = isTerminated(round);
            QProcess& process = programs[size_t(index)]->process();
            ASSERT_TRUE(process.waitForFinished(10000)) << "round " << round;
            if (terminated) {
                EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "round " << round;
                EXPECT_EQ(process.exitCode(), 0) << "round " << round << qPrintable(programs[size_t(index)]->errorOutput());
            }
            const QString result = roundIn(fileOf(index));
            EXPECT_TRUE(isWhole(result)) << "round " << round << (terminated ? " (SIGTERM)" : " (SIGKILL)") << ": "
                                         << qPrintable(result);
        }
    }
    std::printf("%d rounds in %.1f s\n", Rounds, elapsed.elapsed() / 1000.0);
}
