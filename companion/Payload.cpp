#include "Payload.h"

#include "KeyedArchiveWriter.h"

namespace {

using UID = KeyedArchiveWriter::UID;

std::vector<std::string> recordClass(const char* name)
{
    return {name, "VLPTransferEntry", "NSObject"};
}

UID record(KeyedArchiveWriter& writer, const char* name)
{
    const UID uid = writer.object(recordClass(name));
    writer.setInteger("Version", 1);
    return uid;
}

UID fanEntry(KeyedArchiveWriter& writer, const FanReading& fan)
{
    const UID name = writer.string(fan.name);
    const UID uid = record(writer, "VLPFanEntry");
    writer.setReference("LocalizedName", name);
    writer.setDouble("RPMValue", fan.rpm);
    writer.setDouble("SpecifiedRPM", fan.maximumRPM);
    return uid;
}

UID powerEntry(KeyedArchiveWriter& writer, const std::string& label, Quantity quantity, double value,
    double specified, const std::string& unitText)
{
    const UID name = writer.string(label);
    const UID unit = writer.string(unitText);
    const UID uid = record(writer, "VLPPowerGadgetEntry");
    writer.setReference("Name", name);
    writer.setInteger("Quantity", std::uint64_t(quantity));
    writer.setDouble("Value", value);
    writer.setDouble("SpecifiedValue", specified);
    writer.setReference("Unit", unit);
    return uid;
}

UID sensorEntry(KeyedArchiveWriter& writer, const SensorReading& sensor)
{
    const UID name = writer.string(sensor.name);
    std::vector<std::pair<UID, UID>> properties;
    if (sensor.minimum)
        properties.emplace_back(writer.string("RangeMinimum"), writer.number(*sensor.minimum));
    const UID propertyDictionary = writer.dictionary(properties);
    const UID uid = record(writer, "VLPAppleSiliconSensorEntry");
    writer.setReference("Name", name);
    writer.setReference("Properties", propertyDictionary);
    writer.setInteger("Quantity", std::uint64_t(sensor.quantity));
    writer.setDouble("Value", sensor.value);
    return uid;
}

UID processEntry(KeyedArchiveWriter& writer, const ProcessReading& process)
{
    const UID name = writer.string(process.name);
    const UID uid = record(writer, "VLPProcessEntry");
    writer.setReference("Name", name);
    writer.setDouble("CPUUsage", process.cpuUsage);
    writer.setDouble("MemoryUsage", process.memoryUsage);
    writer.setInteger("RealMemory", process.residentBytes);
    return uid;
}

UID sensorRecord(KeyedArchiveWriter& writer, const MachineReadings& readings)
{
    const HardwareReadings& hardware = readings.hardware;
    std::vector<UID> fans, power, sensors;
    for (const FanReading& fan : hardware.fans)
        fans.push_back(fanEntry(writer, fan));
    for (const PowerReading& reading : readings.power)
        power.push_back(powerEntry(writer, reading.name + " power", Quantity::Power, reading.watts, reading.limitWatts, "W"));
    if (readings.frequency)
        power.push_back(powerEntry(writer, "Processor frequency", Quantity::Frequency, readings.frequency->averageMHz,
            readings.frequency->maximumMHz, "MHz"));
    if (hardware.packageCelsius)
        power.push_back(powerEntry(writer, "Package temperature", Quantity::Temperature, *hardware.packageCelsius, 0, "°C"));
    for (const SensorReading& sensor : hardware.sensors)
        sensors.push_back(sensorEntry(writer, sensor));

    const UID key = writer.string(hardware.packageKey);
    const UID fanList = writer.array(fans);
    const UID powerList = writer.array(power);
    const UID sensorList = writer.array(sensors);
    const UID uid = record(writer, "VLPSensorInstrumentEntry");
    // Package power is "available" with a RAPL domain, "enabled" when its
    // counter can be read: Vistrel tells the user how to grant that.
    writer.setBool("HasPowerGadget", readings.hasPackagePower);
    writer.setBool("HasAppleSiliconMonitor", !sensors.empty());
    writer.setBool("PowerGadget", readings.hasPackagePower && readings.canReadPackagePower);
    writer.setBool("AppleSiliconMonitor", !sensors.empty());
    writer.setDouble("MainTemperature", hardware.packageCelsius.value_or(0));
    writer.setReference("MainAccessKey", key);
    writer.setReference("FanEntries", fanList);
    writer.setReference("PowerGadgetEntries", powerList);
    writer.setReference("AppleSiliconSensorEntries", sensorList);
    return uid;
}

UID processRecord(KeyedArchiveWriter& writer, const TopProcessLists& lists)
{
    std::vector<UID> byProcessor, byMemory;
    for (const ProcessReading& process : lists.byProcessor)
        byProcessor.push_back(processEntry(writer, process));
    for (const ProcessReading& process : lists.byMemory)
        byMemory.push_back(processEntry(writer, process));
    const UID processorList = writer.array(byProcessor);
    const UID memoryList = writer.array(byMemory);
    const UID uid = record(writer, "VLPProcessInstrumentEntry");
    writer.setReference("Top5CPU", processorList);
    writer.setReference("Top5Memory", memoryList);
    return uid;
}

}

std::string archivePayload(const MachineReadings& readings)
{
    KeyedArchiveWriter writer;
    const UID sensors = sensorRecord(writer, readings);
    const UID processes = processRecord(writer, readings.processes);
    const UID root = writer.dictionary({
        {writer.string("VLPSensorInstrumentEntry"), sensors},
        {writer.string("VLPProcessInstrumentEntry"), processes},
    });
    return writer.finish(root);
}
