#include "platform/registry/FixtureRegistry.h"

#include "platform/defaults/PropertyList.h"
#include "platform/log/Log.h"

namespace {

const QString ClassName = QStringLiteral("FixtureRegistry");

bool isText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString;
}

} // namespace

std::unique_ptr<FixtureRegistry> FixtureRegistry::fromFile(const QString& path)
{
    const std::optional<QVariant> root = PropertyList::readFile(path);
    if (!root)
        return nullptr;
    return fromPropertyList(*root);
}

std::unique_ptr<FixtureRegistry> FixtureRegistry::fromPropertyList(const QVariant& root)
{
    if (root.typeId() != QMetaType::QVariantMap) {
        Log::error("%{public}@: the root entry is not a dictionary.", {ClassName});
        return nullptr;
    }
    std::unique_ptr<FixtureRegistry> registry(new FixtureRegistry);
    if (registry->addEntry(root.toMap(), 0) == 0)
        return nullptr;
    if (!registry->linkPowerPlane())
        return nullptr;
    return registry;
}

Registry::EntryID FixtureRegistry::addEntry(const QVariantMap& description, EntryID parent)
{
    const QVariant name = description.value(QStringLiteral("name"));
    const QVariant className = description.value(QStringLiteral("class"));
    if (!isText(name) || !isText(className)) {
        Log::error("%{public}@: an entry below '%{public}@' lacks a name or a class.", {ClassName, parent ? m_entries[parent - 1].name : QStringLiteral("(root)")});
        return 0;
    }
    const QVariant properties = description.value(QStringLiteral("properties"), QVariantMap());
    if (properties.typeId() != QMetaType::QVariantMap) {
        Log::error("%{public}@: the properties of '%{public}@' are not a dictionary.", {ClassName, name});
        return 0;
    }

    Entry entry;
    entry.name = name.toString();
    entry.properties = properties.toMap();
    entry.properties.insert(QStringLiteral("IOClass"), className);
    entry.serviceParent = parent;
    m_entries.push_back(entry);
    const EntryID id = static_cast<EntryID>(m_entries.size());
    if (parent != 0)
        m_entries[parent - 1].serviceChildren.push_back(id);

    const QVariant label = description.value(QStringLiteral("label"));
    if (label.isValid()) {
        if (!isText(label) || m_labels.contains(label.toString())) {
            Log::error("%{public}@: label of '%{public}@' is not a unique text.", {ClassName, name});
            return 0;
        }
        m_labels.insert(label.toString(), id);
    }
    const QVariant power = description.value(QStringLiteral("power"));
    if (power.isValid())
        m_powerLabels.insert(id, power.toStringList());

    for (const QVariant& child : description.value(QStringLiteral("children")).toList()) {
        if (child.typeId() != QMetaType::QVariantMap) {
            Log::error("%{public}@: a child of '%{public}@' is not a dictionary.", {ClassName, name});
            return 0;
        }
        if (addEntry(child.toMap(), id) == 0)
            return 0;
    }
    return id;
}

bool FixtureRegistry::linkPowerPlane()
{
    for (auto it = m_powerLabels.cbegin(); it != m_powerLabels.cend(); ++it) {
        for (const QString& label : it.value()) {
            const EntryID child = m_labels.value(label);
            if (child == 0 || m_entries[child - 1].powerParent != 0) {
                Log::error("%{public}@: power child '%{public}@' is unknown or has two parents.", {ClassName, label});
                return false;
            }
            m_entries[child - 1].powerParent = it.key();
            m_entries[it.key() - 1].powerChildren.push_back(child);
        }
    }
    return true;
}

const FixtureRegistry::Entry* FixtureRegistry::live(EntryID entry) const
{
    if (entry == 0 || entry > m_entries.size() || !m_entries[entry - 1].present)
        return nullptr;
    return &m_entries[entry - 1];
}

QString FixtureRegistry::name(EntryID entry) const
{
    const Entry* e = live(entry);
    return e ? e->name : QString();
}

QString FixtureRegistry::className(EntryID entry) const
{
    const Entry* e = live(entry);
    return e ? e->properties.value(QStringLiteral("IOClass")).toString() : QString();
}

std::optional<QVariantMap> FixtureRegistry::properties(EntryID entry) const
{
    const Entry* e = live(entry);
    if (!e)
        return std::nullopt;
    return e->properties;
}

Registry::EntryID FixtureRegistry::parent(EntryID entry, const QString& plane) const
{
    const Entry* e = live(entry);
    if (!e)
        return 0;
    const EntryID above = plane == QLatin1String(PowerPlane) ? e->powerParent : plane == QLatin1String(ServicePlane) ? e->serviceParent : 0;
    return live(above) ? above : 0;
}

std::vector<Registry::EntryID> FixtureRegistry::children(EntryID entry, const QString& plane) const
{
    const Entry* e = live(entry);
    if (!e)
        return {};
    std::vector<EntryID> present;
    const std::vector<EntryID> none;
    const std::vector<EntryID>& all = plane == QLatin1String(PowerPlane) ? e->powerChildren : plane == QLatin1String(ServicePlane) ? e->serviceChildren : none;
    for (const EntryID child : all) {
        if (live(child))
            present.push_back(child);
    }
    return present;
}

bool FixtureRegistry::setProperty(EntryID entry, const QString& key, const QVariant& value)
{
    if (!live(entry))
        return false;
    m_entries[entry - 1].properties.insert(key, value);
    return true;
}

void FixtureRegistry::removeEntry(EntryID entry)
{
    if (!live(entry))
        return;
    m_entries[entry - 1].present = false;
    for (const EntryID child : m_entries[entry - 1].serviceChildren)
        removeEntry(child);
}
