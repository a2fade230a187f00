#include "platform/bundle/BundleResources.h"

#include "platform/defaults/PropertyList.h"
#include "platform/log/Log.h"

#include <QFile>

// The resources live in a static library: calling their initialiser keeps the
// linker from dropping them. Q_INIT_RESOURCE must be used outside a namespace.
static void initializeBundleResources()
{
    Q_INIT_RESOURCE(resources);
}

std::optional<QVariant> BundleResources::propertyListNamed(const QString& name)
{
    static const bool initialized = (initializeBundleResources(), true);
    Q_UNUSED(initialized);
    QFile file(QStringLiteral(":/%1.plist").arg(name));
    if (!file.open(QIODevice::ReadOnly)) {
        Log::error("%{public}@: resource '%{public}@' is missing.", {QStringLiteral("BundleResources"), name});
        return std::nullopt;
    }
    auto value = PropertyList::fromData(file.readAll());
    if (!value)
        Log::error("%{public}@: resource '%{public}@' is not a property list.", {QStringLiteral("BundleResources"), name});
    return value;
}
