#include "support/UpdateInfo.h"

#include "support/VariantNumbers.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

bool isNonEmptyString(const QVariant& value)
{
    return value.typeId() == QMetaType::QString && !value.toString().isEmpty();
}

bool isNumber(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool || isNumeric(value);
}

} // namespace

std::optional<QString> UpdateInfo::validationFailure(const QVariantMap& info)
{
    if (!isNonEmptyString(info.value(QStringLiteral("QRNBuildNumber"))))
        return QStringLiteral("build number error");
    if (!isNonEmptyString(info.value(QStringLiteral("QRNMinimumOSVersion"))))
        return QStringLiteral("OS version error");
    if (!isNumber(info.value(QStringLiteral("QRNProductCode"))))
        return QStringLiteral("product SKU error");
    if (!isNonEmptyString(info.value(QStringLiteral("QRNProductName"))))
        return QStringLiteral("product name error");
    const QVariant urls = info.value(QStringLiteral("QRNProductURLs"));
    if (urls.typeId() != QMetaType::QVariantMap)
        return QStringLiteral("product URL error");
    const QVariantMap urlsByLanguage = urls.toMap();
    for (auto it = urlsByLanguage.cbegin(); it != urlsByLanguage.cend(); ++it) {
        if (it.key().isEmpty())
            return QStringLiteral("localization key error");
        if (!isNonEmptyString(it.value()))
            return QStringLiteral("error in URL for language '%1'").arg(it.key());
    }
    if (info.value(QStringLiteral("QRNReleaseDate")).typeId() != QMetaType::QDateTime)
        return QStringLiteral("release date error");
    if (!isNonEmptyString(info.value(QStringLiteral("QRNVersionNumber"))))
        return QStringLiteral("version specificier error");
    return std::nullopt;
}

double UpdateInfo::decimalVersion(const QString& version)
{
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*[+-]?(\\d+(\\.\\d*)?|\\.\\d+)"));
    const QRegularExpressionMatch match = leadingNumber.match(version);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

quint32 UpdateInfo::minimumOSVersionCode(const QVariantMap& info)
{
    bool ok = false;
    const quint32 code = info.value(QStringLiteral("QRNMinimumOSVersion")).toString().toUInt(&ok, 16);
    return ok ? code : 0;
}

bool UpdateInfo::isRelevant(const QVariantMap& info, quint32 osVersionCode, double appVersion)
{
    return osVersionCode >= minimumOSVersionCode(info)
        && decimalVersion(info.value(QStringLiteral("QRNVersionNumber")).toString()) > appVersion;
}
