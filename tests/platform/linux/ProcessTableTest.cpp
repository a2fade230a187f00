#include "platform/linux/ProcessTable.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

TEST(ProcessTable, StatusGivesThreadGroupAndEffectiveUser)
{
    const auto parsed = ProcessTable::parseStatus("Name:\tx\nTgid:\t812\nPid:\t813\nUid:\t1000\t33\t33\t33\nGid:\t1\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->threadGroupID, 812);
    EXPECT_EQ(parsed->effectiveUserID, 33u);
    EXPECT_EQ(ProcessTable::parseStatus("Tgid:\t1\nUid:\t0\t4294967294\t0\t0")->effectiveUserID, 4294967294u);
    for (const char* status : {"", "Tgid:\t812\n", "Uid:\t0\t0\t0\t0\n", "Tgid:\t812\nUid:\t1000\n", "Tgid:\tx\nUid:\t0\t0\n",
             "Tgid:\t0\nUid:\t0\t0\n", "Tgid:\t1\nUid:\t0\t4294967296\n", "NoTgid:\t1\nUid:\t0\t0\n"})
        EXPECT_FALSE(ProcessTable::parseStatus(status)) << status;
}

TEST(ProcessTable, RunningMachineHasThisProcessButNotItsThread)
{
    QFile comm(QStringLiteral("/proc/self/comm"));
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    const ProcessRecord self {{qint32(getpid()), comm.readAll().trimmed()}, geteuid()};

    const ProcessTable table;
    const std::optional<std::vector<ProcessName>> processes = table.processes();
    ASSERT_TRUE(processes);
    EXPECT_NE(std::find(processes->begin(), processes->end(), ProcessName(self)), processes->end());
    EXPECT_EQ(table.process(self.processID), self);

    std::promise<pid_t> threadID;
    std::promise<void> done;
    std::thread worker([&] {
        threadID.set_value(pid_t(syscall(SYS_gettid)));
        done.get_future().wait();
    });
    const pid_t thread = threadID.get_future().get();
    EXPECT_FALSE(table.process(thread));
    done.set_value();
    worker.join();
}
