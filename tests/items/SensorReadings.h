#pragma once

#include "extension/QRNExtendableSensorInstrument.h"
#include "extension/TransferPayload.h"

#include "HardwareSensors.h"
#include "PackagePower.h"
#include "Payload.h"

#include <QString>

#include <memory>

// What the app extension would send for a machine: its own readers run on
// the fixture tree and their block is decoded as Vistrel decodes it.
inline std::optional<QVariantMap> sensorDataSetOf(const QString& sysroot)
{
    const SystemFiles files(sysroot.toStdString());
    MachineReadings readings;
    readings.hardware = HardwareSensors(files).read();
    PackagePower power(files);
    readings.frequency = power.readFrequency();
    readings.hasPackagePower = power.hasDomains();
    readings.canReadPackagePower = true;
    const std::string payload = archivePayload(readings);
    return TransferPayload::decode(QByteArrayView(payload.data(), qsizetype(payload.size())));
}

// A session the test steers: connected or not, with the data set it holds.
struct SteeredSession {
    bool connected = true;
    std::optional<QVariantMap> dataSet;
    int thermalState = 0;

    std::shared_ptr<QRNExtendableSensorInstrument> instrument()
    {
        return std::make_shared<QRNExtendableSensorInstrument>(
            QRNExtendableSensorInstrument::Session {[this] { return connected; }, [this] { return dataSet; }},
            [this] { return thermalState; });
    }
};
