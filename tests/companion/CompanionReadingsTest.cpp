#include "HardwareSensors.h"
#include "PackagePower.h"
#include "PipeServer.h"
#include "TopProcesses.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const std::string Fixture = VISTREL_FIXTURES "/plus-sensors";

const SensorReading* sensorNamed(const HardwareReadings& readings, const std::string& name)
{
    for (const SensorReading& sensor : readings.sensors)
        if (sensor.name == name)
            return &sensor;
    return nullptr;
}

}

TEST(CompanionReadings, HwmonChannelsInTheirRecordUnitsAndThePackageTemperature)
{
    const SystemFiles files(Fixture);
    const HardwareReadings readings = HardwareSensors(files).read();
    ASSERT_TRUE(readings.packageCelsius);
    EXPECT_DOUBLE_EQ(*readings.packageCelsius, 54.0);
    EXPECT_EQ(readings.packageKey, "hwmon0/temp1_input (coretemp Package id 0)");

    const SensorReading* vcore = sensorNamed(readings, "nct6798 Vcore");
    ASSERT_TRUE(vcore);
    EXPECT_EQ(vcore->quantity, Quantity::Voltage);
    EXPECT_DOUBLE_EQ(vcore->value, 1212);  // millivolts as the kernel gives them
    EXPECT_EQ(vcore->minimum, 800);
    const SensorReading* power = sensorNamed(readings, "nct6798 CPU power");
    ASSERT_TRUE(power);
    EXPECT_DOUBLE_EQ(power->value, 17250);  // microwatts to milliwatts
    const SensorReading* current = sensorNamed(readings, "nct6798 curr1");  // no label: the channel's name
    ASSERT_TRUE(current);
    EXPECT_EQ(current->quantity, Quantity::Current);
    // Channels sort by number, not by name (temp10 after temp2), and an
    // empty reading is left out.
    std::vector<std::string> coretemp;
    for (const SensorReading& sensor : readings.sensors)
        if (sensor.name.rfind("coretemp", 0) == 0)
            coretemp.push_back(sensor.name);
    EXPECT_EQ(coretemp, (std::vector<std::string> {"coretemp Package id 0", "coretemp Core 0", "coretemp Core 8"}));
    EXPECT_FALSE(sensorNamed(readings, "nct6798 temp2"));

    ASSERT_EQ(readings.fans.size(), 2u);
    EXPECT_EQ(readings.fans[0].name, "CPU fan");
    EXPECT_DOUBLE_EQ(readings.fans[0].rpm, 1180);
    EXPECT_DOUBLE_EQ(readings.fans[0].maximumRPM, 2400);
    EXPECT_EQ(readings.fans[1].name, "nct6798 fan 2");
    EXPECT_DOUBLE_EQ(readings.fans[1].maximumRPM, 0);
}

