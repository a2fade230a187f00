#include "platform/archive/KeyedDecoder.h"

#include "platform/defaults/PropertyListLimits.h"

#include <memory>

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

// By pointer and length: a string may hold a zero byte, which libplist's
// copying accessor asserts against.
QString stringValue(plist_t node)
{
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? QString::fromUtf8(text, qsizetype(length)) : QString();
}

// Built-in classes and their superclasses.
const QHash<QString, QString>& builtInSuperclasses()
{
    static const QHash<QString, QString> table {
        {QStringLiteral("NSString"), QStringLiteral("NSObject")},
        {QStringLiteral("NSMutableString"), QStringLiteral("NSString")},
        {QStringLiteral("NSNumber"), QStringLiteral("NSObject")},
        {QStringLiteral("NSArray"), QStringLiteral("NSObject")},
        {QStringLiteral("NSMutableArray"), QStringLiteral("NSArray")},
        {QStringLiteral("NSDictionary"), QStringLiteral("NSObject")},
        {QStringLiteral("NSMutableDictionary"), QStringLiteral("NSDictionary")},
    };
    return table;
}

bool isNumber(plist_type type)
{
    return type == PLIST_UINT || type == PLIST_REAL || type == PLIST_BOOLEAN;
}

}

KeyedDecoder::KeyedDecoder(plist_t objects, const ArchivedClassTable& classes)
    : m_objects(objects)
    , m_classes(classes)
{
}

std::optional<QVariant> KeyedDecoder::decodeRoot(QByteArrayView archive, const ArchivedClassTable& classes,
    const QStringList& allowedClasses, QString* error)
{
    const auto failure = [error](const QString& reason) -> std::optional<QVariant> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (archive.isEmpty())
        return failure(QStringLiteral("the archive is empty"));
    if (archive.size() > MaximumArchiveSize)
        return failure(QStringLiteral("the archive is larger than %1 bytes").arg(MaximumArchiveSize));
    if (const std::optional<QString> violation = PropertyListLimits::violation(archive))
        return failure(QStringLiteral("the archive is refused: %1").arg(*violation));
    plist_t parsed = nullptr;
    plist_from_memory(archive.data(), uint32_t(archive.size()), &parsed);
    const PlistHandle root(parsed);
    if (!parsed || plist_get_node_type(parsed) != PLIST_DICT)
        return failure(QStringLiteral("the data is no property list with a dictionary at its top"));

    plist_t archiver = plist_dict_get_item(parsed, "$archiver");
    if (!archiver || plist_get_node_type(archiver) != PLIST_STRING || stringValue(archiver) != u"NSKeyedArchiver")
        return failure(QStringLiteral("the archive was not written by a keyed archiver"));
    plist_t version = plist_dict_get_item(parsed, "$version");
    uint64_t versionNumber = 0;
    if (version && plist_get_node_type(version) == PLIST_UINT)
        plist_get_uint_val(version, &versionNumber);
    if (versionNumber != 100000)
        return failure(QStringLiteral("the archive's version is not 100000"));
    plist_t objects = plist_dict_get_item(parsed, "$objects");
    if (!objects || plist_get_node_type(objects) != PLIST_ARRAY)
        return failure(QStringLiteral("the archive has no object table"));
    plist_t top = plist_dict_get_item(parsed, "$top");
    plist_t reference = top && plist_get_node_type(top) == PLIST_DICT ? plist_dict_get_item(top, "root") : nullptr;
    if (!reference || plist_get_node_type(reference) != PLIST_UID)
        return failure(QStringLiteral("the archive names no root object"));

    KeyedDecoder decoder(objects, classes);
    const QVariant value = decoder.decodeReference(reference, allowedClasses);
    if (decoder.hasFailed())
        return failure(decoder.m_error);
    return value;
}

void KeyedDecoder::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason;
}

bool KeyedDecoder::isAllowed(const QString& className, const QStringList& allowedClasses) const
{
    QString name = className;
    // Walks up the superclasses this program knows; the chain is short and
    // fixed, the bound only guards against a table that loops.
    for (int step = 0; step < 16 && !name.isEmpty(); ++step) {
        if (allowedClasses.contains(name))
            return true;
        const auto registered = m_classes.constFind(name);
        if (registered != m_classes.cend())
            name = registered->superclasses.value(0);
        else
            name = builtInSuperclasses().value(name);
    }
    return false;
}

