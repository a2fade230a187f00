// A process under a name of the test's choosing that keeps one processor
// busy or holds memory, until it is killed:
//     vistrel_busy_process NAME spin
//     vistrel_busy_process NAME hold MEGABYTES
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::atomic<unsigned long> spins {0};

[[noreturn]] void spin()
{
    for (;;)
        spins.fetch_add(1, std::memory_order_relaxed);
}

// The scheduler shares the processors between sessions first and between the
// threads of a session second, so on a machine busy with other people's
// builds a spinning thread gets no more than any compiler. A session of its
// own with a raised priority makes it really the busiest, where permitted;
// elsewhere it stays as it is.
void standOut()
{
    ::setsid();
    std::ofstream("/proc/self/autogroup") << -5;
    ::setpriority(PRIO_PROCESS, 0, -5);
}

}

int main(int argc, char** argv)
{
    const std::string mode = argc > 2 ? argv[2] : "";
    if (argc == 3 && mode == "spin") {
        ::prctl(PR_SET_NAME, argv[1]);
        standOut();
        spin();
    }
    const long megabytes = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 0;
    if (mode != "hold" || megabytes <= 0) {
        std::fputs("usage: vistrel_busy_process NAME spin | NAME hold MEGABYTES\n", stderr);
        return 2;
    }
    ::prctl(PR_SET_NAME, argv[1]);
    const std::size_t size = std::size_t(megabytes) << 20;
    auto* memory = static_cast<char*>(std::malloc(size));
    if (!memory)
        return 1;
    // Touched, so that every page is resident.
    std::memset(memory, 0x5a, size);
    std::puts("holding");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
