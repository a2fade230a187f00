#pragma once

#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

// One entry of the device registry (Registry::shared()). Holds nothing but the
// entry's id: every read asks the registry again, so statistics stay fresh,
// and an entry that went away answers none, false or -1. Ids are never
// reused, so holding one needs no reference counting.
class QRNIORegistryEntry {
public:
    using EntryList = std::vector<std::shared_ptr<QRNIORegistryEntry>>;

    // Null when the handle is 0.
    static std::shared_ptr<QRNIORegistryEntry> initWithIOKitHandle(quint32 handle);

    // All services of exactly that class, in registry order; none for an empty name.
    static std::optional<EntryList> serviceObjectsMatchingName(const QString& className);
    // Every entry of the "IOService" plane that has a property with that key;
    // none for an empty key.
    static std::optional<EntryList> serviceObjectsContainingPropertyWithKey(const QString& key);
    // The entry at plane:path (for example "IOService", "/Root/..."), or null.
    static std::shared_ptr<QRNIORegistryEntry> registryEntryInPlane(const QString& plane, const QString& path);

    quint32 ioKitHandle() const { return m_handle; }
    std::shared_ptr<QRNIORegistryEntry> parentServiceEntry() const;
    std::shared_ptr<QRNIORegistryEntry> childServiceEntry() const;
    // Every parent, for an entry made from several (a pool on two disks).
    EntryList parentServiceEntries() const;
    EntryList childServiceEntries() const;

    std::optional<QVariantMap> properties() const;
    bool hasValueWithName(const QString& key) const;
    // A text as it is; raw bytes up to their first NUL, as UTF-8; none otherwise.
    std::optional<QString> stringValueWithName(const QString& key) const;
    // A property as text: a string, or bytes up to their first NUL; none for other types.
    static std::optional<QString> stringOf(const QVariant& property);
    // -1 when missing or not a number.
    qint64 integerValueWithName(const QString& key) const;
    // False when missing or not a Boolean.
    bool boolValueWithName(const QString& key) const;
    std::optional<QVariantList> arrayValueWithName(const QString& key) const;
    std::optional<QVariantMap> dictionaryValueWithName(const QString& key) const;
    // The "IOClass" of the nearest entry, this one or an "IOService" ancestor,
    // that has a "CFBundleIdentifier"; without one, that of the topmost
    // ancestor; none when that is not a text.
    std::optional<QString> driverClassName() const;

    QString description() const;
    QString className() const { return QStringLiteral("QRNIORegistryEntry"); }

private:
    explicit QRNIORegistryEntry(quint32 handle);
    QVariant value(const QString& key) const;

    quint32 m_handle;
};
