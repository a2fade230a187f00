// A stand-in for NVIDIA's management library: the entry points Vistrel
// calls, answering values and errors a test sets through the standin_*
// functions. Built as libnvidia-ml.so.1 so the real loading path finds it.
#include <cstring>

namespace {

constexpr int Success = 0;
constexpr int Uninitialized = 1;
constexpr int InvalidArgument = 2;
constexpr int MaximumDevices = 4;

struct Device {
    const char* name;
    unsigned int pciDeviceId;
    const char* busId;
    unsigned int utilization;
    unsigned long long total;
    unsigned long long used;
    int error;
};

struct State {
    int initError = Success;
    int initCalls = 0;
    bool initialised = false;
    unsigned int count = 1;
    Device devices[MaximumDevices] = {
        {"NVIDIA H100 80GB HBM3", 0x233010de, "00000000:1B:00.0", 37, 85520809984ull, 2147483648ull, Success},
        {"NVIDIA A100-SXM4-40GB", 0x20b010de, "00000000:41:00.0", 0, 42949672960ull, 0, Success},
        {"NVIDIA L4", 0x27b810de, "00000000:81:00.0", 5, 24152899584ull, 1073741824ull, Success},
        {"NVIDIA T4", 0x1eb810de, "00000000:C1:00.0", 1, 16106127360ull, 536870912ull, Success},
    };
};

State state;

struct PciInfo {
    char busIdLegacy[16];
    unsigned int domain;
    unsigned int bus;
    unsigned int device;
    unsigned int pciDeviceId;
    unsigned int pciSubSystemId;
    char busId[32];
};
struct Utilization {
    unsigned int gpu;
    unsigned int memory;
};
struct Memory {
    unsigned long long total;
    unsigned long long free;
    unsigned long long used;
};

// The device behind a handle, or the error to answer.
int deviceOf(void* handle, Device** device)
{
    if (!state.initialised)
        return Uninitialized;
    *device = static_cast<Device*>(handle);
    if (*device < state.devices || *device >= state.devices + MaximumDevices)
        return InvalidArgument;
    return (*device)->error;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void standin_reset()
{
    state = State();
}
__attribute__((visibility("default"))) void standin_set_count(unsigned int count)
{
    state.count = count < MaximumDevices ? count : MaximumDevices;
}
__attribute__((visibility("default"))) void standin_set_init_error(int error)
{
    state.initError = error;
}
__attribute__((visibility("default"))) int standin_init_calls()
{
    return state.initCalls;
}
__attribute__((visibility("default"))) void standin_set_device(unsigned int index, unsigned int utilization,
    unsigned long long used, unsigned long long total)
{
    state.devices[index] = Device {state.devices[index].name, state.devices[index].pciDeviceId,
        state.devices[index].busId, utilization, total, used, state.devices[index].error};
}
__attribute__((visibility("default"))) void standin_set_error(unsigned int index, int error)
{
    state.devices[index].error = error;
}

__attribute__((visibility("default"))) int nvmlInit_v2()
{
    ++state.initCalls;
    state.initialised = state.initError == Success;
    return state.initError;
}
__attribute__((visibility("default"))) int nvmlShutdown()
{
    state.initialised = false;
    return Success;
}
__attribute__((visibility("default"))) int nvmlDeviceGetCount_v2(unsigned int* count)
{
    if (!state.initialised)
        return Uninitialized;
    *count = state.count;
    return Success;
}
__attribute__((visibility("default"))) int nvmlDeviceGetHandleByIndex_v2(unsigned int index, void** handle)
{
    if (!state.initialised)
        return Uninitialized;
    if (index >= state.count)
        return InvalidArgument;
    if (state.devices[index].error != Success)
        return state.devices[index].error;
    *handle = &state.devices[index];
    return Success;
}
__attribute__((visibility("default"))) int nvmlDeviceGetName(void* handle, char* name, unsigned int length)
{
    Device* device = nullptr;
    if (const int error = deviceOf(handle, &device))
        return error;
    std::strncpy(name, device->name, length);
    return Success;
}
__attribute__((visibility("default"))) int nvmlDeviceGetPciInfo_v3(void* handle, PciInfo* pci)
{
    Device* device = nullptr;
    if (const int error = deviceOf(handle, &device))
        return error;
    std::memset(pci, 0, sizeof *pci);
    pci->pciDeviceId = device->pciDeviceId;
    std::strncpy(pci->busId, device->busId, sizeof pci->busId - 1);
    return Success;
}
__attribute__((visibility("default"))) int nvmlDeviceGetUtilizationRates(void* handle, Utilization* rates)
{
    Device* device = nullptr;
    if (const int error = deviceOf(handle, &device))
        return error;
    rates->gpu = device->utilization;
    rates->memory = 0;
    return Success;
}
__attribute__((visibility("default"))) int nvmlDeviceGetMemoryInfo(void* handle, Memory* memory)
{
    Device* device = nullptr;
    if (const int error = deviceOf(handle, &device))
        return error;
    *memory = Memory {device->total, device->total - device->used, device->used};
    return Success;
}

} // extern "C"
