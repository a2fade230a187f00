#include "extension/TransferPayload.h"

#include "extension/VLPAppleSiliconSensorEntry.h"
#include "extension/VLPFanEntry.h"
#include "extension/VLPPowerGadgetEntry.h"
#include "extension/VLPProcessEntry.h"
#include "extension/VLPProcessInstrumentEntry.h"
#include "extension/VLPSensorInstrumentEntry.h"
#include "platform/archive/KeyedDecoder.h"

namespace {

const ArchivedClassTable& recordClasses()
{
    static const ArchivedClassTable table = [] {
        const QStringList base {QLatin1String(VLPTransferEntry::ClassName), QStringLiteral("NSObject")};
        ArchivedClassTable classes;
        classes.insert(QLatin1String(VLPTransferEntry::ClassName), {{QStringLiteral("NSObject")}, &VLPTransferEntry::decode});
        classes.insert(QLatin1String(VLPSensorInstrumentEntry::ClassName), {base, &VLPSensorInstrumentEntry::decode});
        classes.insert(QLatin1String(VLPFanEntry::ClassName), {base, &VLPFanEntry::decode});
        classes.insert(QLatin1String(VLPPowerGadgetEntry::ClassName), {base, &VLPPowerGadgetEntry::decode});
        classes.insert(QLatin1String(VLPAppleSiliconSensorEntry::ClassName), {base, &VLPAppleSiliconSensorEntry::decode});
        classes.insert(QLatin1String(VLPProcessInstrumentEntry::ClassName), {base, &VLPProcessInstrumentEntry::decode});
        classes.insert(QLatin1String(VLPProcessEntry::ClassName), {base, &VLPProcessEntry::decode});
        return classes;
    }();
    return table;
}

}

std::optional<QVariantMap> TransferPayload::decode(QByteArrayView payload, QString* error)
{
    const QStringList topLevel {QStringLiteral("NSDictionary"), QStringLiteral("NSString"), QLatin1String(VLPTransferEntry::ClassName)};
    const std::optional<QVariant> root = KeyedDecoder::decodeRoot(payload, recordClasses(), topLevel, error);
    if (!root)
        return std::nullopt;
    if (root->typeId() != QMetaType::QVariantMap) {
        if (error)
            *error = QStringLiteral("the archive's root is no dictionary");
        return std::nullopt;
    }
    return root->toMap();
}

QString TransferPayload::description(const QVariantMap& dataSet)
{
    QString text;
    for (auto value = dataSet.cbegin(); value != dataSet.cend(); ++value) {
        if (const TransferEntryPointer entry = transferEntry<VLPTransferEntry>(value.value()))
            text += entry->description();
        else
            text += QStringLiteral("%1: %2\n").arg(value.key(), value.value().toString());
    }
    return text;
}
