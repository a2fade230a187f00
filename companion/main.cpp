// vistrel-plus: serves hardware sensors, package power and the busiest
// processes to Vistrel over named pipes, as the user who runs it.
#include "CompanionLog.h"
#include "HardwareSensors.h"
#include "PackagePower.h"
#include "Payload.h"
#include "PipeFolder.h"
#include "PipeServer.h"
#include "SystemFiles.h"
#include "TopProcesses.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

int stopPipe[2] = {-1, -1};

void requestStop(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(stopPipe[1], &byte, 1);
}

double monotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Status 1 when our executable was removed, 2 when another file took its
// place (an update): Vistrel then lets go and asks the user to reconnect.
int installationStatus(const std::string& executable)
{
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target - 1);
    if (length <= 0)
        return 0;
    const std::string path(target, std::size_t(length));
    const std::string deleted = " (deleted)";
    if (path.size() <= deleted.size() || path.compare(path.size() - deleted.size(), deleted.size(), deleted) != 0)
        return 0;
    return ::access(executable.c_str(), X_OK) == 0 ? 2 : 1;
}

int usage()
{
    std::fputs("usage: vistrel-plus [--interval-ms N] [--version]\n"
               "Reads /sys and /proc below $VISTREL_SYSROOT (default /).\n", stderr);
    return 2;
}

}

int main(int argc, char** argv)
{
    long interval = 1000;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--version") {
            std::printf("vistrel-plus %s (build %s)\n", VISTREL_PLUS_VERSION, VISTREL_PLUS_BUILD);
            return 0;
        }
        if (argument == "--interval-ms" && index + 1 < argc) {
            interval = std::strtol(argv[++index], nullptr, 10);
            if (interval < 10 || interval > 60000)
                return usage();
            continue;
        }
        return usage();
    }

    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return 1;
    struct sigaction action {};
    action.sa_handler = requestStop;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    const std::string folder = pipeFolderPath();
    if (folder.empty()) {
        companionLog("neither XDG_RUNTIME_DIR nor HOME is set; nowhere to put the pipes");
        return 1;
    }
    char executable[4096] = {};
    [[maybe_unused]] const ssize_t executableLength = ::readlink("/proc/self/exe", executable, sizeof executable - 1);

    // Vistrel takes a request pipe no newer than our start as left over from
    // an earlier run; start times are known to a clock tick, so wait a few.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    PipeServer server(folder, VISTREL_PLUS_VERSION, VISTREL_PLUS_BUILD);
    if (!server.prepare())
        return 1;
    companionLog("serving in %s", folder.c_str());

    const SystemFiles files;
    HardwareSensors sensors(files);
    PackagePower power(files);
    TopProcesses processes(files);
    bool reportedUnreadableEnergy = false;
    server.run(
        [&] {
            const double now = monotonicSeconds();
            MachineReadings readings;
            readings.hardware = sensors.read();
            readings.power = power.readPower(now);
            readings.frequency = power.readFrequency();
            readings.hasPackagePower = power.hasDomains();
            readings.canReadPackagePower = !power.isEnergyUnreadable();
            readings.processes = processes.read(now);
            if (power.isEnergyUnreadable() && !reportedUnreadableEnergy) {
                companionLog("package power is not available: the RAPL energy counters "
                             "(/sys/class/powercap/intel-rapl:*/energy_uj) are readable by root only; "
                             "see \"Vistrel Plus\" in the README for how to grant read access");
                reportedUnreadableEnergy = true;
            }
            return PipeServer::Block {archivePayload(readings), installationStatus(executable)};
        },
        std::chrono::milliseconds(interval), stopPipe[0]);
    companionLog("stopped");
    return 0;
}
