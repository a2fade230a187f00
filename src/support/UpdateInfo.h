#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// The information file of the update server: a dictionary naming the newest
// release (build, version, date, product, lowest supported system, download
// pages by language).
class UpdateInfo {
public:
    // The first item that is missing or of the wrong kind, in a fixed order
    // ("build number error", "OS version error", ...); none when all are valid.
    static std::optional<QString> validationFailure(const QVariantMap& info);

    // A version number read as a decimal number, as far as it reads as one:
    // "2.4" is 2.4, "0.1.0" is 0.1, "2.10" is 2.1; 0 when nothing does.
    static double decimalVersion(const QString& version);
    // "QRNMinimumOSVersion" as a hexadecimal version code; 0 when empty or unreadable.
    static quint32 minimumOSVersionCode(const QVariantMap& info);
    // The release runs on this system and is newer than the running one.
    static bool isRelevant(const QVariantMap& info, quint32 osVersionCode, double appVersion);
};