TEST(CompanionReadings, PackageTemperatureFallsBackToK10tempAndThermalZones)
{
    QTemporaryDir root;
    const auto write = [&](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(root.filePath(path)).path());
        QFile file(root.filePath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("sys/class/thermal/thermal_zone0/type", "acpitz\n");
    write("sys/class/thermal/thermal_zone0/temp", "71000\n");
    write("sys/class/thermal/thermal_zone1/type", "x86_pkg_temp\n");
    write("sys/class/thermal/thermal_zone1/temp", "63000\n");
    const SystemFiles files(root.path().toStdString());
    HardwareReadings readings = HardwareSensors(files).read();
    EXPECT_EQ(readings.packageCelsius, 63.0);  // the package zone, though another is hotter
    EXPECT_EQ(readings.packageKey, "thermal_zone1");

    write("sys/class/hwmon/hwmon3/name", "k10temp\n");
    write("sys/class/hwmon/hwmon3/temp1_input", "80000\n");
    write("sys/class/hwmon/hwmon3/temp1_label", "Tctl\n");
    write("sys/class/hwmon/hwmon3/temp2_input", "70000\n");
    write("sys/class/hwmon/hwmon3/temp2_label", "Tdie\n");
    readings = HardwareSensors(files).read();
    EXPECT_EQ(readings.packageCelsius, 70.0);  // Tdie wins over Tctl, which carries an offset
}

TEST(CompanionReadings, PackagePowerAcrossTheCounterWrapAndFrequency)
{
    EXPECT_EQ(wattsBetween({1'000'000, 10.0}, {3'000'000, 11.0}, 0), 2.0);
    // 262143328850 is a common RAPL range: 1.5 J before the wrap, 0.5 J after.
    EXPECT_EQ(wattsBetween({262'141'828'850, 0.0}, {500'000, 0.5}, 262'143'328'850), 4.0);
    EXPECT_FALSE(wattsBetween({5, 1.0}, {4, 2.0}, 0));  // backwards without a known range
    EXPECT_FALSE(wattsBetween({1, 1.0}, {2, 1.0}, 10));  // no time passed

    QTemporaryDir root;
    ASSERT_TRUE(QDir().mkpath(root.filePath("sys/class/powercap/intel-rapl:0")));
    const auto energy = [&](const char* microjoules) {
        QFile file(root.filePath("sys/class/powercap/intel-rapl:0/energy_uj"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(microjoules);
    };
    const SystemFiles files(root.path().toStdString());
    PackagePower power(files);
    energy("1000000\n");
    EXPECT_TRUE(power.readPower(100.0).empty());  // one reading is no difference yet
    energy("4000000\n");
    const std::vector<PowerReading> readings = power.readPower(102.0);
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_EQ(readings[0].name, "intel-rapl:0");  // no name file
    EXPECT_DOUBLE_EQ(readings[0].watts, 1.5);

    const SystemFiles fixture(Fixture);
    const std::optional<FrequencyReading> frequency = PackagePower(fixture).readFrequency();
    ASSERT_TRUE(frequency);
    EXPECT_DOUBLE_EQ(frequency->averageMHz, 2000);
    EXPECT_DOUBLE_EQ(frequency->maximumMHz, 4800);
}

TEST(CompanionReadings, TopProcessesByMemoryAndByProcessorTimeBetweenReadings)
{
    const auto stat = TopProcesses::parseStat("977 (a) b (c)) R 1 977 977 0 -1 4194560 1 1 0 0 10 20 0 0 20 0 1 0 5 9 100 1");
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->name, "a) b (c)");
    EXPECT_EQ(stat->processorTicks, 30u);
    EXPECT_EQ(stat->residentPages, 100u);
    EXPECT_FALSE(TopProcesses::parseStat("12 (short) S 1 2 3"));
    EXPECT_FALSE(TopProcesses::parseStat("no parentheses"));

    QTemporaryDir root;
    const auto write = [&](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(root.filePath(path)).path());
        QFile file(root.filePath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    const auto process = [&](int pid, const char* name, int ticks, int pages) {
        write(QStringLiteral("proc/%1/stat").arg(pid),
            QStringLiteral("%1 (%2) S 1 1 1 0 -1 0 0 0 0 0 %3 0 0 0 20 0 1 0 5 1 %4 1\n").arg(pid).arg(QLatin1String(name)).arg(ticks).arg(pages).toLatin1());
    };
    write("proc/meminfo", "MemTotal: 1000 kB\n");
    for (int pid = 1; pid <= 7; ++pid)
        process(pid, "idle", 100, pid);
    const SystemFiles files(root.path().toStdString());
    TopProcesses top(files);
    top.read(50.0);
    process(3, "busy", 100 + 2 * int(::sysconf(_SC_CLK_TCK)), 3);  // two seconds of processor time
    process(6, "half", 100 + int(::sysconf(_SC_CLK_TCK)) / 2, 6);
    process(8, "new", int(::sysconf(_SC_CLK_TCK)), 1);  // started since, busy for one second
    const TopProcessLists lists = top.read(52.0);
    ASSERT_EQ(lists.byProcessor.size(), TopProcesses::ListLength);
    EXPECT_EQ(lists.byProcessor[0].name, "busy");
    EXPECT_DOUBLE_EQ(lists.byProcessor[0].cpuUsage, 1.0);  // over two seconds
    EXPECT_EQ(lists.byProcessor[1].name, "new");
    EXPECT_DOUBLE_EQ(lists.byProcessor[1].cpuUsage, 0.5);
    EXPECT_EQ(lists.byProcessor[2].name, "half");
    EXPECT_DOUBLE_EQ(lists.byProcessor[2].cpuUsage, 0.25);
    ASSERT_EQ(lists.byMemory.size(), TopProcesses::ListLength);
    EXPECT_EQ(lists.byMemory[0].processID, 7);
    EXPECT_EQ(lists.byMemory[0].residentBytes, 7u * std::uint64_t(::sysconf(_SC_PAGESIZE)));
    EXPECT_DOUBLE_EQ(lists.byMemory[0].memoryUsage, 7.0 * double(::sysconf(_SC_PAGESIZE)) / 1'024'000.0);
}

TEST(CompanionRequests, OnlyALetterAndAPlainProcessNumberMakeARequest)
{
    char kind = 0;
    EXPECT_EQ(PipeServer::parseRequest("c4711", 5, &kind), 4711);
    EXPECT_EQ(kind, 'c');
    EXPECT_EQ(PipeServer::parseRequest("d1", 2, &kind), 1);
    EXPECT_EQ(kind, 'd');
    for (const char* bad : {"c", "x12", "c-1", "c+1", "c012", "c12a", "c 12", "c99999999999", "c2147483648", ""})
        EXPECT_EQ(PipeServer::parseRequest(bad, std::strlen(bad), &kind), 0) << bad;
    EXPECT_EQ(PipeServer::frame("1.0", "7", 2, "xyz"), "+++VistrelPlus+++V1.0B7S2[3]xyz");
}
