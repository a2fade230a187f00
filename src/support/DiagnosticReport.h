#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The fixed parts of the diagnostic report and its saving as a text file.
class DiagnosticReport {
public:
    // "Version 2.4", with " (Build 1234)" when a build is known; empty without a version.
    static QString presentedVersion(const QString& shortVersion, const QString& build = {});
    // "App: …\nVersion: …\n\nOS type: …\n\n"; the operating system as its decimal version code.
    static QString header(const QString& applicationName, const QString& presentedVersion, quint32 osVersionCode);

    // Where the save dialog starts: "<state folder>/Vistrel Report 2026-12-06 211500.txt".
    static QString suggestedPath(const QString& folder, const QDateTime& time);
    // Replaces the file at once, as UTF-8; false with the reason when it cannot be written.
    static bool save(const QString& text, const QString& path, QString* error);
};
