#include "storage/QRNLogicalBSDDisk.h"

#include "platform/registry/Registry.h"
#include "storage/QRNIORegistryEntry.h"
#include "support/VariantNumbers.h"

#include <QVariantMap>

namespace {

// Registry Booleans may come as numbers from other providers.
bool isBoolean(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool || isNumeric(value);
}

bool isBSDClient(const QRNIORegistryEntry& entry)
{
    return Registry::shared().className(entry.ioKitHandle()) == QLatin1String("IOMediaBSDClient");
}

} // namespace

QRNLogicalBSDDisk::QRNLogicalBSDDisk(std::shared_ptr<QRNIORegistryEntry> entry)
    : m_serviceEntry(std::move(entry))
{
}

std::shared_ptr<QRNLogicalBSDDisk> QRNLogicalBSDDisk::initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> entry)
{
    if (!entry)
        return nullptr;
    const std::optional<QVariantMap> properties = entry->properties();
    if (!properties)
        return nullptr;
    const QVariant bsdName = properties->value(QStringLiteral("BSD Name"));
    if (bsdName.typeId() != QMetaType::QString)
        return nullptr;
    for (const char* key : {"BSD Unit", "BSD Major", "BSD Minor", "Size"}) {
        if (!isNumeric(properties->value(QLatin1String(key))))
            return nullptr;
    }
    for (const char* key : {"Open", "Writable", "Leaf"}) {
        if (!isBoolean(properties->value(QLatin1String(key))))
            return nullptr;
    }

    std::shared_ptr<QRNLogicalBSDDisk> node(new QRNLogicalBSDDisk(entry));
    node->m_name = bsdName.toString();
    const QVariant uuid = properties->value(QStringLiteral("UUID"));
    if (uuid.typeId() == QMetaType::QString && !QUuid::fromString(uuid.toString()).isNull())
        node->m_uuid = QUuid::fromString(uuid.toString());
    node->m_presentedName = presentedNameFromRegistryName(node->registryName().value_or(QString()));
    node->m_isSealed = properties->value(QStringLiteral("Sealed")).toString().compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;

    if (!properties->value(QStringLiteral("Leaf")).toBool()) {
        // A whole disk carries a partition scheme, whose children are the
        // partitions; a held partition carries the volumes made from it.
        for (const auto& scheme : entry->childServiceEntries()) {
            if (isBSDClient(*scheme))
                continue;
            for (const auto& media : scheme->childServiceEntries()) {
                if (isBSDClient(*media))
                    continue;
                if (auto child = initWithIORegistryEntry(media))
                    node->m_children.push_back(std::move(child));
            }
        }
    } else {
        for (const auto& container : entry->childServiceEntries()) {
            if (container->driverClassName() != QStringLiteral("AppleAPFSContainer"))
                continue;
            if (auto child = initWithIORegistryEntry(container)) {
                child->setIsSnapshot(true);
                node->m_children.push_back(std::move(child));
            }
        }
    }
    return node;
}

QString QRNLogicalBSDDisk::presentedNameFromRegistryName(const QString& registryName)
{
    const qsizetype at = registryName.lastIndexOf(u'@');
    return at < 0 ? registryName : registryName.left(at);
}

std::shared_ptr<QRNLogicalBSDDisk> QRNLogicalBSDDisk::childWithUUID(const QUuid& uuid) const
{
    for (const auto& child : m_children) {
        if (child->m_uuid == uuid)
            return child;
    }
    return nullptr;
}

bool QRNLogicalBSDDisk::isInUse() const
{
    return m_serviceEntry->boolValueWithName(QStringLiteral("Open"));
}

bool QRNLogicalBSDDisk::isWritable() const
{
    return m_serviceEntry->boolValueWithName(QStringLiteral("Writable"));
}

quint64 QRNLogicalBSDDisk::size() const
{
    const qint64 size = m_serviceEntry->integerValueWithName(QStringLiteral("Size"));
    return size < 0 ? 0 : quint64(size);
}

std::optional<QString> QRNLogicalBSDDisk::registryName() const
{
    const QString name = Registry::shared().name(m_serviceEntry->ioKitHandle());
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

QString QRNLogicalBSDDisk::descriptionAtHierarchyLevel(int level) const
{
    const QString uuidText = m_uuid ? u' ' + m_uuid->toString(QUuid::WithoutBraces).toUpper() : QString();
    QString text = QString(level, u'\t')
        + QStringLiteral("<%1>: %2 ('%3')%4, in use: %5 writable: %6 size: %7 sealed: %8 snapshot: %9\n")
              .arg(className(), m_name, m_presentedName, uuidText)
              .arg(int(isInUse()))
              .arg(int(isWritable()))
              .arg(size())
              .arg(m_isSealed ? QStringLiteral("YES") : QStringLiteral("NO"), m_isSnapshot ? QStringLiteral("YES") : QStringLiteral("NO"));
    for (const auto& child : m_children)
        text += child->descriptionAtHierarchyLevel(level + 1);
    return text;
}
