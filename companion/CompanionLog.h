#pragma once

#include <cstdarg>
#include <cstdio>

// The companion's log: one line per message on standard error, which the
// desktop session's journal collects.
[[gnu::format(printf, 1, 2)]] inline void companionLog(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::fputs("vistrel-plus: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    va_end(arguments);
}
