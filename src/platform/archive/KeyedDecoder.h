#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

#include <plist/plist.h>

class KeyedDecoder;

// A class the decoder may meet in an archive: the names of its superclasses
// (nearest first) and how its fields are decoded. A decode function that
// answers an invalid QVariant fails the whole archive.
struct ArchivedClass {
    QStringList superclasses;
    std::function<QVariant(KeyedDecoder&)> decode;
};
using ArchivedClassTable = QHash<QString, ArchivedClass>;

// Reads a keyed archive (binary or XML property list with "$archiver",
// "$version", "$top" and "$objects") with secure-coding rules: every object
// is decoded only when its class, or one of its superclasses as this program
// knows them (never as the archive claims), is among the classes the caller
// allows at that place; anything else fails the whole archive.
//
// Built-in classes: strings (plain or NSString/NSMutableString objects) as
// QString, numbers (plain integers, reals and booleans, class "NSNumber")
// as qint64, double or bool, NSArray/NSMutableArray as QVariantList and
// NSDictionary/NSMutableDictionary with string keys as QVariantMap. A
// collection's members are checked against the same allowed classes.
class KeyedDecoder {
public:
    // Archives far larger than any payload are refused before parsing.
    static constexpr qsizetype MaximumArchiveSize = 16 * 1024 * 1024;
    // Deeper nesting is refused rather than followed on the stack.
    static constexpr int MaximumDepth = 32;

    // The root object ("$top" → "root"); none with the reason when the
    // archive is malformed or holds a class not allowed.
    static std::optional<QVariant> decodeRoot(QByteArrayView archive, const ArchivedClassTable& classes,
        const QStringList& allowedClasses, QString* error = nullptr);

    // Inside a decode function: the fields of the object being decoded.
    // A missing key gives false, 0 or an invalid QVariant; a value of the
    // wrong type fails the archive.
    bool containsValueForKey(const char* key) const;
    bool decodeBool(const char* key);
    double decodeDouble(const char* key);
    qint64 decodeInt64(const char* key);
    QVariant decodeObject(const char* key, const QStringList& allowedClasses);
    QString decodeString(const char* key);

    void fail(const QString& reason);
    bool hasFailed() const { return !m_error.isEmpty(); }

private:
    KeyedDecoder(plist_t objects, const ArchivedClassTable& classes);
    QVariant decodeReference(plist_t reference, const QStringList& allowedClasses);
    QVariant decodeObjectAt(quint64 uid, const QStringList& allowedClasses);
    bool isAllowed(const QString& className, const QStringList& allowedClasses) const;
    QVariant decodeCollection(const QString& className, plist_t object, const QStringList& allowedClasses);
    plist_t field(const char* key) const;

    plist_t m_objects;
    const ArchivedClassTable& m_classes;
    plist_t m_current = nullptr;
    QSet<quint64> m_inProgress;
    int m_depth = 0;
    QString m_error;
};
