#include "VistrelProcess.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

// With the permission given, Vistrel finds the companion built next to it,
// starts it, connects and accepts it; quitting Vistrel lets go of it.
TEST(VistrelPlus, PermittedVistrelStartsTheCompanionBesideItAndConnects)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=offscreen")},
        VistrelProcess::settled({{QStringLiteral("UseAppExtension"), true}}));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("App extension accepted."), 15000)) << qPrintable(vistrel.errorOutput());
    const QRegularExpressionMatch started =
        QRegularExpression(QStringLiteral("App extension running at PID (\\d+)\\.")).match(vistrel.errorOutput());
    ASSERT_TRUE(started.hasMatch());
    const pid_t companion = pid_t(started.captured(1).toInt());
    EXPECT_EQ(QFileInfo(QStringLiteral("/proc/%1/exe").arg(companion)).canonicalFilePath(),
        QFileInfo(QFileInfo(QStringLiteral(VISTREL_EXECUTABLE)).path() + QStringLiteral("/vistrel-plus")).canonicalFilePath());
    EXPECT_FALSE(vistrel.errorOutput().contains(QStringLiteral("could not receive data")));

    // Its data set arrives once a second while Vistrel runs: no silence.
    QThread::sleep(3);
    EXPECT_FALSE(vistrel.errorOutput().contains(QStringLiteral("Duty cycle was shifted")));
    const QString dataPipe = vistrel.home() + QStringLiteral("/K7QW2ZL9XM.com.zentrovo.vistrel/com.zentrovo.system.VistrelPlus/PipeComm/out.%1")
                                                  .arg(vistrel.process().processId());
    EXPECT_TRUE(QFileInfo::exists(dataPipe));

    // Quitting disconnects: the companion removes the data pipe and stays.
    vistrel.process().terminate();
    ASSERT_TRUE(vistrel.process().waitForFinished(10000));
    for (int wait = 0; wait < 50 && QFileInfo::exists(dataPipe); ++wait)
        QThread::msleep(100);
    EXPECT_FALSE(QFileInfo::exists(dataPipe));
    EXPECT_EQ(::kill(companion, 0), 0);
    ::kill(companion, SIGTERM);
}
