#include "PipeFolder.h"

#include <cstdlib>

std::string pipeFolderPath()
{
    std::string base;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        base = runtime;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        base = std::string(home) + "/.local/share";
    else
        return {};
    return base + "/K7QW2ZL9XM.com.zentrovo.vistrel/com.zentrovo.system.VistrelPlus/PipeComm";
}
