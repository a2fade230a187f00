#include "platform/registry/GpuReader.h"

#include "platform/registry/PciIdNames.h"

#include <QRegularExpression>
#include <QStringView>

namespace {

const QString NvmlPrefix = QStringLiteral("nvml:");
const QString DrmPrefix = QStringLiteral("drm:");

QByteArray littleEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

QString drmPath(const QString& card, const char* file)
{
    return QStringLiteral("sys/class/drm/") + card + QStringLiteral("/device/") + QLatin1String(file);
}

std::optional<quint32> hexNumber(const QString& text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

// The GPU's key without its prefix, as a view.
QStringView cardOf(const QString& key)
{
    return QStringView(key).mid(DrmPrefix.size());
}

} // namespace

GpuReader::GpuReader(const Sysroot& sysroot, QString nvmlLibrary)
    : m_sysroot(sysroot)
    , m_nvml(std::move(nvmlLibrary))
{
}

std::optional<quint32> GpuReader::nvmlIndex(const QString& key)
{
    if (!key.startsWith(NvmlPrefix))
        return std::nullopt;
    bool ok = false;
    const uint index = QStringView(key).mid(NvmlPrefix.size()).toUInt(&ok);
    return ok ? std::optional<quint32>(index) : std::nullopt;
}

std::optional<GpuReader::Card> GpuReader::drmCard(const QString& card) const
{
    const QString device = m_sysroot.resolved(QStringLiteral("sys/class/drm/") + card + QStringLiteral("/device"));
    if (device.isEmpty())
        return std::nullopt;
    Card facts;
    facts.address = device.section(u'/', -1);
    facts.driver = m_sysroot.resolved(drmPath(card, "driver")).section(u'/', -1);
    const auto vendor = hexNumber(m_sysroot.text(drmPath(card, "vendor")));
    const auto id = hexNumber(m_sysroot.text(drmPath(card, "device")));
    if (!vendor || !id)
        return std::nullopt;
    facts.vendor = *vendor;
    facts.device = *id;
    return facts;
}

std::vector<GpuReader::Gpu> GpuReader::gpus()
{
    std::vector<Gpu> found;
    for (const NvmlLibrary::Device& device : m_nvml.devices())
        found.push_back(Gpu {NvmlPrefix + QString::number(device.index), device.busID});
    static const QRegularExpression cardName(QStringLiteral("^card[0-9]+$"));
    for (const QString& card : m_sysroot.entries(QStringLiteral("sys/class/drm"))) {
        if (!cardName.match(card).hasMatch())
            continue;
        const std::optional<Card> facts = drmCard(card);
        if (facts && facts->driver != QLatin1String("nvidia"))
            found.push_back(Gpu {DrmPrefix + card, facts->address});
    }
    return found;
}

bool GpuReader::isPresent(const QString& key, const QString& identity)
{
    if (const auto index = nvmlIndex(key))
        return !m_nvml.isLost(*index) && m_nvml.device(*index) && m_nvml.device(*index)->busID == identity;
    const std::optional<Card> facts = drmCard(cardOf(key).toString());
    return facts && facts->address == identity;
}

QString GpuReader::acceleratorName(const QString& key) const
{
    if (nvmlIndex(key))
        return QStringLiteral("nvidia");
    const std::optional<Card> facts = drmCard(cardOf(key).toString());
    return facts ? facts->driver : QString();
}

QVariantMap GpuReader::deviceProperties(const QString& key)
{
    quint32 vendor = 0;
    quint32 device = 0;
    if (const auto index = nvmlIndex(key)) {
        const NvmlLibrary::Device* nvidia = m_nvml.device(*index);
        if (!nvidia)
            return {};
        vendor = nvidia->vendorID;
        device = nvidia->deviceID;
    } else if (const std::optional<Card> facts = drmCard(cardOf(key).toString())) {
        vendor = facts->vendor;
        device = facts->device;
    } else {
        return {};
    }
    return {{QStringLiteral("vendor-id"), littleEndian(vendor)}, {QStringLiteral("device-id"), littleEndian(device)}};
}

QString GpuReader::drmModel(const QString& card, const Card& facts) const
{
    const QString product = m_sysroot.text(drmPath(card, "product_name"));
    if (!product.isEmpty())
        return product;
    const QString prefix = PciIdNames::vendorPrefix(facts.vendor);
    for (const char* database : {"usr/share/misc/pci.ids", "usr/share/hwdata/pci.ids"}) {
        if (const auto text = m_sysroot.read(QLatin1String(database))) {
            if (const auto name = PciIdNames::deviceName(*text, facts.vendor, facts.device))
                return prefix + u' ' + *name;
        }
    }
    return QStringLiteral("%1 graphics [%2]").arg(prefix).arg(facts.device, 4, 16, QLatin1Char('0'));
}

std::optional<quint64> GpuReader::drmNumber(const QString& card, const char* file) const
{
    bool ok = false;
    const quint64 value = m_sysroot.text(drmPath(card, file)).toULongLong(&ok);
    return ok ? std::optional<quint64>(value) : std::nullopt;
}

bool GpuReader::isSharedMemory(const QString& card) const
{
    const auto vram = drmNumber(card, "mem_info_vram_total");
    const auto gtt = drmNumber(card, "mem_info_gtt_total");
    return vram && gtt && *vram <= LargestCarveOut && *gtt > *vram;
}

QVariantMap GpuReader::acceleratorProperties(const QString& key)
{
    QVariantMap properties;
    if (const auto index = nvmlIndex(key)) {
        const NvmlLibrary::Device* nvidia = m_nvml.device(*index);
        if (!nvidia)
            return {};
        properties.insert(QStringLiteral("model"), nvidia->name);
    } else {
        const QString card = cardOf(key).toString();
        const std::optional<Card> facts = drmCard(card);
        if (!facts)
            return {};
        properties.insert(QStringLiteral("model"), drmModel(card, *facts));
    }
    for (const QString& name : {QStringLiteral("VRAM,totalMB"), QStringLiteral("ATY,memsize")}) {
        if (const auto value = acceleratorProperty(key, name))
            properties.insert(name, *value);
    }
    properties.insert(QStringLiteral("PerformanceStatistics"), statistics(key));
    return properties;
}

std::optional<QVariant> GpuReader::acceleratorProperty(const QString& key, const QString& name)
{
    if (name == QLatin1String("PerformanceStatistics"))
        return QVariant(statistics(key));
    if (const auto index = nvmlIndex(key)) {
        if (name != QLatin1String("VRAM,totalMB"))
            return std::nullopt;
        const auto memory = m_nvml.memory(*index);
        return memory ? std::optional<QVariant>(qulonglong(memory->total >> 20)) : std::nullopt;
    }
    if (name != QLatin1String("ATY,memsize"))
        return std::nullopt;
    const QString card = cardOf(key).toString();
    const auto vram = drmNumber(card, "mem_info_vram_total");
    if (!vram || isSharedMemory(card))
        return std::nullopt;
    return qulonglong(*vram);
}

const QVariantMap& GpuReader::statistics(const QString& key)
{
    // Kept per GPU and changed in place: once the readers of the previous
    // copy are gone, a refresh allocates nothing.
    QVariantMap& kept = m_statistics[key];
    auto set = [&kept](const QString& name, std::optional<quint64> value) {
        if (value)
            kept[name] = qulonglong(*value);
        else
            kept.remove(name);
    };
    const QString utilization = QStringLiteral("Device Utilization %");
    if (const auto index = nvmlIndex(key)) {
        const auto rates = m_nvml.utilization(*index);
        const auto memory = m_nvml.memory(*index);
        set(utilization, rates ? std::optional<quint64>(rates->gpu) : std::nullopt);
        set(QStringLiteral("inUseVidMemoryBytes"), memory ? std::optional<quint64>(memory->used) : std::nullopt);
        return kept;
    }
    const QString card = cardOf(key).toString();
    set(utilization, drmNumber(card, "gpu_busy_percent"));
    if (isSharedMemory(card)) {
        const auto vram = drmNumber(card, "mem_info_vram_total");
        const auto gtt = drmNumber(card, "mem_info_gtt_total");
        const auto vramUsed = drmNumber(card, "mem_info_vram_used");
        const auto gttUsed = drmNumber(card, "mem_info_gtt_used");
        set(QStringLiteral("Alloc system memory"), vram && gtt ? std::optional<quint64>(*vram + *gtt) : std::nullopt);
        set(QStringLiteral("In use system memory"),
            vramUsed && gttUsed ? std::optional<quint64>(*vramUsed + *gttUsed) : std::nullopt);
    } else {
        set(QStringLiteral("vramUsedBytes"), drmNumber(card, "mem_info_vram_used"));
    }
    return kept;
}
