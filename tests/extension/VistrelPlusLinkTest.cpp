#include "extension/CompanionProcess.h"
#include "extension/RunLoopWait.h"
#include "extension/TransferPayload.h"
#include "extension/VLPProcessInstrumentEntry.h"
#include "extension/VLPSensorInstrumentEntry.h"
#include "extension/VistrelPlusClient.h"
#include "extension/VistrelPlusService.h"
#include "platform/linux/ProcessStartTime.h"
#include "platform/log/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::unique_ptr<VistrelPlusClient> newClient()
{
    return VistrelPlusClient::create(QLatin1String(VistrelPlusService::ServerIdentifier), QLatin1String(VistrelPlusService::ApplicationGroup));
}

// Reads until a block arrives; false after `seconds`.
bool receiveBlock(VistrelPlusClient& client, double seconds = 3)
{
    for (int wait = 0; wait < int(seconds / 0.05); ++wait) {
        if (client.retrieveDataFromServer())
            return true;
        runRunLoopForSeconds(0.05);
    }
    return false;
}

mode_t modeOf(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

bool waitUntilGone(const QString& path)
{
    for (int wait = 0; wait < 100 && QFileInfo::exists(path); ++wait)
        runRunLoopForSeconds(0.02);
    return !QFileInfo::exists(path);
}

}

TEST(VistrelPlusLink, ClientReceivesTheFixtureMachineFromTheRealCompanion)
{
    PipeRuntime runtime;
    CompanionProcess companion;
    ASSERT_TRUE(companion.waitUntilReady(runtime)) << companion.log().toStdString();
    EXPECT_EQ(modeOf(runtime.folder()), S_IFDIR | 0700);
    EXPECT_EQ(modeOf(runtime.requestPipe()), S_IFIFO | 0600);

    const std::unique_ptr<VistrelPlusClient> client = newClient();
    ASSERT_TRUE(client);
    EXPECT_TRUE(client->canConnectToServer());
    const std::optional<QDateTime> launch = ProcessStartTime::of(companion.processID());
    ASSERT_TRUE(launch);
    EXPECT_FALSE(client->isServerConnectPipeStaleForLaunchDate(*launch));
    EXPECT_TRUE(client->isServerConnectPipeStaleForLaunchDate(launch->addSecs(5)));

    ASSERT_TRUE(client->connectToServer());
    EXPECT_FALSE(client->connectToServer());  // already connected: nothing changes
    EXPECT_EQ(modeOf(client->pathOfInputPipe()), S_IFIFO | 0600);
    ASSERT_TRUE(receiveBlock(*client));
    EXPECT_EQ(client->serverVersion(), QStringLiteral("1.0"));
    EXPECT_EQ(client->serverBuild(), QStringLiteral("1"));
    EXPECT_EQ(client->serverStatus(), 0);

    const std::optional<QByteArray> payload = client->nextPayloadBlock();
    ASSERT_TRUE(payload);
    QString error;
    const std::optional<QVariantMap> dataSet = TransferPayload::decode(*payload, &error);
    ASSERT_TRUE(dataSet) << error.toStdString();
    const auto sensors = transferEntry<VLPSensorInstrumentEntry>(dataSet->value(QStringLiteral("VLPSensorInstrumentEntry")));
    ASSERT_TRUE(sensors);
    EXPECT_DOUBLE_EQ(sensors->mainCentigradeValue, 54);
    ASSERT_EQ(sensors->fanEntries.size(), 2);
    EXPECT_EQ(sensors->fanEntries[0]->localizedName, QStringLiteral("CPU fan"));
    EXPECT_DOUBLE_EQ(sensors->fanEntries[0]->rpmValue, 1180);
    EXPECT_DOUBLE_EQ(sensors->fanEntries[0]->specifiedRPMValue, 2400);
    QStringList sensorTexts;
    for (const auto& sensor : sensors->appleSiliconSensorEntries)
        sensorTexts << QStringLiteral("%1=%2/%3/%4").arg(sensor->localizedName).arg(sensor->quantityType).arg(sensor->currentValue)
                           .arg(sensor->numericProperties.value(QStringLiteral("RangeMinimum"), QStringLiteral("-")).toString());
    EXPECT_EQ(sensorTexts, (QStringList {"coretemp Package id 0=1/54/-", "coretemp Core 0=1/51.5/-", "coretemp Core 8=1/49/-",
                               "nct6798 SYSTIN=1/38/-", "nct6798 Vcore=2/1212/800", "nct6798 curr1=3/2500/-",
                               "nct6798 CPU power=4/17250/-"}));
    QStringList powerTexts;
    for (const auto& entry : sensors->powerGadgetEntries)
        powerTexts << QStringLiteral("%1=%2/%3/%4 %5").arg(entry->name).arg(entry->quantityType).arg(entry->value).arg(entry->specifiedValue).arg(entry->unit);
    // The fixture's energy counter stands still, so the package power (from
    // the second block on) is 0 W under a 65 W limit.
    powerTexts.removeAll(QStringLiteral("package-0 power=4/0/65 W"));
    EXPECT_EQ(powerTexts, (QStringList {"Processor frequency=13/2000/4800 MHz", "Package temperature=1/54/0 °C"}));

    const auto processes = transferEntry<VLPProcessInstrumentEntry>(dataSet->value(QStringLiteral("VLPProcessInstrumentEntry")));
    ASSERT_TRUE(processes);
    ASSERT_EQ(processes->top5MemoryProcessEntries.size(), 3);
    EXPECT_EQ(processes->top5MemoryProcessEntries[0]->processName, QStringLiteral("Web Content"));
    EXPECT_EQ(processes->top5MemoryProcessEntries[0]->realMemorySize, 204800u * quint64(::sysconf(_SC_PAGESIZE)));
    EXPECT_DOUBLE_EQ(processes->top5MemoryProcessEntries[0]->memoryUsage, 204800.0 * double(::sysconf(_SC_PAGESIZE)) / (16384000.0 * 1024));
    EXPECT_EQ(processes->top5MemoryProcessEntries[2]->processName, QStringLiteral("a) b (c)"));

    // Blocks keep coming once a tick, and the package power appears.
    ASSERT_TRUE(receiveBlock(*client));
    ASSERT_TRUE(receiveBlock(*client));
    while (const std::optional<QByteArray> next = client->nextPayloadBlock())
        ASSERT_TRUE(TransferPayload::decode(*next));

    ASSERT_TRUE(client->disconnectFromServer());
    EXPECT_FALSE(client->isConnected());
    EXPECT_TRUE(waitUntilGone(client->pathOfInputPipe()));

    companion.signal(SIGTERM);
    EXPECT_EQ(companion.waitForExit(), 0);
    EXPECT_FALSE(QFileInfo::exists(runtime.requestPipe()));
}

