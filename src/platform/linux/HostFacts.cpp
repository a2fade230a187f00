#include "platform/linux/HostFacts.h"

#include "platform/linux/KernelFileReader.h"
#include "platform/linux/ProcStat.h"

#include <QDir>

#include <charconv>
#include <dirent.h>
#include <set>
#include <utility>

namespace {

bool isNumber(std::string_view name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
}

// One decimal value per sysfs attribute, followed by a line feed.
std::optional<int> topologyValue(const Sysroot& sysroot, const QString& relative)
{
    const std::optional<QByteArray> bytes = sysroot.read(relative);
    if (!bytes)
        return std::nullopt;
    const QByteArray text = bytes->trimmed();
    int value = 0;
    const auto [end, error] = std::from_chars(text.constData(), text.constData() + text.size(), value);
    if (error != std::errc() || end != text.constData() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

// Applies a parser to the current text of /proc/stat.
template <typename Parse>
auto fromProcStat(const Sysroot& sysroot, Parse parse) -> decltype(parse(std::string_view()))
{
    KernelFileReader reader(sysroot.filePath(QStringLiteral("proc/stat")));
    const std::optional<std::string_view> text = reader.read();
    if (!text)
        return std::nullopt;
    return parse(*text);
}

}

HostFacts::HostFacts(const QString& sysroot)
    : m_sysroot(sysroot)
{
}

std::optional<quint32> HostFacts::availableProcessors() const
{
    return fromProcStat(m_sysroot, ProcStat::processorCount);
}

std::optional<quint32> HostFacts::physicalProcessors() const
{
    const QDir cpus(m_sysroot.path(QStringLiteral("sys/devices/system/cpu")));
    std::set<std::pair<int, int>> cores;
    for (const QString& name : cpus.entryList({QStringLiteral("cpu*")}, QDir::Dirs)) {
        if (!isNumber(name.mid(3).toStdString()))
            continue;
        const QString topology = QStringLiteral("sys/devices/system/cpu/%1/topology/").arg(name);
        const std::optional<int> package = topologyValue(m_sysroot, topology + QStringLiteral("physical_package_id"));
        const std::optional<int> core = topologyValue(m_sysroot, topology + QStringLiteral("core_id"));
        if (package && core)
            cores.emplace(*package, *core);
    }
    if (cores.empty())
        return std::nullopt;
    return static_cast<quint32>(cores.size());
}

std::optional<qint64> HostFacts::bootTime() const
{
    return fromProcStat(m_sysroot, ProcStat::bootTime);
}

std::optional<quint64> HostFacts::processCount() const
{
    DIR* proc = ::opendir(m_sysroot.filePath(QStringLiteral("proc")).c_str());
    if (!proc)
        return std::nullopt;
    quint64 count = 0;
    while (const dirent* entry = ::readdir(proc)) {
        if (isNumber(entry->d_name))
            ++count;
    }
    ::closedir(proc);
    return count;
}
