#include "platform/registry/PciIdNames.h"

#include <QByteArrayView>

namespace {

// "xxxx  Name" at the start of the view, with that id.
std::optional<QByteArrayView> namedLine(QByteArrayView line, quint32 id)
{
    if (line.size() < 7 || line.at(4) != ' ' || line.at(5) != ' ')
        return std::nullopt;
    bool ok = false;
    const uint found = line.first(4).toUInt(&ok, 16);
    if (!ok || found != id)
        return std::nullopt;
    return line.sliced(6).trimmed();
}

} // namespace

std::optional<QString> PciIdNames::deviceName(const QByteArray& database, quint32 vendor, quint32 device)
{
    bool inVendor = false;
    qsizetype start = 0;
    while (start < database.size()) {
        qsizetype end = database.indexOf('\n', start);
        if (end < 0)
            end = database.size();
        const QByteArrayView line(database.constData() + start, end - start);
        start = end + 1;
        if (line.isEmpty() || line.front() == '#')
            continue;
        if (line.front() != '\t') {
            if (inVendor)
                return std::nullopt;
            inVendor = namedLine(line, vendor).has_value();
        } else if (inVendor && line.size() > 1 && line.at(1) != '\t') {
            if (const auto name = namedLine(line.sliced(1), device))
                return QString::fromUtf8(*name);
        }
    }
    return std::nullopt;
}

QString PciIdNames::vendorPrefix(quint32 vendor)
{
    switch (vendor) {
    case 0x1002: return QStringLiteral("AMD");
    case 0x8086: return QStringLiteral("Intel");
    case 0x10de: return QStringLiteral("NVIDIA");
    default: return QStringLiteral("%1").arg(vendor, 4, 16, QLatin1Char('0'));
    }
}
