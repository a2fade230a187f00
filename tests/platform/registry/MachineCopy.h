#pragma once

#include "platform/registry/LinuxRegistry.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

// A writable copy of a fixture machine, links kept as links.
class MachineCopy {
public:
    explicit MachineCopy(const char* machine)
    {
        std::filesystem::copy((QStringLiteral(VISTREL_FIXTURES "/") + QLatin1String(machine)).toStdString(), root().toStdString(),
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    }
    QString root() const { return m_directory.path() + QStringLiteral("/machine"); }
    std::string path(const char* relative) const { return (root() + u'/' + QLatin1String(relative)).toStdString(); }
    void write(const char* relative, const char* text) const { std::ofstream(path(relative)) << text; }

private:
    QTemporaryDir m_directory;
};

// The Linux registry over a copy of a fixture machine is the process's
// registry for the life of a test.
class InstalledMachine : public MachineCopy {
public:
    explicit InstalledMachine(const char* machine)
        : MachineCopy(machine)
    {
        Registry::setShared(std::make_unique<LinuxRegistry>(root()));
    }
    ~InstalledMachine() { Registry::setShared(nullptr); }
    InstalledMachine(const InstalledMachine&) = delete;
    InstalledMachine& operator=(const InstalledMachine&) = delete;
};
