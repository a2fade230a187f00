#include "platform/defaults/PropertyList.h"

#include "platform/defaults/PropertyListLimits.h"
#include "platform/linux/RegularFile.h"
#include "platform/log/Log.h"

#include <QDateTime>
#include <QSaveFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include <unistd.h>

namespace {

// Property-list dates count from 2001-01-01 00:00:00 UTC.
constexpr qint64 ReferenceDateUnixSeconds = 978307200;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPointer = std::unique_ptr<void, PlistDeleter>;

QVariant arrayToVariant(plist_t node)
{
    QVariantList list;
    const uint32_t count = plist_array_get_size(node);
    list.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        list.append(PropertyList::toVariant(plist_array_get_item(node, i)));
    return list;
}

QVariant dictToVariant(plist_t node)
{
    QVariantMap map;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) {
            free(key);
            break;
        }
        map.insert(QString::fromUtf8(key), PropertyList::toVariant(item));
        free(key);
    }
    free(it);
    return map;
}

QVariant dateToVariant(plist_t node)
{
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    // libplist keeps the date as a double and answers the fraction without its
    // sign, rounded down to microseconds; it belongs to the side of the seconds.
    const qint64 fraction = qRound64(std::abs(microseconds) / 1000.0);
    const qint64 milliseconds = qint64(seconds) * 1000 + (seconds < 0 ? -fraction : fraction);
    return QDateTime::fromMSecsSinceEpoch(ReferenceDateUnixSeconds * 1000 + milliseconds, Qt::UTC);
}

plist_t dateToNode(const QDateTime& date)
{
    const qint64 milliseconds = date.toMSecsSinceEpoch() - ReferenceDateUnixSeconds * 1000;
    qint64 seconds = milliseconds / 1000;
    qint64 remainder = milliseconds % 1000;
    if (remainder < 0) {
        --seconds;
        remainder += 1000;
    }
    if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max())
        return nullptr;
    return plist_new_date(static_cast<int32_t>(seconds), static_cast<int32_t>(remainder * 1000));
}

plist_t listToNode(const QVariantList& list)
{
    PlistPointer array(plist_new_array());
    for (const QVariant& value : list) {
        plist_t item = PropertyList::fromVariant(value);
        if (!item)
            return nullptr;
        plist_array_append_item(array.get(), item);
    }
    return array.release();
}

plist_t mapToNode(const QVariantMap& map)
{
    PlistPointer dict(plist_new_dict());
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        plist_t item = PropertyList::fromVariant(it.value());
        if (!item)
            return nullptr;
        plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), item);
    }
    return dict.release();
}

QString indentation(int level)
{
    return QString(level * 4, u' ');
}

bool needsQuotes(const QString& text)
{
    if (text.isEmpty())
        return true;
    for (const QChar c : text) {
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'$' || c == u'/' || c == u':'))
            return true;
    }
    return false;
}

QString quoted(const QString& text)
{
    if (!needsQuotes(text))
        return text;
    QString escaped = text;
    escaped.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\"")).replace(u'\n', QLatin1String("\\n"));
    return u'"' + escaped + u'"';
}

QString describe(const QVariant& value, int level)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        QString text = QStringLiteral("{\n");
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            text += indentation(level + 1) + quoted(it.key()) + QStringLiteral(" = ") + describe(it.value(), level + 1) + QStringLiteral(";\n");
        return text + indentation(level) + u'}';
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        const QVariantList list = value.toList();
        QString text = QStringLiteral("(\n");
        for (qsizetype i = 0; i < list.size(); ++i)
            text += indentation(level + 1) + describe(list.at(i), level + 1) + (i + 1 < list.size() ? QStringLiteral(",\n") : QStringLiteral("\n"));
        return text + indentation(level) + u')';
    }
    case QMetaType::QByteArray:
        return u'<' + QString::fromLatin1(value.toByteArray().toHex()) + u'>';
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDateTime:
        return value.toDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
    case QMetaType::QString:
        return quoted(value.toString());
    default:
        return value.isValid() ? value.toString() : QStringLiteral("(null)");
    }
}

// QSaveFile renames its temporary file into place even when the final flush
// of its buffer failed (a full disk), which would replace a good file by a
// cut-off one: every step up to the data being on disk is checked before the
// commit. Answers the error, empty when all went well.
QString writeAll(QSaveFile& file, const QByteArray& bytes)
{
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    if (::fsync(file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

} // namespace

QVariant PropertyList::toVariant(plist_t node)
{
    if (!node)
        return {};
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value != 0;
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<qint64>(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(text, static_cast<qsizetype>(length));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return QByteArray(bytes, static_cast<qsizetype>(length));
    }
    case PLIST_DATE: return dateToVariant(node);
    case PLIST_ARRAY: return arrayToVariant(node);
    case PLIST_DICT: return dictToVariant(node);
    case PLIST_KEY:
    case PLIST_UID:
    case PLIST_NONE: return {};
    }
    return {};
}

plist_t PropertyList::fromVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Long:
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: return plist_new_real(value.toDouble());
    case QMetaType::QString: return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case QMetaType::QDateTime: return dateToNode(value.toDateTime());
    case QMetaType::QVariantList:
    case QMetaType::QStringList: return listToNode(value.toList());
    case QMetaType::QVariantMap: return mapToNode(value.toMap());
    default: return nullptr;
    }
}

std::optional<QVariant> PropertyList::fromData(const QByteArray& data, QString* reason)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    if (const std::optional<QString> violation = PropertyListLimits::violation(data)) {
        if (reason)
            *reason = *violation;
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &root);
    if (!root)
        return std::nullopt;
    PlistPointer owner(root);
    QVariant value = toVariant(root);
    if (!value.isValid())
        return std::nullopt;
    return value;
}

std::optional<QByteArray> PropertyList::toXML(const QVariant& value)
{
    PlistPointer root(fromVariant(value));
    if (!root)
        return std::nullopt;
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml)
        return std::nullopt;
    QByteArray result(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);
    return result;
}

std::optional<QVariant> PropertyList::readFile(const QString& path)
{
    RegularFile::Failure failure = RegularFile::Failure::None;
    const std::optional<QByteArray> bytes = RegularFile::read(path, MaximumFileSize, &failure);
    if (!bytes) {
        Log::error("%{public}@: could not read property list '%{public}@': it %{public}@.",
            {QStringLiteral("PropertyList"), path, RegularFile::describe(failure, MaximumFileSize)});
        return std::nullopt;
    }
    QString reason = QStringLiteral("it is not a property list");
    std::optional<QVariant> value = fromData(*bytes, &reason);
    if (!value)
        Log::error("%{public}@: could not read '%{public}@': %{public}@.", {QStringLiteral("PropertyList"), path, reason});
    return value;
}

bool PropertyList::writeFile(const QString& path, const QVariant& value)
{
    const std::optional<QByteArray> xml = toXML(value);
    if (!xml) {
        Log::error("%{public}@: value for '%{public}@' has no property-list form.", {QStringLiteral("PropertyList"), path});
        return false;
    }
    QSaveFile file(path);
    const QString error = writeAll(file, *xml);
    if (!error.isEmpty()) {
        file.cancelWriting();
        Log::error("%{public}@: could not write property list '%{public}@': %{public}@.", {QStringLiteral("PropertyList"), path, error});
        return false;
    }
    if (!file.commit()) {
        Log::error("%{public}@: could not write property list '%{public}@': %{public}@.", {QStringLiteral("PropertyList"), path, file.errorString()});
        return false;
    }
    return true;
}

QString PropertyList::description(const QVariant& value)
{
    return describe(value, 0);
}
