#include "platform/registry/Registry.h"

#include "platform/registry/ActivityCounterFiles.h"

#include "platform/registry/LinuxRegistry.h"

#include <QStringList>

#include <mutex>

namespace {

struct SharedRegistry {
    std::mutex mutex;
    std::unique_ptr<Registry> registry;
};

SharedRegistry& sharedRegistry()
{
    static SharedRegistry s;
    return s;
}

} // namespace

std::unique_ptr<ActivityCounterFiles> Registry::activityCounterFiles(EntryID) const
{
    return nullptr;
}

std::optional<DiskStatistics> Registry::diskStatistics(EntryID entry) const
{
    const std::optional<QVariant> statistics = property(entry, QStringLiteral("Statistics"));
    if (!statistics || statistics->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return DiskStatistics::fromDictionary(statistics->toMap());
}

std::optional<QVariant> Registry::property(EntryID entry, const QString& key) const
{
    const std::optional<QVariantMap> all = properties(entry);
    if (!all)
        return std::nullopt;
    const auto found = all->constFind(key);
    if (found == all->cend())
        return std::nullopt;
    return *found;
}

std::vector<Registry::EntryID> Registry::parents(EntryID entry, const QString& plane) const
{
    const EntryID above = parent(entry, plane);
    return above == 0 ? std::vector<EntryID>() : std::vector<EntryID>{above};
}

std::vector<Registry::EntryID> Registry::serviceEntries() const
{
    std::vector<EntryID> entries;
    std::vector<EntryID> pending{root()};
    while (!pending.empty()) {
        const EntryID entry = pending.back();
        pending.pop_back();
        entries.push_back(entry);
        const std::vector<EntryID> below = children(entry, QString::fromLatin1(ServicePlane));
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
    return entries;
}

std::vector<Registry::EntryID> Registry::servicesOfClass(const QString& className) const
{
    std::vector<EntryID> matching;
    for (const EntryID entry : serviceEntries()) {
        if (this->className(entry) == className)
            matching.push_back(entry);
    }
    return matching;
}

Registry::EntryID Registry::entryAtPath(const QString& plane, const QString& path) const
{
    if (!path.startsWith(u'/'))
        return 0;
    EntryID entry = root();
    for (const QString& component : path.split(u'/', Qt::SkipEmptyParts)) {
        EntryID next = 0;
        for (const EntryID child : children(entry, plane)) {
            if (name(child) == component) {
                next = child;
                break;
            }
        }
        if (next == 0)
            return 0;
        entry = next;
    }
    return entry;
}

Registry& Registry::shared()
{
    SharedRegistry& s = sharedRegistry();
    std::lock_guard lock(s.mutex);
    if (!s.registry)
        s.registry = std::make_unique<LinuxRegistry>();
    return *s.registry;
}

void Registry::setShared(std::unique_ptr<Registry> registry)
{
    SharedRegistry& s = sharedRegistry();
    std::lock_guard lock(s.mutex);
    s.registry = std::move(registry);
}
