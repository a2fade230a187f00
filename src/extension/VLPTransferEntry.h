#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <memory>

class KeyedDecoder;

// The base of every record the app extension sends; the class name is part
// of the archive, so each record class keeps its name exactly.
class VLPTransferEntry {
public:
    static constexpr char ClassName[] = "VLPTransferEntry";

    VLPTransferEntry() = default;
    virtual ~VLPTransferEntry() = default;

    virtual QString className() const { return QLatin1String(ClassName); }
    // "<class> version N\n"; subclasses append their own fields.
    virtual QString description() const;
    static QVariant decode(KeyedDecoder& decoder);

    // Set to 1 on plain creation, whatever "Version" held when decoded.
    quint64 version = 1;

protected:
    // Decodes the base fields; subclasses call it first.
    void decodeBaseFields(KeyedDecoder& decoder);
};

using TransferEntryPointer = std::shared_ptr<const VLPTransferEntry>;
Q_DECLARE_METATYPE(TransferEntryPointer)

// The record of a class held in a decoded value, or null when the value holds
// no record or one of another class.
template<typename Entry>
std::shared_ptr<const Entry> transferEntry(const QVariant& value)
{
    if (!value.canConvert<TransferEntryPointer>())
        return nullptr;
    return std::dynamic_pointer_cast<const Entry>(value.value<TransferEntryPointer>());
}
