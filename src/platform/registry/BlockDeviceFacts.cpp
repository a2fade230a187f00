#include "platform/registry/BlockDeviceFacts.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUuid>

namespace BlockDeviceFacts {

namespace {

using Rules = QList<std::pair<QRegularExpression, QString>>;

// The value of the first rule that one of the texts matches; empty for none.
QString firstMatchingRule(const Rules& rules, const QStringList& texts)
{
    for (const auto& [pattern, value] : rules) {
        for (const QString& text : texts) {
            if (pattern.match(text).hasMatch())
                return value;
        }
    }
    return {};
}

} // namespace

Interconnect interconnectForDevicePath(const QString& path)
{
    // The first rule with a matching path component wins. USB comes first: a
    // bridge's disk also sits below SCSI hosts. Namespaces of multipath NVMe
    // live below the virtual nvme-subsystem, so NVMe comes before "virtual".
    static const Rules rules{
        {QRegularExpression(QStringLiteral("^usb\\d+$")), QStringLiteral("USB")},
        {QRegularExpression(QStringLiteral("^(nvme|nvme-subsystem)$")), QStringLiteral("NVMe")},
        {QRegularExpression(QStringLiteral("^virtual$")), QStringLiteral("Virtual Interface")},
        {QRegularExpression(QStringLiteral("^ata\\d+$")), QStringLiteral("SATA")},
        {QRegularExpression(QStringLiteral("^mmc_host$")), QStringLiteral("Secure Digital")},
        {QRegularExpression(QStringLiteral("^virtio\\d+$")), QStringLiteral("VirtIO")},
        {QRegularExpression(QStringLiteral("^vbd-\\d+$")), QStringLiteral("Xen")},
        {QRegularExpression(QStringLiteral("^end_device-")), QStringLiteral("SAS")},
        {QRegularExpression(QStringLiteral("^host\\d+$")), QStringLiteral("SCSI")},
    };
    const QString physical = firstMatchingRule(rules, path.split(u'/', Qt::SkipEmptyParts));
    if (physical.isEmpty())
        return {QStringLiteral("Unknown"), QStringLiteral("Internal")};
    return {physical, physical == QLatin1String("USB") ? QStringLiteral("External") : QStringLiteral("Internal")};
}

int unitForDiskName(const QString& disk)
{
    static const QRegularExpression lettered(QStringLiteral("^(sd|hd|vd|xvd)([a-z]+)$"));
    const QRegularExpressionMatch letters = lettered.match(disk);
    if (letters.hasMatch()) {
        int unit = 0;
        for (const QChar c : letters.captured(2))
            unit = unit * 26 + (c.unicode() - u'a' + 1);
        return unit - 1;
    }
    static const QRegularExpression number(QStringLiteral("\\d+"));
    const QRegularExpressionMatch digits = number.match(disk);
    return digits.hasMatch() ? digits.captured().toInt() : 0;
}

QString serialFromWorldWideID(const QString& wwid)
{
    const QString trimmed = wwid.trimmed();
    if (!trimmed.startsWith(QLatin1String("t10.")))
        return trimmed;
    return trimmed.section(u' ', -1, -1, QString::SectionSkipEmpty);
}

QString fallbackProductName(const QString& disk)
{
    static const Rules names{
        {QRegularExpression(QStringLiteral("^vd[a-z]+$")), QStringLiteral("VirtIO Block Device")},
        {QRegularExpression(QStringLiteral("^xvd[a-z]+$")), QStringLiteral("Xen Virtual Block Device")},
        {QRegularExpression(QStringLiteral("^loop\\d+$")), QStringLiteral("Loop Device")},
        {QRegularExpression(QStringLiteral("^zram\\d+$")), QStringLiteral("Compressed RAM Disk")},
        {QRegularExpression(QStringLiteral("^ram\\d+$")), QStringLiteral("RAM Disk")},
        {QRegularExpression(QStringLiteral("^nbd\\d+$")), QStringLiteral("Network Block Device")},
        {QRegularExpression(QStringLiteral("^md\\d+$")), QStringLiteral("Software RAID")},
        {QRegularExpression(QStringLiteral("^dm-\\d+$")), QStringLiteral("Device Mapper Volume")},
    };
    return firstMatchingRule(names, {disk});
}

std::optional<QVariantMap> powerManagementForRuntimeStatus(const QString& status)
{
    static const QStringList awake{QStringLiteral("active"), QStringLiteral("resuming"), QStringLiteral("suspending")};
    int current = 0;
    if (status == QLatin1String("suspended"))
        current = 1;
    else if (awake.contains(status))
        current = 2;
    else
        return std::nullopt;
    return QVariantMap{
        {QStringLiteral("CurrentPowerState"), current},
        {QStringLiteral("MaxPowerState"), 2},
    };
}

PartitionScheme partitionSchemeForTableType(const QString& tableType)
{
    if (tableType == QLatin1String("gpt"))
        return {QStringLiteral("GUID_partition_scheme"), QStringLiteral("IOGUIDPartitionScheme")};
    if (tableType == QLatin1String("dos"))
        return {QStringLiteral("FDisk_partition_scheme"), QStringLiteral("IOFDiskPartitionScheme")};
    return {QStringLiteral("Partition_scheme"), QStringLiteral("IOPartitionScheme")};
}

std::optional<QString> mediaUUID(const QHash<QString, QString>& udev, bool isPartition, bool hasPartitions)
{
    const QString key = isPartition ? QStringLiteral("ID_PART_ENTRY_UUID")
        : hasPartitions             ? QStringLiteral("ID_PART_TABLE_UUID")
                                    : QStringLiteral("ID_FS_UUID");
    const QString text = udev.value(key);
    const QUuid uuid = QUuid::fromString(text);
    if (text.size() != 36 || uuid.isNull())
        return std::nullopt;
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

bool naturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a[endA].isDigit())
                ++endA;
            while (endB < b.size() && b[endB].isDigit())
                ++endB;
            const qulonglong numberA = a.mid(i, endA - i).toULongLong();
            const qulonglong numberB = b.mid(j, endB - j).toULongLong();
            if (numberA != numberB)
                return numberA < numberB;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace BlockDeviceFacts
