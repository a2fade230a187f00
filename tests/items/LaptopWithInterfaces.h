#pragma once

#include "platform/registry/MachineCopy.h"
#include "support/ScopedEnvironmentVariable.h"

#include <filesystem>

// The laptop's two disks with the network interfaces of the network machine,
// installed as the process's registry and system root.
class LaptopWithInterfaces : public InstalledMachine {
public:
    LaptopWithInterfaces()
        : InstalledMachine("laptop")
        , m_root("VISTREL_SYSROOT", root().toLocal8Bit())
    {
        std::filesystem::create_directories(path("sys/class"));
        std::filesystem::copy(VISTREL_FIXTURES "/network/sys/class/net", path("sys/class/net"),
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    }

private:
    ScopedEnvironmentVariable m_root;
};
