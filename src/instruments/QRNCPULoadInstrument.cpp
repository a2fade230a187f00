#include "instruments/QRNCPULoadInstrument.h"

#include "platform/log/Log.h"

#include <QDateTime>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// The advance of a tick counter, taken in 32 bits, so a counter that wrapped
// past 2^32 still yields its true small advance. A counter that stepped back
// (the kernel's iowait may) advanced by nothing: taken modulo 2^32 its step
// would count as billions of ticks and outweigh every other mode.
quint64 tickAdvance(quint32 last, quint32 current)
{
    const quint32 advance = current - last;
    return advance > quint32(std::numeric_limits<qint32>::max()) ? 0 : advance;
}

QRNCPULoadInstrument::LoadRow loadsBetween(const ProcessorTicks& last, const ProcessorTicks& current)
{
    std::array<quint64, QRNCPULoadInstrument::OperationModeCount> delta{};
    quint64 total = 0;
    for (std::size_t mode = 0; mode < delta.size(); ++mode) {
        delta[mode] = tickAdvance(last[mode], current[mode]);
        total += delta[mode];
    }
    QRNCPULoadInstrument::LoadRow loads{};
    if (total == 0)
        return loads;
    for (std::size_t mode = 0; mode < delta.size(); ++mode)
        loads[mode] = static_cast<double>(delta[mode]) / static_cast<double>(total);
    return loads;
}

// C printf rounding (half to even on the binary value: 0.125 -> "0.12");
// Qt's own number formatting would round it up.
QString formatted(const char* format, auto value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

}

std::shared_ptr<QRNCPULoadInstrument> QRNCPULoadInstrument::sharedCPULoadInstrument()
{
    static const std::shared_ptr<QRNCPULoadInstrument> shared = std::make_shared<QRNCPULoadInstrument>();
    return shared;
}

quint64 QRNCPULoadInstrument::numberOfActiveLogicalProcessors()
{
    return HostFacts().availableProcessors().value_or(0);
}

quint64 QRNCPULoadInstrument::numberOfPhysicalProcessors()
{
    if (const std::optional<quint32> cores = HostFacts().physicalProcessors())
        return *cores;
    return numberOfActiveLogicalProcessors();
}

QRNCPULoadInstrument::QRNCPULoadInstrument(const QString& sysroot)
    : m_hostPort(sysroot)
    , m_facts(sysroot)
{
    collectNewSample();
}

void QRNCPULoadInstrument::collectNewSample()
{
    const std::optional<std::span<const ProcessorTicks>> info = m_hostPort.sample();
    if (!info) {
        if (!m_sampleFailing)
            Log::error("%{public}@: could not read the processor load information; keeping the previous loads.", {className()});
        m_sampleFailing = true;
        return;
    }
    m_sampleFailing = false;
    // A processor going offline or coming online changes the rows; start
    // them over from this sample, so its loads read 0.0.
    if (info->size() != m_lastLoadInfo.size()) {
        m_lastLoadInfo.assign(info->begin(), info->end());
        m_loadValues.assign(info->size(), LoadRow{});
    }
    for (std::size_t i = 0; i < info->size(); ++i)
        m_loadValues[i] = loadsBetween(m_lastLoadInfo[i], (*info)[i]);
    std::copy(info->begin(), info->end(), m_lastLoadInfo.begin());
}

double QRNCPULoadInstrument::loadForOperationMode(quint64 mode, quint64 index) const
{
    if (mode >= OperationModeCount || index >= activeCPUCount())
        return 0.0;
    return m_loadValues[index][mode];
}

double QRNCPULoadInstrument::totalLoadForProcessorAtIndex(quint64 index) const
{
    if (index >= activeCPUCount())
        return 0.0;
    const LoadRow& loads = m_loadValues[index];
    return loads[User] + loads[System] + loads[Nice];
}

double QRNCPULoadInstrument::totalLoadForOperationMode(quint64 mode) const
{
    if (mode >= OperationModeCount || activeCPUCount() == 0)
        return 0.0;
    double sum = 0.0;
    for (const LoadRow& loads : m_loadValues)
        sum += loads[mode];
    return sum / static_cast<double>(activeCPUCount());
}

double QRNCPULoadInstrument::totalLoadForAllProcessors() const
{
    return totalLoadForOperationMode(User) + totalLoadForOperationMode(System) + totalLoadForOperationMode(Nice);
}

std::optional<double> QRNCPULoadInstrument::timeIntervalSinceSystemStart() const
{
    const std::optional<qint64> bootTime = m_facts.bootTime();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (!bootTime || *bootTime > now)
        return std::nullopt;
    return static_cast<double>(now - *bootTime);
}

quint64 QRNCPULoadInstrument::currentProcessCount() const
{
    return m_facts.processCount().value_or(0);
}

QString QRNCPULoadInstrument::description() const
{
    QString text = QStringLiteral("<%1>: ").arg(className());
    for (quint64 i = 0; i < activeCPUCount(); ++i) {
        text += formatted("CPU %llu: ", static_cast<unsigned long long>(i));
        for (const double load : m_loadValues[i])
            text += formatted("%5.2f ", load);
        text += u'\n';
    }
    return text;
}