QVariant KeyedDecoder::decodeReference(plist_t reference, const QStringList& allowedClasses)
{
    if (plist_get_node_type(reference) != PLIST_UID) {
        fail(QStringLiteral("an object reference is no UID"));
        return {};
    }
    uint64_t uid = 0;
    plist_get_uid_val(reference, &uid);
    return decodeObjectAt(uid, allowedClasses);
}

QVariant KeyedDecoder::decodeObjectAt(quint64 uid, const QStringList& allowedClasses)
{
    if (hasFailed() || uid == 0)  // 0 is "$null", the absent object
        return {};
    if (uid >= plist_array_get_size(m_objects)) {
        fail(QStringLiteral("object %1 is not in the object table").arg(uid));
        return {};
    }
    plist_t object = plist_array_get_item(m_objects, uint32_t(uid));
    const plist_type type = plist_get_node_type(object);
    if (type == PLIST_STRING) {
        if (!isAllowed(QStringLiteral("NSString"), allowedClasses))
            fail(QStringLiteral("a string where only %1 may stand").arg(allowedClasses.join(u", ")));
        return stringValue(object);
    }
    if (isNumber(type)) {
        if (!isAllowed(QStringLiteral("NSNumber"), allowedClasses)) {
            fail(QStringLiteral("a number where only %1 may stand").arg(allowedClasses.join(u", ")));
            return {};
        }
        if (type == PLIST_BOOLEAN)
            return plist_bool_val_is_true(object) != 0;
        if (type == PLIST_REAL) {
            double value = 0;
            plist_get_real_val(object, &value);
            return value;
        }
        uint64_t value = 0;
        plist_get_uint_val(object, &value);
        return qint64(value);
    }
    if (type != PLIST_DICT) {
        fail(QStringLiteral("object %1 is of a kind a keyed archive does not hold").arg(uid));
        return {};
    }

    plist_t classReference = plist_dict_get_item(object, "$class");
    uint64_t classUID = 0;
    if (!classReference || plist_get_node_type(classReference) != PLIST_UID) {
        fail(QStringLiteral("object %1 names no class").arg(uid));
        return {};
    }
    plist_get_uid_val(classReference, &classUID);
    plist_t description = classUID < plist_array_get_size(m_objects) ? plist_array_get_item(m_objects, uint32_t(classUID)) : nullptr;
    plist_t classNameNode = description && plist_get_node_type(description) == PLIST_DICT
        ? plist_dict_get_item(description, "$classname")
        : nullptr;
    if (!classNameNode || plist_get_node_type(classNameNode) != PLIST_STRING) {
        fail(QStringLiteral("object %1 has a malformed class description").arg(uid));
        return {};
    }
    const QString className = stringValue(classNameNode);
    if (!isAllowed(className, allowedClasses)) {
        fail(QStringLiteral("class %1 is not allowed where only %2 may stand").arg(className, allowedClasses.join(u", ")));
        return {};
    }
    if (m_inProgress.contains(uid)) {
        fail(QStringLiteral("object %1 contains itself").arg(uid));
        return {};
    }
    if (m_depth >= MaximumDepth) {
        fail(QStringLiteral("objects are nested more than %1 levels deep").arg(MaximumDepth));
        return {};
    }

    m_inProgress.insert(uid);
    ++m_depth;
    plist_t outer = m_current;
    m_current = object;
    QVariant value;
    const auto registered = m_classes.constFind(className);
    if (registered != m_classes.cend()) {
        value = registered->decode(*this);
        if (!value.isValid())
            fail(QStringLiteral("object %1 of class %2 could not be decoded").arg(uid).arg(className));
    } else {
        value = decodeCollection(className, object, allowedClasses);
    }
    m_current = outer;
    --m_depth;
    m_inProgress.remove(uid);
    return hasFailed() ? QVariant() : value;
}

