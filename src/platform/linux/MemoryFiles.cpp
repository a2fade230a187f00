#include "platform/linux/MemoryFiles.h"

#include <array>
#include <charconv>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmedFront(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    return text.substr(begin);
}

// The leading decimal number of a text after blanks; the rest must be blank
// or, where the unit is allowed, " kB".
std::optional<quint64> leadingNumber(std::string_view text, bool unitAllowed)
{
    text = trimmedFront(text);
    quint64 value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    const std::string_view rest = trimmedFront(text.substr(static_cast<std::size_t>(end - text.data())));
    if (rest.empty() || (unitAllowed && rest == "kB"))
        return value;
    return std::nullopt;
}

// Calls visit(name, rest) for every line "name<separator>rest" until it
// answers false; false when a visit did.
template <typename Visit>
bool forEachNamedLine(std::string_view text, char separator, Visit visit)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmedFront(text.substr(0, end));
        const std::size_t split = line.find(separator);
        if (split != std::string_view::npos && !visit(line.substr(0, split), line.substr(split + 1)))
            return false;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return true;
}

template <typename Record>
struct Field {
    std::string_view name;
    quint64 Record::*member;
    bool required;
};

// Fills the named members of a record from "name<separator>number" lines.
template <typename Record, std::size_t Count>
bool parseFields(std::string_view text, char separator, bool unitAllowed, const std::array<Field<Record>, Count>& fields,
    Record& record)
{
    record = Record();
    std::array<bool, Count> seen{};
    const bool wellFormed = forEachNamedLine(text, separator, [&](std::string_view name, std::string_view rest) {
        for (std::size_t i = 0; i < Count; ++i) {
            if (fields[i].name != name)
                continue;
            const std::optional<quint64> value = leadingNumber(rest, unitAllowed);
            if (!value)
                return false;
            record.*fields[i].member = *value;
            seen[i] = true;
            return true;
        }
        return true;
    });
    if (!wellFormed)
        return false;
    for (std::size_t i = 0; i < Count; ++i) {
        if (fields[i].required && !seen[i])
            return false;
    }
    return true;
}

const std::array<Field<MemInfo>, 17> memInfoFields = {{
    {"MemTotal", &MemInfo::memTotal, true},
    {"MemFree", &MemInfo::memFree, true},
    {"Active", &MemInfo::active, false},
    {"Inactive", &MemInfo::inactive, false},
    {"Active(anon)", &MemInfo::activeAnon, false},
    {"Inactive(anon)", &MemInfo::inactiveAnon, false},
    {"Active(file)", &MemInfo::activeFile, false},
    {"Inactive(file)", &MemInfo::inactiveFile, false},
    {"Unevictable", &MemInfo::unevictable, false},
    {"SReclaimable", &MemInfo::slabReclaimable, false},
    {"SUnreclaim", &MemInfo::slabUnreclaimable, false},
    {"KernelStack", &MemInfo::kernelStack, false},
    {"PageTables", &MemInfo::pageTables, false},
    {"SwapTotal", &MemInfo::swapTotal, false},
    {"SwapFree", &MemInfo::swapFree, false},
    {"Zswap", &MemInfo::zswap, false},
    {"Zswapped", &MemInfo::zswapped, false},
}};

const std::array<Field<VMStatCounters>, 8> vmStatFields = {{
    {"pgfault", &VMStatCounters::pageFaults, true},
    {"pgmajfault", &VMStatCounters::majorPageFaults, true},
    {"pgpgout", &VMStatCounters::pagedOutKiB, true},
    {"pgactivate", &VMStatCounters::activations, false},
    {"pswpin", &VMStatCounters::swapIns, false},
    {"pswpout", &VMStatCounters::swapOuts, false},
    {"zswpin", &VMStatCounters::zswapIns, false},
    {"zswpout", &VMStatCounters::zswapOuts, false},
}};

}

namespace MemoryFiles {

bool parseMemInfo(std::string_view text, MemInfo& info)
{
    return parseFields(text, ':', true, memInfoFields, info);
}

bool parseVMStat(std::string_view text, VMStatCounters& counters)
{
    return parseFields(text, ' ', false, vmStatFields, counters);
}

std::optional<quint64> lowWatermarkPages(std::string_view text)
{
    quint64 sum = 0;
    bool found = false;
    const bool wellFormed = forEachNamedLine(text, ' ', [&](std::string_view name, std::string_view rest) {
        if (name != "low")
            return true;
        const std::optional<quint64> pages = leadingNumber(rest, false);
        sum += pages.value_or(0);
        found = true;
        return pages.has_value();
    });
    if (!wellFormed || !found)
        return std::nullopt;
    return sum;
}

}
