#include "platform/registry/NvmlLibrary.h"

#include "platform/log/Log.h"

#include <dlfcn.h>

namespace {

// The few types and results of the library's C interface that are used here.
using nvmlReturn_t = int;
using nvmlDevice_t = void*;
constexpr nvmlReturn_t NVML_SUCCESS = 0;
constexpr nvmlReturn_t NVML_ERROR_GPU_IS_LOST = 15;
constexpr unsigned int NameBufferSize = 96;

struct nvmlPciInfo_t {
    char busIdLegacy[16];
    unsigned int domain;
    unsigned int bus;
    unsigned int device;
    unsigned int pciDeviceId; // device id in the high half, vendor id in the low one
    unsigned int pciSubSystemId;
    char busId[32];
};
struct nvmlUtilization_t {
    unsigned int gpu;
    unsigned int memory;
};
struct nvmlMemory_t {
    unsigned long long total;
    unsigned long long free;
    unsigned long long used;
};

constexpr char ClassName[] = "NvmlLibrary";

} // namespace

struct NvmlLibrary::Functions {
    nvmlReturn_t (*init)();
    nvmlReturn_t (*count)(unsigned int*);
    nvmlReturn_t (*handleByIndex)(unsigned int, nvmlDevice_t*);
    nvmlReturn_t (*name)(nvmlDevice_t, char*, unsigned int);
    nvmlReturn_t (*pciInfo)(nvmlDevice_t, nvmlPciInfo_t*);
    nvmlReturn_t (*utilization)(nvmlDevice_t, nvmlUtilization_t*);
    nvmlReturn_t (*memory)(nvmlDevice_t, nvmlMemory_t*);
};

NvmlLibrary::NvmlLibrary(QString fileName)
    : m_fileName(std::move(fileName))
{
}

// The library stays loaded: its threads and handles may outlive any owner.
NvmlLibrary::~NvmlLibrary()
{
    delete m_functions;
}

bool NvmlLibrary::load()
{
    m_library = dlopen(m_fileName.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_library) {
        Log::info("%{public}@: no NVIDIA devices: %{public}@", {ClassName, QString::fromLocal8Bit(dlerror())});
        return false;
    }
    auto find = [this](const char* name) { return dlsym(m_library, name); };
    auto* functions = new Functions {
        reinterpret_cast<nvmlReturn_t (*)()>(find("nvmlInit_v2")),
        reinterpret_cast<nvmlReturn_t (*)(unsigned int*)>(find("nvmlDeviceGetCount_v2")),
        reinterpret_cast<nvmlReturn_t (*)(unsigned int, nvmlDevice_t*)>(find("nvmlDeviceGetHandleByIndex_v2")),
        reinterpret_cast<nvmlReturn_t (*)(nvmlDevice_t, char*, unsigned int)>(find("nvmlDeviceGetName")),
        reinterpret_cast<nvmlReturn_t (*)(nvmlDevice_t, nvmlPciInfo_t*)>(find("nvmlDeviceGetPciInfo_v3")),
        reinterpret_cast<nvmlReturn_t (*)(nvmlDevice_t, nvmlUtilization_t*)>(find("nvmlDeviceGetUtilizationRates")),
        reinterpret_cast<nvmlReturn_t (*)(nvmlDevice_t, nvmlMemory_t*)>(find("nvmlDeviceGetMemoryInfo")),
    };
    if (!functions->init || !functions->count || !functions->handleByIndex || !functions->name || !functions->pciInfo
        || !functions->utilization || !functions->memory) {
        Log::info("%{public}@: no NVIDIA devices: %{public}@ lacks an entry point.", {ClassName, m_fileName});
        delete functions;
        return false;
    }
    const nvmlReturn_t result = functions->init();
    if (result != NVML_SUCCESS) {
        Log::info("%{public}@: no NVIDIA devices: initialisation failed (%{public}d).", {ClassName, result});
        delete functions;
        return false;
    }
    m_functions = functions;
    return true;
}

bool NvmlLibrary::isAvailable()
{
    if (!m_tried) {
        m_tried = true;
        load();
    }
    return m_functions != nullptr;
}

bool NvmlLibrary::succeeded(quint32 index, int result)
{
    if (result == NVML_ERROR_GPU_IS_LOST && index < m_lost.size() && !m_lost[index]) {
        m_lost[index] = true;
        Log::notice("%{public}@: NVIDIA device %{public}u was lost; it is left out from now on.", {ClassName, index});
    }
    return result == NVML_SUCCESS;
}

bool NvmlLibrary::isLost(quint32 index) const
{
    return index < m_lost.size() && m_lost[index];
}

void* NvmlLibrary::handleAt(quint32 index)
{
    if (!isAvailable() || isLost(index))
        return nullptr;
    if (index >= m_handles.size()) {
        m_handles.resize(index + 1, nullptr);
        m_lost.resize(index + 1, false);
    }
    if (!m_handles[index]) {
        nvmlDevice_t handle = nullptr;
        if (succeeded(index, m_functions->handleByIndex(index, &handle)))
            m_handles[index] = handle;
    }
    return m_handles[index];
}

const NvmlLibrary::Device* NvmlLibrary::device(quint32 index) const
{
    if (isLost(index))
        return nullptr;
    for (const Device& known : m_devices) {
        if (known.index == index)
            return &known;
    }
    return nullptr;
}

const std::vector<NvmlLibrary::Device>& NvmlLibrary::devices()
{
    std::vector<Device>& found = m_devices;
    found.clear();
    unsigned int count = 0;
    if (!isAvailable() || m_functions->count(&count) != NVML_SUCCESS)
        return found;
    for (quint32 index = 0; index < count; ++index) {
        void* handle = handleAt(index);
        char name[NameBufferSize] = {};
        nvmlPciInfo_t pci {};
        if (!handle || !succeeded(index, m_functions->name(handle, name, NameBufferSize))
            || !succeeded(index, m_functions->pciInfo(handle, &pci)))
            continue;
        name[NameBufferSize - 1] = '\0';
        pci.busId[sizeof pci.busId - 1] = '\0';
        found.push_back(Device {index, QString::fromUtf8(name), pci.pciDeviceId & 0xffffu, pci.pciDeviceId >> 16,
            QString::fromLatin1(pci.busId)});
    }
    return found;
}

std::optional<NvmlLibrary::Utilization> NvmlLibrary::utilization(quint32 index)
{
    void* handle = handleAt(index);
    nvmlUtilization_t rates {};
    if (!handle || !succeeded(index, m_functions->utilization(handle, &rates)))
        return std::nullopt;
    return Utilization {rates.gpu};
}

std::optional<NvmlLibrary::Memory> NvmlLibrary::memory(quint32 index)
{
    void* handle = handleAt(index);
    nvmlMemory_t info {};
    if (!handle || !succeeded(index, m_functions->memory(handle, &info)))
        return std::nullopt;
    return Memory {info.total, info.used};
}
