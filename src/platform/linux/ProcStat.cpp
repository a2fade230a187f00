#include "platform/linux/ProcStat.h"

#include <charconv>

namespace {

// user nice system idle iowait irq softirq steal; guest columns may follow.
constexpr std::size_t RequiredColumns = 8;
enum Column { User, Nice, System, Idle, IOWait, IRQ, SoftIRQ, Steal };

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The blank-separated words of one line, without copying.
class Words {
public:
    explicit Words(std::string_view line)
        : m_rest(line)
    {
    }

    std::optional<std::string_view> next()
    {
        std::size_t begin = 0;
        while (begin < m_rest.size() && isBlank(m_rest[begin]))
            ++begin;
        if (begin == m_rest.size())
            return std::nullopt;
        std::size_t end = begin;
        while (end < m_rest.size() && !isBlank(m_rest[end]))
            ++end;
        const std::string_view word = m_rest.substr(begin, end - begin);
        m_rest.remove_prefix(end);
        return word;
    }

private:
    std::string_view m_rest;
};

template <typename Number>
std::optional<Number> numberFrom(std::string_view word)
{
    Number value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

template <typename Visit>
void forEachLine(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (!visit(line))
            return;
        if (end == std::string_view::npos)
            return;
        text.remove_prefix(end + 1);
    }
}

enum class LineKind { Other, Processor, Malformed };

// "cpuN" starts a processor line; "cpu" alone is the machine-wide sum.
LineKind kindOf(std::string_view name)
{
    if (name.size() <= 3 || !name.starts_with("cpu") || name[3] < '0' || name[3] > '9')
        return LineKind::Other;
    return numberFrom<quint32>(name.substr(3)) ? LineKind::Processor : LineKind::Malformed;
}

std::optional<ProcessorTicks> ticksFrom(Words& words)
{
    std::array<quint64, RequiredColumns> columns{};
    std::size_t count = 0;
    while (const std::optional<std::string_view> word = words.next()) {
        const std::optional<quint64> value = numberFrom<quint64>(*word);
        if (!value)
            return std::nullopt;
        if (count < RequiredColumns)
            columns[count] = *value;
        ++count;
    }
    if (count < RequiredColumns)
        return std::nullopt;
    ProcessorTicks ticks;
    ticks[UserTicks] = static_cast<quint32>(columns[User]);
    ticks[SystemTicks] = static_cast<quint32>(columns[System] + columns[IRQ] + columns[SoftIRQ] + columns[Steal]);
    ticks[IdleTicks] = static_cast<quint32>(columns[Idle] + columns[IOWait]);
    ticks[NiceTicks] = static_cast<quint32>(columns[Nice]);
    return ticks;
}

}

namespace ProcStat {

bool parseProcessorTicks(std::string_view text, std::vector<ProcessorTicks>& processors)
{
    processors.clear();
    bool wellFormed = true;
    forEachLine(text, [&](std::string_view line) {
        Words words(line);
        const std::optional<std::string_view> name = words.next();
        if (!name)
            return true;
        switch (kindOf(*name)) {
        case LineKind::Other:
            return true;
        case LineKind::Malformed:
            wellFormed = false;
            return false;
        case LineKind::Processor:
            break;
        }
        const std::optional<ProcessorTicks> ticks = ticksFrom(words);
        if (!ticks) {
            wellFormed = false;
            return false;
        }
        processors.push_back(*ticks);
        return true;
    });
    return wellFormed && !processors.empty();
}

std::optional<quint32> processorCount(std::string_view text)
{
    std::vector<ProcessorTicks> processors;
    if (!parseProcessorTicks(text, processors))
        return std::nullopt;
    return static_cast<quint32>(processors.size());
}

std::optional<qint64> bootTime(std::string_view text)
{
    std::optional<qint64> seconds;
    forEachLine(text, [&](std::string_view line) {
        Words words(line);
        if (words.next() != "btime")
            return true;
        if (const std::optional<std::string_view> value = words.next(); value && !words.next())
            seconds = numberFrom<qint64>(*value);
        return false;
    });
    return seconds;
}

}
