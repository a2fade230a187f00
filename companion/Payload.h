#pragma once

#include "HardwareSensors.h"
#include "PackagePower.h"
#include "TopProcesses.h"

#include <optional>
#include <string>
#include <vector>

// Everything read from the machine for one transfer block.
struct MachineReadings {
    HardwareReadings hardware;
    std::vector<PowerReading> power;
    bool hasPackagePower = false;       // a RAPL domain exists
    bool canReadPackagePower = false;   // and this user may read its energy counter
    std::optional<FrequencyReading> frequency;
    TopProcessLists processes;
};

// The keyed archive of one block: a dictionary with a
// "VLPSensorInstrumentEntry" and a "VLPProcessInstrumentEntry".
std::string archivePayload(const MachineReadings& readings);
