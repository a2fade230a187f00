#include "platform/net/NetInterfaceReader.h"

#include "platform/linux/FileDescriptor.h"

#include <QFile>

#include <QtEndian>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace {

constexpr std::array<const char*, 7> CounterFiles {
    "rx_packets", "rx_errors", "rx_bytes", "tx_packets", "tx_errors", "tx_bytes", "collisions"};

bool isInterfaceName(const QString& name)
{
    // Names come from settings and notifications; keep them inside the tree.
    return !name.isEmpty() && !name.contains(u'/') && name != QLatin1String(".") && name != QLatin1String("..");
}

} // namespace

NetInterfaceReader::NetInterfaceReader(const QString& sysroot)
    : m_sysroot(sysroot)
    , m_root(m_sysroot.filePath(QString()))
    , m_interfaceFolder(m_sysroot.filePath(QStringLiteral("sys/class/net")))
    , m_deviceTableReader(m_sysroot.filePath(QStringLiteral("proc/net/dev")))
{
}

const NetDeviceTable* NetInterfaceReader::allStatistics() const
{
    const std::optional<std::string_view> text = m_deviceTableReader.read();
    return text && m_deviceTable.parse(*text) ? &m_deviceTable : nullptr;
}

bool NetInterfaceReader::hasInterfaceFolder() const
{
    return ::access(m_interfaceFolder.c_str(), F_OK) == 0;
}

QString NetInterfaceReader::path(const QString& name, const QString& file) const
{
    return QStringLiteral("sys/class/net/") + name + u'/' + file;
}

QStringList NetInterfaceReader::interfaceNames(const NetDeviceTable* table) const
{
    // Read on every tick: the directory's entries straight into a buffer on
    // the stack (opendir would allocate its own), kept strings (names this
    // short fit inside std::string), and new texts only when it changed.
    m_listing.clear();
    if (table) {
        for (std::size_t i = 0; i < table->size(); ++i)
            m_listing.push_back(table->nameAt(i));
    }
    const FileDescriptor folder(table ? -1 : ::open(m_interfaceFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    alignas(dirent64) char entries[4096];
    ssize_t filled = 0;
    while (folder.get() >= 0 && (filled = ::getdents64(folder.get(), entries, sizeof entries)) > 0) {
        for (ssize_t offset = 0; offset < filled;) {
            const auto* entry = reinterpret_cast<const dirent64*>(entries + offset);
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                m_listing.emplace_back(entry->d_name);
            offset += entry->d_reclen;
        }
    }
    std::sort(m_listing.begin(), m_listing.end());
    if (m_listing != m_lastListing) {
        m_lastListing = m_listing;
        m_names.clear();
        for (const std::string& name : m_listing)
            m_names.append(QFile::decodeName(name.c_str()));
    }
    return m_names;
}

std::optional<quint64> NetInterfaceReader::readCounter(int statisticsFolder, const char* file) const
{
    // Non-blocking, so that a FIFO planted in a sysroot cannot hang the tick.
    const FileDescriptor fd(::openat(statisticsFolder, file, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return std::nullopt;
    char text[32];
    std::size_t size = 0;
    for (;;) {
        const ssize_t n = ::read(fd.get(), text + size, sizeof text - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        size += std::size_t(n);
        // A counter has at most 20 digits and a line end.
        if (size == sizeof text)
            return std::nullopt;
    }
    const char* end = text + size;
    while (end > text && (end[-1] == '\n' || end[-1] == ' '))
        --end;
    quint64 value = 0;
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || end == text)
        return std::nullopt;
    return value;
}

FileDescriptor NetInterfaceReader::openStatisticsFolder(const QString& name) const
{
    if (!isInterfaceName(name))
        return FileDescriptor(-1);
    // The path is built in a kept buffer; names outside ASCII take the long way.
    m_path = m_root;
    m_path.append("sys/class/net/");
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            m_path = m_sysroot.filePath(path(name, QStringLiteral("statistics")));
            return FileDescriptor(::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        }
        m_path.push_back(char(c.unicode()));
    }
    m_path.append("/statistics");
    return FileDescriptor(::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::optional<quint64> NetInterfaceReader::counter(const QString& name, const char* file) const
{
    const FileDescriptor folder = openStatisticsFolder(name);
    return folder.get() < 0 ? std::nullopt : readCounter(folder.get(), file);
}

std::optional<NetInterfaceStatistics> NetInterfaceReader::statistics(const QString& name) const
{
    // The folder is looked up once; its seven files are opened relative to it.
    const FileDescriptor folder = openStatisticsFolder(name);
    if (folder.get() < 0)
        return std::nullopt;
    std::array<quint64, CounterFiles.size()> values {};
    for (size_t i = 0; i < CounterFiles.size(); ++i) {
        const std::optional<quint64> value = readCounter(folder.get(), CounterFiles[i]);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    return NetInterfaceStatistics {values[0], values[1], values[2], values[3], values[4], values[5], values[6]};
}

NetInterfaceFacts NetInterfaceReader::facts(const QString& name) const
{
    NetInterfaceFacts facts;
    if (!isInterfaceName(name))
        return facts;
    bool ok = false;
    const int type = m_sysroot.text(path(name, QStringLiteral("type"))).toInt(&ok);
    facts.type = ok ? type : -1;
    const QStringList uevent = m_sysroot.text(path(name, QStringLiteral("uevent"))).split(u'\n');
    for (const QString& line : uevent) {
        if (line.startsWith(QLatin1String("DEVTYPE=")))
            facts.deviceType = line.mid(8).trimmed();
    }
    facts.hasWireless = m_sysroot.exists(path(name, QStringLiteral("wireless")))
        || m_sysroot.exists(path(name, QStringLiteral("phy80211")));
    facts.hasBridge = m_sysroot.exists(path(name, QStringLiteral("bridge")));
    facts.hasBonding = m_sysroot.exists(path(name, QStringLiteral("bonding")));
    facts.hasTunFlags = m_sysroot.exists(path(name, QStringLiteral("tun_flags")));
    return facts;
}

quint32 NetInterfaceReader::linkStatus(const QString& name) const
{
    if (!isInterfaceName(name))
        return 0;
    // Reading "carrier" of a device that is administratively down fails.
    const std::optional<QByteArray> carrier = m_sysroot.read(path(name, QStringLiteral("carrier")));
    const QString operstate = m_sysroot.text(path(name, QStringLiteral("operstate")));
    quint32 status = 0;
    if (carrier || !operstate.isEmpty())
        status |= 0x1;
    const bool hasCarrier = carrier && carrier->trimmed() == "1";
    if (hasCarrier && operstate != QLatin1String("down") && operstate != QLatin1String("lowerlayerdown"))
        status |= 0x2;
    return status;
}

QString NetInterfaceReader::identity(const QString& name) const
{
    return isInterfaceName(name) ? m_sysroot.text(path(name, QStringLiteral("ifindex"))) : QString();
}

QByteArray NetInterfaceReader::statisticsBlock(const QString& name) const
{
    const std::optional<NetInterfaceStatistics> s = statistics(name);
    if (!s)
        return {};
    QByteArray block(20, Qt::Uninitialized);
    const quint64 counters[] = {s->inputPackets, s->inputErrors, s->outputPackets, s->outputErrors, s->collisions};
    for (int i = 0; i < 5; ++i)
        qToLittleEndian<quint32>(quint32(counters[i]), block.data() + 4 * i);
    return block;
}
