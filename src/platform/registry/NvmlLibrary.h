#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

// NVIDIA's management library, loaded when first asked for and kept for the
// life of the process: no build dependency, and a machine without it simply
// has no NVIDIA devices. Initialised once; a device that reports itself lost
// (fallen off the bus, driver reloaded under it) answers nothing from then
// on while the others go on.
class NvmlLibrary {
public:
    struct Device {
        quint32 index = 0;
        QString name;
        quint32 vendorID = 0;
        quint32 deviceID = 0;
        // "00000000:01:00.0": names the device across driver reloads.
        QString busID;
    };
    struct Utilization {
        quint32 gpu = 0; // percent
    };
    struct Memory {
        quint64 total = 0;
        quint64 used = 0;
    };

    // The library by that file name (searched as dlopen searches) or path.
    explicit NvmlLibrary(QString fileName = QStringLiteral("libnvidia-ml.so.1"));
    ~NvmlLibrary();
    NvmlLibrary(const NvmlLibrary&) = delete;
    NvmlLibrary& operator=(const NvmlLibrary&) = delete;

    // Loads and initialises on the first call; false (one info line) when
    // the library is missing, lacks an entry point or fails to initialise.
    bool isAvailable();
    // The devices that answer now, lost ones left out; kept until the next call.
    const std::vector<Device>& devices();
    // The device of that index as the last devices() found it; null when it
    // was not found then or is lost now.
    const Device* device(quint32 index) const;
    bool isLost(quint32 index) const;
    // None when the device is lost or does not answer.
    std::optional<Utilization> utilization(quint32 index);
    std::optional<Memory> memory(quint32 index);

private:
    struct Functions;
    bool load();
    void* handleAt(quint32 index);
    // Marks the device lost when the result says so; true on success.
    bool succeeded(quint32 index, int result);

    QString m_fileName;
    bool m_tried = false;
    void* m_library = nullptr;
    Functions* m_functions = nullptr;
    std::vector<void*> m_handles; // by index; null until asked for
    std::vector<bool> m_lost;
    std::vector<Device> m_devices;
};
