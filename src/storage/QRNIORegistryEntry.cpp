#include "storage/QRNIORegistryEntry.h"

#include "platform/defaults/PropertyList.h"
#include "platform/registry/Registry.h"
#include "support/VariantNumbers.h"

namespace {

QRNIORegistryEntry::EntryList wrapped(const std::vector<Registry::EntryID>& ids)
{
    QRNIORegistryEntry::EntryList entries;
    for (const Registry::EntryID id : ids) {
        if (auto entry = QRNIORegistryEntry::initWithIOKitHandle(id))
            entries.push_back(std::move(entry));
    }
    return entries;
}

QString servicePlane()
{
    return QString::fromLatin1(Registry::ServicePlane);
}

} // namespace

QRNIORegistryEntry::QRNIORegistryEntry(quint32 handle)
    : m_handle(handle)
{
}

std::shared_ptr<QRNIORegistryEntry> QRNIORegistryEntry::initWithIOKitHandle(quint32 handle)
{
    if (handle == 0)
        return nullptr;
    return std::shared_ptr<QRNIORegistryEntry>(new QRNIORegistryEntry(handle));
}

std::optional<QRNIORegistryEntry::EntryList> QRNIORegistryEntry::serviceObjectsMatchingName(const QString& className)
{
    if (className.isEmpty())
        return std::nullopt;
    return wrapped(Registry::shared().servicesOfClass(className));
}

std::optional<QRNIORegistryEntry::EntryList> QRNIORegistryEntry::serviceObjectsContainingPropertyWithKey(const QString& key)
{
    if (key.isEmpty())
        return std::nullopt;
    const Registry& registry = Registry::shared();
    std::vector<Registry::EntryID> matching;
    for (const Registry::EntryID id : registry.serviceEntries()) {
        const std::optional<QVariantMap> properties = registry.properties(id);
        if (properties && properties->contains(key))
            matching.push_back(id);
    }
    return wrapped(matching);
}

std::shared_ptr<QRNIORegistryEntry> QRNIORegistryEntry::registryEntryInPlane(const QString& plane, const QString& path)
{
    if (plane.isEmpty() || path.isEmpty())
        return nullptr;
    return initWithIOKitHandle(Registry::shared().entryAtPath(plane, path));
}

std::shared_ptr<QRNIORegistryEntry> QRNIORegistryEntry::parentServiceEntry() const
{
    return initWithIOKitHandle(Registry::shared().parent(m_handle, servicePlane()));
}

QRNIORegistryEntry::EntryList QRNIORegistryEntry::parentServiceEntries() const
{
    return wrapped(Registry::shared().parents(m_handle, servicePlane()));
}

QRNIORegistryEntry::EntryList QRNIORegistryEntry::childServiceEntries() const
{
    return wrapped(Registry::shared().children(m_handle, servicePlane()));
}

std::shared_ptr<QRNIORegistryEntry> QRNIORegistryEntry::childServiceEntry() const
{
    const std::vector<Registry::EntryID> children = Registry::shared().children(m_handle, servicePlane());
    return children.empty() ? nullptr : initWithIOKitHandle(children.front());
}

std::optional<QVariantMap> QRNIORegistryEntry::properties() const
{
    return Registry::shared().properties(m_handle);
}

QVariant QRNIORegistryEntry::value(const QString& key) const
{
    return Registry::shared().property(m_handle, key).value_or(QVariant());
}

bool QRNIORegistryEntry::hasValueWithName(const QString& key) const
{
    return Registry::shared().property(m_handle, key).has_value();
}

std::optional<QVariantMap> QRNIORegistryEntry::dictionaryValueWithName(const QString& key) const
{
    const QVariant property = value(key);
    if (property.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return property.toMap();
}

std::optional<QString> QRNIORegistryEntry::stringValueWithName(const QString& key) const
{
    return stringOf(value(key));
}

std::optional<QString> QRNIORegistryEntry::stringOf(const QVariant& property)
{
    if (property.typeId() == QMetaType::QString)
        return property.toString();
    if (property.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = property.toByteArray();
        const qsizetype end = bytes.indexOf('\0');
        return QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
    }
    return std::nullopt;
}

qint64 QRNIORegistryEntry::integerValueWithName(const QString& key) const
{
    const QVariant property = value(key);
    return isNumeric(property) ? property.toLongLong() : -1;
}

bool QRNIORegistryEntry::boolValueWithName(const QString& key) const
{
    const QVariant property = value(key);
    return property.typeId() == QMetaType::Bool && property.toBool();
}

std::optional<QVariantList> QRNIORegistryEntry::arrayValueWithName(const QString& key) const
{
    const QVariant property = value(key);
    if (!PropertyList::isArray(property))
        return std::nullopt;
    return property.toList();
}

std::optional<QString> QRNIORegistryEntry::driverClassName() const
{
    const Registry& registry = Registry::shared();
    Registry::EntryID id = m_handle;
    std::optional<QVariantMap> properties = registry.properties(id);
    while (properties && !properties->contains(QStringLiteral("CFBundleIdentifier"))) {
        const Registry::EntryID above = registry.parent(id, servicePlane());
        if (above == 0)
            break;
        id = above;
        properties = registry.properties(id);
    }
    const QVariant ioClass = properties ? properties->value(QStringLiteral("IOClass")) : QVariant();
    if (ioClass.typeId() != QMetaType::QString)
        return std::nullopt;
    return ioClass.toString();
}

QString QRNIORegistryEntry::description() const
{
    const std::optional<QVariantMap> all = properties();
    return QStringLiteral("%1: %2\n").arg(className(), all ? PropertyList::description(*all) : QStringLiteral("(null)"));
}
