#pragma once

#include "platform/linux/KernelIdentity.h"
#include "platform/linux/OperatingSystemRelease.h"
#include "platform/linux/OperatingSystemVersion.h"
#include "platform/linux/ProcessTable.h"

#include <QChar>
#include <QList>
#include <QString>

#include <optional>

// Process-level facts about the running system: its version code and
// marketing name, its build, and processes looked up by name or identifier.
// processInfo() answers for this machine; tests build one on a saved kernel
// identity and sysroot.
class QRNProcessInfo {
public:
    // The version code before it has been computed, and where it cannot be.
    static constexpr quint32 versionCodeNotComputed = 0x999;

    explicit QRNProcessInfo(const QString& sysroot = {}, KernelIdentity kernel = KernelIdentity::running());
    static QRNProcessInfo& processInfo();

    // The running system's version code (see versionCodeForVersion), computed
    // once from the kernel release.
    quint32 operatingSystemVersionCode() const;
    QString operatingSystemMarketingName() const;

    // Identifiers of the processes whose short command name equals the name
    // (compared as the kernel stores it: its first bytes only); none for an
    // empty name or when the process table cannot be read.
    std::optional<QList<qint32>> identifiersForRunningProcessesNamed(const QString& name) const;
    bool isProcessRunningWithName(const QString& name) const;
    // The short command name of a process; the effective user is stored only
    // when the process was found and a place for it given.
    std::optional<QString> processNameForProcessID(qint32 processID, quint32* effectiveUserID = nullptr) const;

    // Splits a build code ("20A5364e") into darwin version (20), branch (A),
    // sequence (5364) and variant ("e"); false when it does not read as one.
    static bool getFromBuildCode(const QString& buildCode, qint64* darwinVersion = nullptr, QChar* branch = nullptr,
        qint64* sequence = nullptr, QString* variant = nullptr);
    // True when the running system's build is the given one or later; false
    // when either build does not read as a build code.
    bool isBuildAtLeastVersion(const QString& buildCode) const;

    // Four hexadecimal digits: tens and units of the major version, then
    // minor and patch, each added as one digit without carry
    // (10.9.0 -> 0x1090, 10.10.3 -> 0x10A3, 11.0.0 -> 0x1100).
    static quint32 versionCodeForVersion(const OperatingSystemVersion& version);
    // "Mac OS X" before 10.8 (0x1080), "OS X" before 10.12 (0x10C0), and
    // from then on the present-day name of the running system.
    static QString marketingNameForVersionCode(quint32 versionCode, const QString& presentDayName);
    // The ordering of builds: darwin version first, then branch, then sequence.
    static bool isBuildCodeAtLeast(const QString& runningBuildCode, const QString& buildCode);

private:
    KernelIdentity m_kernel;
    OperatingSystemRelease m_release;
    ProcessTable m_processTable;
    mutable quint32 m_operatingSystemVersionCode = versionCodeNotComputed;
};