QVariant KeyedDecoder::decodeCollection(const QString& className, plist_t object, const QStringList& allowedClasses)
{
    const auto members = [&](const char* key) -> plist_t {
        plist_t list = plist_dict_get_item(object, key);
        if (!list || plist_get_node_type(list) != PLIST_ARRAY) {
            fail(QStringLiteral("a %1 without its \"%2\" list").arg(className, QLatin1String(key)));
            return nullptr;
        }
        return list;
    };
    if (isAllowed(className, {QStringLiteral("NSString")})) {
        plist_t text = plist_dict_get_item(object, "NS.string");
        if (!text || plist_get_node_type(text) != PLIST_STRING) {
            fail(QStringLiteral("a %1 without its text").arg(className));
            return {};
        }
        return stringValue(text);
    }
    if (isAllowed(className, {QStringLiteral("NSArray")})) {
        plist_t list = members("NS.objects");
        QVariantList result;
        for (uint32_t index = 0; list && index < plist_array_get_size(list) && !hasFailed(); ++index)
            result.append(decodeReference(plist_array_get_item(list, index), allowedClasses));
        return result;
    }
    if (isAllowed(className, {QStringLiteral("NSDictionary")})) {
        plist_t keys = members("NS.keys");
        plist_t values = members("NS.objects");
        if (!keys || !values)
            return {};
        if (plist_array_get_size(keys) != plist_array_get_size(values)) {
            fail(QStringLiteral("a dictionary with %1 keys and %2 values").arg(plist_array_get_size(keys)).arg(plist_array_get_size(values)));
            return {};
        }
        QVariantMap result;
        for (uint32_t index = 0; index < plist_array_get_size(keys) && !hasFailed(); ++index) {
            const QVariant key = decodeReference(plist_array_get_item(keys, index), allowedClasses);
            if (!hasFailed() && key.typeId() != QMetaType::QString) {
                fail(QStringLiteral("a dictionary key that is no string"));
                break;
            }
            result.insert(key.toString(), decodeReference(plist_array_get_item(values, index), allowedClasses));
        }
        return result;
    }
    fail(QStringLiteral("class %1 is not known").arg(className));
    return {};
}

plist_t KeyedDecoder::field(const char* key) const
{
    return m_current ? plist_dict_get_item(m_current, key) : nullptr;
}

bool KeyedDecoder::containsValueForKey(const char* key) const
{
    return field(key) != nullptr;
}

bool KeyedDecoder::decodeBool(const char* key)
{
    plist_t value = field(key);
    if (!value)
        return false;
    if (plist_get_node_type(value) == PLIST_BOOLEAN)
        return plist_bool_val_is_true(value) != 0;
    if (plist_get_node_type(value) == PLIST_UINT)
        return decodeInt64(key) != 0;
    fail(QStringLiteral("\"%1\" is no boolean").arg(QLatin1String(key)));
    return false;
}

double KeyedDecoder::decodeDouble(const char* key)
{
    plist_t value = field(key);
    if (!value)
        return 0;
    if (plist_get_node_type(value) == PLIST_REAL) {
        double number = 0;
        plist_get_real_val(value, &number);
        return number;
    }
    if (plist_get_node_type(value) == PLIST_UINT)
        return double(decodeInt64(key));
    fail(QStringLiteral("\"%1\" is no number").arg(QLatin1String(key)));
    return 0;
}

qint64 KeyedDecoder::decodeInt64(const char* key)
{
    plist_t value = field(key);
    if (!value)
        return 0;
    if (plist_get_node_type(value) == PLIST_UINT) {
        uint64_t number = 0;
        plist_get_uint_val(value, &number);
        return qint64(number);
    }
    if (plist_get_node_type(value) == PLIST_BOOLEAN)
        return plist_bool_val_is_true(value) ? 1 : 0;
    fail(QStringLiteral("\"%1\" is no integer").arg(QLatin1String(key)));
    return 0;
}

QVariant KeyedDecoder::decodeObject(const char* key, const QStringList& allowedClasses)
{
    plist_t value = field(key);
    if (!value)
        return {};
    return decodeReference(value, allowedClasses);
}

QString KeyedDecoder::decodeString(const char* key)
{
    return decodeObject(key, {QStringLiteral("NSString")}).toString();
}
