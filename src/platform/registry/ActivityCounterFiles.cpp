#include "platform/registry/ActivityCounterFiles.h"

#include "platform/linux/DecimalFields.h"
#include "platform/linux/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstring>

ActivityCounterFiles::ActivityCounterFiles(Kind kind, std::string first, std::string second)
    : m_kind(kind)
    , m_firstPath(std::move(first))
    , m_secondPath(std::move(second))
{
}

ActivityCounterFiles::~ActivityCounterFiles()
{
    close();
}

std::unique_ptr<ActivityCounterFiles> ActivityCounterFiles::forDisk(const Sysroot& sysroot, const QString& disk)
{
    if (disk.isEmpty() || disk.contains(u'/'))
        return nullptr;
    const QString base = QStringLiteral("sys/block/") + disk;
    std::unique_ptr<ActivityCounterFiles> files(new ActivityCounterFiles(Kind::Disk, sysroot.filePath(base + QStringLiteral("/stat")),
        sysroot.filePath(base + QStringLiteral("/device/power/runtime_status"))));
    return files->open() ? std::move(files) : nullptr;
}

std::unique_ptr<ActivityCounterFiles> ActivityCounterFiles::forInterface(const Sysroot& sysroot, const QString& name)
{
    if (name.isEmpty() || name.contains(u'/'))
        return nullptr;
    const QString base = QStringLiteral("sys/class/net/") + name + QStringLiteral("/statistics/");
    std::unique_ptr<ActivityCounterFiles> files(new ActivityCounterFiles(Kind::Interface,
        sysroot.filePath(base + QStringLiteral("rx_packets")), sysroot.filePath(base + QStringLiteral("tx_packets"))));
    return files->open() ? std::move(files) : nullptr;
}

bool ActivityCounterFiles::open()
{
    close();
    m_first = ::open(m_firstPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    m_second = ::open(m_secondPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    m_generatedByTheKernel = m_first >= 0 && RegularFile::isGeneratedByTheKernel(m_first);
    m_powerStatusUnsupported = false;
    // A disk without runtime power management simply never sleeps.
    return m_first >= 0 && (m_second >= 0 || m_kind == Kind::Disk);
}

void ActivityCounterFiles::close()
{
    if (m_first >= 0)
        ::close(m_first);
    if (m_second >= 0)
        ::close(m_second);
    m_first = m_second = -1;
}

std::optional<ActivityCounterFiles::Reading> ActivityCounterFiles::read()
{
    if (m_first >= 0) {
        if (const std::optional<Reading> reading = readOpen())
            return reading;
    }
    // Stale descriptors, or none yet: one try on fresh ones.
    if (!open())
        return std::nullopt;
    return readOpen();
}

std::optional<ActivityCounterFiles::Reading> ActivityCounterFiles::readOpen()
{
    std::array<char, 512> buffer {};
    const ssize_t first = RegularFile::readKeptFromStart(m_first, buffer.data(), buffer.size(), m_generatedByTheKernel);
    if (first < 0)
        return std::nullopt;
    if (m_kind == Kind::Disk) {
        std::optional<Reading> reading = parseStatLine(buffer.data(), std::size_t(first));
        if (!reading)
            return std::nullopt;
        if (m_powerStatusUnsupported)
            return reading;
        std::array<char, 32> status {};
        const ssize_t length = RegularFile::readKeptFromStart(m_second, status.data(), status.size(), m_generatedByTheKernel);
        const auto startsWith = [&](const char* word) {
            const auto size = ssize_t(std::strlen(word));
            return length >= size && std::memcmp(status.data(), word, std::size_t(size)) == 0;
        };
        reading->sleeping = startsWith("suspended");
        // A driver without runtime power management keeps it so; the status
        // is not read again, four times a second, until the files are opened anew.
        m_powerStatusUnsupported = startsWith("unsupported");
        return reading;
    }
    const std::optional<quint64> received = parseCounter(buffer.data(), std::size_t(first));
    const ssize_t second = RegularFile::readKeptFromStart(m_second, buffer.data(), buffer.size(), m_generatedByTheKernel);
    const std::optional<quint64> sent = second < 0 ? std::nullopt : parseCounter(buffer.data(), std::size_t(second));
    if (!received || !sent)
        return std::nullopt;
    return Reading {*received, *sent, false};
}

std::optional<ActivityCounterFiles::Reading> ActivityCounterFiles::parseStatLine(const char* text, std::size_t size)
{
    // Reads and writes completed are the first and fifth fields.
    std::array<quint64, 5> fields {};
    if (!DecimalFields::readLeading(std::string_view(text, size), fields))
        return std::nullopt;
    return Reading {fields[0], fields[4], false};
}

std::optional<quint64> ActivityCounterFiles::parseCounter(const char* text, std::size_t size)
{
    quint64 value = 0;
    if (!DecimalFields::readExactly(std::string_view(text, size), std::span(&value, 1)))
        return std::nullopt;
    return value;
}
