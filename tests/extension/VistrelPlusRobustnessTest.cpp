#include "extension/CompanionProcess.h"
#include "extension/RunLoopWait.h"
#include "extension/TransferPayload.h"
#include "extension/VistrelPlusClient.h"
#include "extension/VistrelPlusService.h"
#include "platform/log/LogCapture.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include <signal.h>

namespace {

std::unique_ptr<VistrelPlusClient> newClient()
{
    return VistrelPlusClient::create(QLatin1String(VistrelPlusService::ServerIdentifier), QLatin1String(VistrelPlusService::ApplicationGroup));
}

// Connects a new client and reads for a while: "served" when a block that
// decodes arrived, else the step that failed.
std::string serveOneClient(const PipeRuntime& runtime, CompanionProcess& companion, double seconds)
{
    if (!companion.waitUntilReady(runtime))
        return "not ready";
    const std::unique_ptr<VistrelPlusClient> client = newClient();
    if (!client->connectToServer())
        return "no connection";
    bool decoded = false;
    for (int wait = 0; wait < int(seconds / 0.02) && !decoded; ++wait) {
        if (client->retrieveDataFromServer())
            while (const std::optional<QByteArray> payload = client->nextPayloadBlock())
                decoded = decoded || TransferPayload::decode(*payload).has_value();
        runRunLoopForSeconds(0.02);
    }
    client->closeConnectionToServer();
    return decoded ? "served" : "no block";
}
}

// The companion dies by SIGKILL a hundred times, at random moments: while
// it starts, while a client connects, while blocks are on their way (every
// 10 ms, faster than the client reads, so the pipe fills and blocks are cut).
// Each time a new companion and a new client must work again, and the
// client side must hold no descriptor more than before.
TEST(VistrelPlusRobustness, AHundredKilledCompanionsLeaveNoDescriptorsAndEachIsRecoveredFrom)
{
    LogCapture quiet;  // the failed connections log, as they should
    PipeRuntime runtime;
    const int descriptors = openDescriptorCount();
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> moment(0, 700);
    int servedBeforeKill = 0;
    for (int round = 0; round < 100; ++round) {
        {
            CompanionProcess victim(QStringLiteral(VISTREL_FIXTURES "/plus-sensors"), 10);
            const pid_t processID = pid_t(victim.processID());
            ASSERT_GT(processID, 0);
            std::thread killer([processID, delay = moment(random)] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                ::kill(processID, SIGKILL);
            });
            if (serveOneClient(runtime, victim, 0.6) == "served")
                ++servedBeforeKill;
            killer.join();
            victim.kill();
        }
        EXPECT_EQ(openDescriptorCount(), descriptors) << "round " << round;
        // What the killed companion left (a stale request pipe, data pipes,
        // the lock) must not keep the next one from serving.
        CompanionProcess next;
        const std::string served = serveOneClient(runtime, next, 3.0);
        next.signal(SIGTERM);
        ASSERT_EQ(served, "served") << "round " << round << "\n" << (next.waitForExit(), next.log().toStdString())
                                    << quiet.messages(LogLevel::Error).join(u'\n').toStdString();
        EXPECT_EQ(next.waitForExit(), 0);
    }
    EXPECT_EQ(openDescriptorCount(), descriptors);
    // Both kinds of moment occurred: some kills came before a block was
    // decoded (starting, connecting), others after.
    EXPECT_GT(servedBeforeKill, 5);
    EXPECT_LT(servedBeforeKill, 95);
}
