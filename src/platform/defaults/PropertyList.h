#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>

#include <plist/plist.h>

// Property-list values as Qt values and back. The mapping:
//   <true/>, <false/>   bool
//   <integer>           qint64 (libplist keeps integers as 64-bit patterns; values above
//                       INT64_MAX come back as negative qint64 with the same bits, which
//                       toULongLong() restores)
//   <real>              double
//   <string>            QString
//   <data>              QByteArray
//   <date>              QDateTime (UTC; XML keeps whole seconds, binary milliseconds;
//                       libplist 2.2 cannot tell the sign of dates less than a second
//                       before 2001-01-01)
//   <array>             QVariantList
//   <dict>              QVariantMap
// Other Qt types (and keyed-archive UIDs) have no property-list form.
class PropertyList {
public:
    // An invalid QVariant for a null node or a type without a Qt form.
    static QVariant toVariant(plist_t node);
    // A new node the caller owns (plist_free), or nullptr when the value, or
    // anything inside it, has no property-list form.
    static plist_t fromVariant(const QVariant& value);

    // Settings files are a few kilobytes; anything far larger is not one.
    static constexpr std::size_t MaximumFileSize = 4 * 1024 * 1024;

    // XML or binary, told apart by the content. Lists nested too deeply to
    // parse safely (PropertyListLimits) are refused with the reason.
    static std::optional<QVariant> fromData(const QByteArray& data, QString* reason = nullptr);
    static std::optional<QByteArray> toXML(const QVariant& value);

    // Failures are logged and answered with none / false. Only regular files
    // up to the maximum size are read. Writing replaces the file atomically
    // and only once all of it is on disk, so neither a reader nor a full disk
    // ever leaves half a file.
    static std::optional<QVariant> readFile(const QString& path);
    static bool writeFile(const QString& path, const QVariant& value);

    // True for a list value, whichever Qt type carries it.
    static bool isArray(const QVariant& value)
    {
        return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
    }

    // The old-style text form used in diagnostic descriptions:
    // {\n    key = value;\n}, (\n    a,\n    b\n), <0a0b>, quoted strings when needed.
    static QString description(const QVariant& value);
};
