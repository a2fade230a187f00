#include "extension/SessionFixture.h"

#include "TopProcesses.h"
#include "app/SamplingScheduler.h"
#include "configuration/TopProcessesSwitch.h"
#include "items/ProcessRowsInMenu.h"
#include "items/QRNCPUMonitorItem.h"
#include "items/QRNMemoryMonitorItem.h"
#include "settings/QRNHostUserDefaults.h"
#include "support/CDP.h"
#include "support/QStringPrinter.h"
#include "support/ScopedLocale.h"
#include "support/ScopedStatusBar.h"

#include <QCheckBox>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <iostream>
#include <list>

namespace {

QStringList namesOf(const QStringList& rows)
{
    QStringList names;
    for (const QString& row : rows)
        names << row.section(u'\t', 0, 0);
    return names;
}

// Vistrel Plus on this machine's own /proc, started and read by a real
// session at its own pace of one reading a second.
class BusiestProcessesTest : public SessionTest {
protected:
    BusiestProcessesTest() { sysroot = QStringLiteral("/"); }
    void SetUp() override
    {
        SessionTest::SetUp();
        session.setLaunchArguments({}, QProcessEnvironment::systemEnvironment());
        UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0);
    }
    void TearDown() override
    {
        for (QProcess& process : processes) {
            process.kill();
            process.waitForFinished();
        }
        UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode());
        SessionTest::TearDown();
    }
    void connectToCompanion()
    {
        QRNHostUserDefaults::setBool(true, SettingName::UseAppExtension);
        session.updateAppExtensionAvailability();
        ASSERT_TRUE(waitUntilReceiving());
    }
    QProcess& startBusyProcess(const QStringList& arguments)
    {
        QProcess& process = processes.emplace_back();
        process.start(QStringLiteral(VISTREL_BUSY_PROCESS), arguments);
        EXPECT_TRUE(process.waitForStarted()) << qPrintable(arguments.join(u' '));
        return process;
    }

    ScopedStatusBar bar;
    ScopedLocale english {QLocale(QLocale::English, QLocale::UnitedStates)};
    std::list<QProcess> processes;
};

} // namespace

// Two processes that keep a processor busy lead the processor menu, and
// one that holds more memory than any other leads the memory menu, each
// within three seconds, on the items' one-second ticks.
TEST_F(BusiestProcessesTest, ProcessesStartedNowLeadTheMenusWithinThreeSeconds)
{
    SamplingScheduler scheduler;
    auto& processor = static_cast<QRNCPUMonitorItem&>(
        scheduler.add(QRNCPUMonitorItem::create(QRNCPUMonitorItem::defaultCellConfiguration()), 1.0));
    auto& memory = static_cast<QRNMemoryMonitorItem&>(
        scheduler.add(QRNMemoryMonitorItem::create(QRNMemoryMonitorItem::defaultCellConfiguration()), 1.0));
    processor.handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowTopProcesses"), true);
    memory.handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowTopProcesses"), true);
    EXPECT_EQ(processRowsInMenu(processor), QStringList(5, QStringLiteral("-No data-\t-No data- [struck]")));
    connectToCompanion();

    const QStringList busy {QStringLiteral("vistrel-busy-a"), QStringLiteral("vistrel-busy-b")};
    for (const QString& name : busy)
        startBusyProcess({name, QStringLiteral("spin")});
    QElapsedTimer clock;
    clock.start();
    QStringList rows;
    const bool busyLead = waitFor([&] {
        rows = processRowsInMenu(processor);
        QStringList leading = namesOf(rows.mid(0, 2));
        leading.sort();
        return leading == busy;
    }, 3.0);
    EXPECT_TRUE(busyLead) << qPrintable(rows.join(u'\n'));
    std::cout << "busy processes led the processor menu after " << clock.elapsed() << " ms\n";
    const QRegularExpression percentage(QStringLiteral("^\t *\\d+(\\.\\d)?%$"));
    for (const QString& row : rows.mid(0, 2))
        EXPECT_TRUE(percentage.match(row.mid(row.indexOf(u'\t'))).hasMatch()) << qPrintable(row);

    // 200 MB, or more than twice the largest process now (compilers running
    // beside the test may hold more), touched so that it is resident.
    const quint64 largest = TopProcesses(SystemFiles("/")).read(0).byMemory.front().residentBytes;
    const quint64 megabytes = std::max<quint64>(200, 2 * (largest >> 20));
    QProcess& holder = startBusyProcess({QStringLiteral("vistrel-holder"), QStringLiteral("hold"), QString::number(megabytes)});
    ASSERT_TRUE(holder.waitForReadyRead(30000));
    clock.restart();
    const bool holderLeads = waitFor([&] {
        rows = processRowsInMenu(memory);
        return !rows.isEmpty() && rows.front().startsWith(QLatin1String("vistrel-holder\t"));
    }, 3.0);
    EXPECT_TRUE(holderLeads) << megabytes << " MB\n" << qPrintable(rows.join(u'\n'));
    std::cout << "a process holding " << megabytes << " MB led the memory menu after " << clock.elapsed() << " ms\n";

    // As a size, it is what it holds (a little more: its program and
    // libraries) once a reading after the allocation arrived.
    memory.handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowMemoryBySize"), true);
    const QRegularExpression sizeText(QStringLiteral("^vistrel-holder\t([\\d.]+) (MB|GB)$"));
    double shownMegabytes = 0;
    EXPECT_TRUE(waitFor([&] {
        const QRegularExpressionMatch size = sizeText.match(processRowsInMenu(memory).value(0));
        shownMegabytes = size.captured(1).toDouble() * (size.captured(2) == QLatin1String("GB") ? 1024 : 1);
        return shownMegabytes >= double(megabytes);
    }, 3.0)) << shownMegabytes << " MB shown";
    EXPECT_LT(shownMegabytes, double(megabytes) * 1.2 + 64);
}

// The switch of the process rows can be used only while the companion is
// connected, and each change tells the companion whether the lists are wanted.
TEST_F(BusiestProcessesTest, TheSwitchFollowsTheConnectionAndTellsTheCompanion)
{
    const QString key = QStringLiteral("ProcessorTopic-ShowTopProcesses");
    UserDefaults::standardUserDefaults().removeObject(key, UserDefaults::Domain::Host);
    UserDefaults::standardUserDefaults().removeObject(QStringLiteral("MemoryTopic-ShowTopProcesses"), UserDefaults::Domain::Host);
    TopProcessesSwitch topProcesses;
    std::unique_ptr<QCheckBox> control(topProcesses.makeSwitch(key, [&key](bool on) { TopProcessesSwitch::store(on, key); }));
    EXPECT_FALSE(control->isEnabled());

    connectToCompanion();
    EXPECT_TRUE(control->isEnabled());
    control->click();
    EXPECT_TRUE(UserDefaults::standardUserDefaults().boolForKey(key));
    EXPECT_EQ(suite.objectForKey(QStringLiteral("ProcessMonitorActive")), QVariant(true));
    control->click();
    EXPECT_EQ(suite.objectForKey(QStringLiteral("ProcessMonitorActive")), QVariant(false));

    QRNHostUserDefaults::setBool(false, SettingName::UseAppExtension);
    session.updateAppExtensionAvailability();
    EXPECT_FALSE(control->isEnabled());
    UserDefaults::standardUserDefaults().removeObject(key, UserDefaults::Domain::Host);
}
