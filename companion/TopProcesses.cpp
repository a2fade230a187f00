#include "TopProcesses.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include <unistd.h>

namespace {

std::uint64_t memoryTotalBytes(const SystemFiles& files)
{
    const std::string meminfo = files.text("proc/meminfo").value_or("");
    std::istringstream lines(meminfo);
    std::string key;
    std::uint64_t kilobytes = 0;
    while (lines >> key >> kilobytes) {
        if (key == "MemTotal:")
            return kilobytes * 1024;
        lines.ignore(64, '\n');
    }
    return 0;
}

bool isProcessID(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}

TopProcesses::TopProcesses(const SystemFiles& files)
    : m_files(files)
    , m_ticksPerSecond(double(::sysconf(_SC_CLK_TCK)))
    , m_pageSize(double(::sysconf(_SC_PAGESIZE)))
{
}

std::optional<TopProcesses::Stat> TopProcesses::parseStat(std::string_view line)
{
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    Stat stat;
    stat.name = std::string(line.substr(open + 1, close - open - 1));
    // Fields after the name, counted from 3 (state) as in proc(5):
    // utime is 14, stime 15, rss 24.
    std::string_view rest = line.substr(close + 1);
    std::uint64_t utime = 0, stime = 0, rss = 0;
    int field = 2;
    int found = 0;
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        rest.remove_prefix(start);
        const std::size_t end = std::min(rest.find(' '), rest.size());
        const std::string_view token = rest.substr(0, end);
        rest.remove_prefix(end);
        ++field;
        std::uint64_t* target = field == 14 ? &utime : field == 15 ? &stime : field == 24 ? &rss : nullptr;
        if (!target)
            continue;
        const auto [last, error] = std::from_chars(token.data(), token.data() + token.size(), *target);
        if (error != std::errc() || last != token.data() + token.size())
            return std::nullopt;
        if (++found == 3)
            break;
    }
    if (found != 3)
        return std::nullopt;
    stat.processorTicks = utime + stime;
    stat.residentPages = rss;
    return stat;
}

TopProcessLists TopProcesses::read(double now)
{
    const double memoryTotal = double(memoryTotalBytes(m_files));
    const double elapsed = m_previousTime >= 0 ? now - m_previousTime : 0;
    std::vector<ProcessReading> all;
    std::unordered_map<int, std::uint64_t> ticks;
    for (const std::string& entry : m_files.entries("proc")) {
        if (!isProcessID(entry) || entry.size() > 9)
            continue;
        const std::optional<std::string> line = m_files.text("proc/" + entry + "/stat");
        if (!line)
            continue;  // ended meanwhile
        const std::optional<Stat> stat = parseStat(*line);
        if (!stat)
            continue;
        ProcessReading reading;
        reading.processID = std::stoi(entry);
        reading.name = stat->name;
        reading.residentBytes = std::uint64_t(double(stat->residentPages) * m_pageSize);
        reading.memoryUsage = memoryTotal > 0 ? double(reading.residentBytes) / memoryTotal : 0;
        // A process new since the previous reading spent all its time in between.
        const auto previous = m_previousTicks.find(reading.processID);
        const std::uint64_t before = previous != m_previousTicks.end() ? previous->second : 0;
        if (elapsed > 0 && stat->processorTicks >= before)
            reading.cpuUsage = double(stat->processorTicks - before) / m_ticksPerSecond / elapsed;
        ticks.emplace(reading.processID, stat->processorTicks);
        all.push_back(std::move(reading));
    }
    m_previousTicks = std::move(ticks);
    m_previousTime = now;

    TopProcessLists lists;
    const auto top = [&all](auto greater) {
        const std::size_t count = std::min(ListLength, all.size());
        std::partial_sort(all.begin(), all.begin() + std::ptrdiff_t(count), all.end(), greater);
        return std::vector<ProcessReading>(all.begin(), all.begin() + std::ptrdiff_t(count));
    };
    lists.byProcessor = top([](const ProcessReading& a, const ProcessReading& b) {
        return a.cpuUsage != b.cpuUsage ? a.cpuUsage > b.cpuUsage : a.processID < b.processID;
    });
    lists.byMemory = top([](const ProcessReading& a, const ProcessReading& b) {
        return a.residentBytes != b.residentBytes ? a.residentBytes > b.residentBytes : a.processID < b.processID;
    });
    return lists;
}
