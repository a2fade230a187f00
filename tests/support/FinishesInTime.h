#pragma once

#include <chrono>
#include <functional>

#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Runs the work in a child process and answers whether it ended normally
// within the time; one that hangs (on a FIFO, say) is killed, so a test of a
// hang fails instead of hanging itself. The work must not need the parent's
// threads: the child has only the forking one.
inline bool finishesInTime(const std::function<void()>& work, std::chrono::milliseconds timeout)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        work();
        _exit(0);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