TEST(VistrelPlusLink, CompanionServesOnlyFromAFolderThatIsPrivatelyItsOwn)
{
    {
        PipeRuntime runtime;
        ASSERT_TRUE(QDir().mkpath(runtime.folder()));
        ASSERT_EQ(::chmod(QFile::encodeName(runtime.folder()).constData(), 0755), 0);
        CompanionProcess companion;
        EXPECT_EQ(companion.waitForExit(), 1);
        EXPECT_TRUE(companion.log().contains("mode 755; it must be ours with mode 0700"));
        EXPECT_FALSE(QFileInfo::exists(runtime.requestPipe()));
    }
    {
        PipeRuntime runtime;
        const QString elsewhere = runtime.path() + QStringLiteral("/elsewhere");
        ASSERT_TRUE(QDir().mkpath(elsewhere));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(runtime.folder()).path()));
        ASSERT_TRUE(QFile::link(elsewhere, runtime.folder()));
        CompanionProcess companion;
        EXPECT_EQ(companion.waitForExit(), 1);
        EXPECT_TRUE(companion.log().contains("is not a folder"));
        EXPECT_TRUE(QDir(elsewhere).isEmpty());
    }
    {
        // A crashed run's pipes are cleaned; a second server leaves at once.
        PipeRuntime runtime;
        ASSERT_TRUE(QDir().mkpath(runtime.folder()));
        ::chmod(QFile::encodeName(runtime.folder()).constData(), 0700);
        ASSERT_EQ(::mkfifo(QFile::encodeName(runtime.folder() + QStringLiteral("/out.99")).constData(), 0600), 0);
        ASSERT_EQ(::mkfifo(QFile::encodeName(runtime.requestPipe()).constData(), 0600), 0);
        CompanionProcess first;
        ASSERT_TRUE(first.waitUntilReady(runtime));
        runRunLoopForSeconds(0.2);
        EXPECT_FALSE(QFileInfo::exists(runtime.folder() + QStringLiteral("/out.99")));
        CompanionProcess second;
        EXPECT_EQ(second.waitForExit(), 1);
        EXPECT_TRUE(second.log().contains("another vistrel-plus already serves"));
    }
}

