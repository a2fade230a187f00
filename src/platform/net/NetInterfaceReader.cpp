#include "platform/net/NetInterfaceReader.h"

#include "platform/linux/RegularFile.h"

#include <QFile>

#include <QtEndian>

#include <dirent.h>

#include <array>
#include <charconv>

namespace {

constexpr std::size_t SysfsAttributeSize = 4096;

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
{
}

QString NetInterfaceReader::path(const QString& name, const QString& file) const
{
    return QStringLiteral("sys/class/net/") + name + u'/' + file;
}

QStringList NetInterfaceReader::interfaceNames() const
{
    // Read on every tick: plain directory calls, not QDir's listing.
    QStringList names;
    DIR* list = ::opendir(m_sysroot.filePath(QStringLiteral("sys/class/net")).c_str());
    if (!list)
        return names;
    while (const dirent* entry = ::readdir(list)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (isInterfaceName(name))
            names.append(name);
    }
    ::closedir(list);
    names.sort();
    return names;
}

std::optional<quint64> NetInterfaceReader::readCounter(const QByteArray& statisticsFolder, const char* file) const
{
    m_path.assign(statisticsFolder.constData(), size_t(statisticsFolder.size()));
    m_path.append(file);
    std::size_t size = 0;
    // sysfs gives every attribute file the size of a page, whatever it holds.
    if (RegularFile::read(m_path.c_str(), SysfsAttributeSize, m_buffer, size, nullptr) != RegularFile::Failure::None)
        return std::nullopt;
    const char* begin = m_buffer.data();
    const char* end = begin + size;
    while (end > begin && (end[-1] == '\n' || end[-1] == ' '))
        --end;
    quint64 value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || begin == end)
        return std::nullopt;
    return value;
}

std::optional<quint64> NetInterfaceReader::counter(const QString& name, const char* file) const
{
    if (!isInterfaceName(name))
        return std::nullopt;
    return readCounter(QFile::encodeName(m_sysroot.path(path(name, QStringLiteral("statistics/")))), file);
}

std::optional<NetInterfaceStatistics> NetInterfaceReader::statistics(const QString& name) const
{
    if (!isInterfaceName(name))
        return std::nullopt;
    const QByteArray folder = QFile::encodeName(m_sysroot.path(path(name, QStringLiteral("statistics/"))));
    std::array<quint64, CounterFiles.size()> values {};
    for (size_t i = 0; i < CounterFiles.size(); ++i) {
        const std::optional<quint64> value = readCounter(folder, CounterFiles[i]);
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
