#include "platform/linux/HostProcessorInfo.h"

#include "platform/linux/Sysroot.h"

HostProcessorInfo::HostProcessorInfo(const QString& sysroot)
    : m_reader(Sysroot(sysroot).filePath(QStringLiteral("proc/stat")))
{
}

std::optional<std::span<const ProcessorTicks>> HostProcessorInfo::sample()
{
    const std::optional<std::string_view> text = m_reader.read();
    if (!text || !ProcStat::parseProcessorTicks(*text, m_processors))
        return std::nullopt;
    return std::span<const ProcessorTicks>(m_processors);
}