TEST(VistrelPlusLink, AReplacedRequestPipeIsRefusedAndNothingIsFollowed)
{
    PipeRuntime runtime;
    CompanionProcess companion(QStringLiteral(VISTREL_FIXTURES "/plus-sensors"), 200);
    ASSERT_TRUE(companion.waitUntilReady(runtime));
    companion.signal(SIGSTOP);  // so it cannot put its pipe back meanwhile

    const QString target = runtime.path() + QStringLiteral("/target");
    const auto replaceWith = [&](const std::function<bool()>& make) {
        QFile::remove(runtime.requestPipe());
        ASSERT_TRUE(make());
    };
    const auto fileText = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    };
    {
        LogCapture log;
        replaceWith([&] {
            QFile file(runtime.requestPipe());
            return file.open(QIODevice::WriteOnly) && file.write("keep") == 4;
        });
        const auto client = newClient();
        EXPECT_FALSE(client->connectToServer());
        EXPECT_EQ(fileText(runtime.requestPipe()), "keep");
        EXPECT_EQ(log.messages(LogLevel::Error).join(u'|').count(QStringLiteral("it is no named pipe of this user")), 1);
    }
    {
        LogCapture log;
        {
            QFile file(target);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        replaceWith([&] { return QFile::link(target, runtime.requestPipe()); });
        const auto client = newClient();
        EXPECT_FALSE(client->connectToServer());
        EXPECT_EQ(fileText(target), "");
        const QString errors = log.messages(LogLevel::Error).join(u'\n');
        EXPECT_TRUE(errors.contains(QStringLiteral("Could not open server request pipe: %1").arg(QString::fromLocal8Bit(::strerror(ELOOP)))))
            << errors.toStdString();
    }

    // Running again, the companion notices and puts its own pipe back.
    companion.signal(SIGCONT);
    for (int wait = 0; wait < 100 && !S_ISFIFO(modeOf(runtime.requestPipe())); ++wait)
        runRunLoopForSeconds(0.02);
    const auto client = newClient();
    ASSERT_TRUE(client->connectToServer());
    EXPECT_TRUE(receiveBlock(*client));
    EXPECT_TRUE(companion.log().contains("the request pipe was removed or replaced"));
    EXPECT_EQ(fileText(target), "");
}

TEST(VistrelPlusLink, OverlongAndForeignRequestsAreDroppedAndLogged)
{
    PipeRuntime runtime;
    CompanionProcess companion;
    ASSERT_TRUE(companion.waitUntilReady(runtime));
    {
        QFile pipe(runtime.requestPipe());
        ASSERT_TRUE(pipe.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        // An overlong line, then a connect line for a process that does not exist.
        pipe.write("c" + QByteArray(500, '1') + "\nc2147483646\nq\n");
    }
    const auto client = newClient();
    ASSERT_TRUE(client->connectToServer());
    EXPECT_TRUE(receiveBlock(*client));
    const QByteArray log = companion.log();
    EXPECT_TRUE(log.contains("dropping a request line longer than 64 bytes")) << log.constData();
    EXPECT_TRUE(log.contains("dropping a connect request for 2147483646: no process of this user"));
    EXPECT_TRUE(log.contains("dropping a malformed request line of 1 bytes"));
    EXPECT_FALSE(QFileInfo::exists(runtime.folder() + QStringLiteral("/out.2147483646")));
}

TEST(VistrelPlusLink, AServerLeftFromACrashIsStaleUntilANewOneReplacesItsPipe)
{
    PipeRuntime runtime;
    std::optional<QDateTime> firstLaunch;
    {
        CompanionProcess crashed;
        ASSERT_TRUE(crashed.waitUntilReady(runtime));
        firstLaunch = ProcessStartTime::of(crashed.processID());
        crashed.kill();
    }
    ASSERT_TRUE(QFileInfo::exists(runtime.requestPipe()));
    const auto client = newClient();
    EXPECT_TRUE(client->isServerConnectPipeStaleForLaunchDate(QDateTime::currentDateTimeUtc()));

    CompanionProcess next;
    const std::optional<QDateTime> launch = ProcessStartTime::of(next.processID());
    ASSERT_TRUE(launch && firstLaunch);
    EXPECT_LT(*firstLaunch, *launch);
    for (int wait = 0; wait < 100 && client->isServerConnectPipeStaleForLaunchDate(*launch); ++wait)
        runRunLoopForSeconds(0.02);
    EXPECT_FALSE(client->isServerConnectPipeStaleForLaunchDate(*launch));
    EXPECT_TRUE(client->connectToServer());
}

TEST(VistrelPlusLink, ACompanionWhoseProgramIsRemovedOrReplacedSaysSo)
{
    PipeRuntime runtime;
    const QString program = runtime.path() + QStringLiteral("/vistrel-plus");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VISTREL_PLUS_EXECUTABLE), program));
    CompanionProcess companion(QStringLiteral(VISTREL_FIXTURES "/plus-sensors"), 100, program);
    ASSERT_TRUE(companion.waitUntilReady(runtime));
    const auto client = newClient();
    ASSERT_TRUE(client->connectToServer());
    ASSERT_TRUE(receiveBlock(*client));
    EXPECT_EQ(client->serverStatus(), 0);

    const auto statusAfter = [&](const std::function<void()>& change) {
        change();
        for (int block = 0; block < 5 && receiveBlock(*client); ++block)
            if (client->serverStatus() != 0)
                break;
        return client->serverStatus();
    };
    EXPECT_EQ(statusAfter([&] { QFile::remove(program); }), 1);  // removed
    EXPECT_EQ(statusAfter([&] { QFile::copy(QStringLiteral(VISTREL_PLUS_EXECUTABLE), program); }), 2);  // replaced
}
