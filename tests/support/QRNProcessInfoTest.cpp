#include "support/QRNProcessInfo.h"

#include "platform/log/LogCapture.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
const QString debianDesktop = QStringLiteral(VISTREL_FIXTURES "/debian12-desktop");
const KernelIdentity debianKernel(QStringLiteral("6.1.0-27-amd64"),
    QStringLiteral("#1 SMP PREEMPT_DYNAMIC Debian 6.1.115-1 (2024-11-01)"));

QRNProcessInfo onDebianDesktop()
{
    return QRNProcessInfo(debianDesktop, debianKernel);
}

QRNProcessInfo withKernelRelease(const QString& release)
{
    return QRNProcessInfo(debianDesktop, KernelIdentity(release, {}));
}

std::optional<QList<qint32>> sorted(std::optional<QList<qint32>> identifiers)
{
    if (identifiers)
        std::sort(identifiers->begin(), identifiers->end());
    return identifiers;
}
} // namespace

TEST(QRNProcessInfo, VersionCodePacksOneHexadecimalDigitPerPart)
{
    // No carry: a minor of 16 spills into the major's digit.
    const std::vector<std::pair<OperatingSystemVersion, quint32>> cases = {{{10, 8, 0}, 4224}, {{10, 9, 5}, 4245},
        {{10, 10, 3}, 4259}, {{10, 12, 0}, 4288}, {{11, 0, 0}, 4352}, {{10, 16, 0}, 0x1100}, {{26, 1, 2}, 0x2612}};
    for (const auto& [version, code] : cases)
        EXPECT_EQ(QRNProcessInfo::versionCodeForVersion(version), code) << version.majorVersion << '.' << version.minorVersion;
}

TEST(QRNProcessInfo, KernelReleasesSortAfterEveryVersionThresholdAndInOrder)
{
    const std::vector<std::pair<const char*, quint32>> cases = {{"2.6.32-754.el6.x86_64", 0x126F},
        {"3.10.0-1160.el7.x86_64", 0x13A0}, {"4.19.0+", 0x14F0}, {"4.20.3", 0x14F3}, {"5.15.0", 0x15F0},
        {"6.1.0-27-amd64", 0x1610}, {"6.1.115", 0x161F}, {"6.8", 0x1680}, {"6.18.44-fc-v1272", 0x16FF},
        {"10.0.1", 0x2001}};
    quint32 previous = 0x10C0;
    for (const auto& [release, code] : cases) {
        const quint32 computed = withKernelRelease(QString::fromLatin1(release)).operatingSystemVersionCode();
        EXPECT_EQ(computed, code) << release;
        EXPECT_GE(computed, previous) << release;
        previous = computed;
    }
}

TEST(QRNProcessInfo, UnreadableKernelReleaseLeavesTheCodeUncomputed)
{
    for (const char* release : {"garbage", ""}) {
        LogCapture log;
        EXPECT_EQ(withKernelRelease(QString::fromLatin1(release)).operatingSystemVersionCode(),
            QRNProcessInfo::versionCodeNotComputed);
        EXPECT_TRUE(log.contains(LogLevel::Error,
            QStringLiteral("QRNProcessInfo: could not read the kernel release '%1'.").arg(QString::fromLatin1(release))))
            << release;
    }
}

TEST(QRNProcessInfo, MarketingNameOfLinuxIsTheDistributionsName)
{
    EXPECT_EQ(onDebianDesktop().operatingSystemMarketingName(), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    const QRNProcessInfo laptop(QStringLiteral(VISTREL_FIXTURES "/ubuntu2204-laptop"), debianKernel);
    EXPECT_EQ(laptop.operatingSystemMarketingName(), QStringLiteral("Ubuntu 22.04.4 LTS"));
}

TEST(QRNProcessInfo, BuildCodesSplitIntoTheirParts)
{
    struct Parsed {
        const char* code;
        qint64 darwin;
        QChar branch;
        qint64 sequence;
        const char* variant;
    };
    const std::vector<Parsed> cases = {{"19H15", 19, u'H', 15, ""}, {"20A5364e", 20, u'A', 5364, "e"},
        {"36~22.04.1-Ubuntu", 36, u'~', 22, ".04.1-Ubuntu"}, {"1a1", 1, u'a', 1, ""}};
    for (const Parsed& c : cases) {
        qint64 darwin = -1;
        QChar branch;
        qint64 sequence = -1;
        QString variant = QStringLiteral("unset");
        ASSERT_TRUE(QRNProcessInfo::getFromBuildCode(QString::fromLatin1(c.code), &darwin, &branch, &sequence, &variant))
            << c.code;
        EXPECT_EQ(darwin, c.darwin) << c.code;
        EXPECT_EQ(branch, c.branch) << c.code;
        EXPECT_EQ(sequence, c.sequence) << c.code;
        EXPECT_EQ(variant, QString::fromLatin1(c.variant)) << c.code;
    }
    for (const char* code : {"19", "H15", "", "19HH15", "1915", "19H", "19 H15", "-19H15", "99999999999999999999A1"})
        EXPECT_FALSE(QRNProcessInfo::getFromBuildCode(QString::fromLatin1(code))) << code;
}

TEST(QRNProcessInfo, BuildComparisonOrdersDarwinThenBranchThenSequence)
{
    const QRNProcessInfo running(debianDesktop, KernelIdentity(debianKernel.release(), QStringLiteral("#19H15 SMP")));
    const std::vector<std::pair<const char*, bool>> cases = {
        {"19H2", true}, {"19H15", true}, {"19H16", false}, {"20A1", false}, {"18Z99", true}, {"19G99", true}, {"19I1", false},
        {"19H15b", true}, {"nonsense", false}};
    for (const auto& [build, atLeast] : cases)
        EXPECT_EQ(running.isBuildAtLeastVersion(QString::fromLatin1(build)), atLeast) << build;
    // Debian's kernels carry no build code in their version text.
    EXPECT_FALSE(onDebianDesktop().isBuildAtLeastVersion(QStringLiteral("1A1")));
    EXPECT_FALSE(QRNProcessInfo(debianDesktop, KernelIdentity(debianKernel.release(), {})).isBuildAtLeastVersion(QStringLiteral("1A1")));
}

TEST(QRNProcessInfo, ProcessesByName)
{
    const QRNProcessInfo info = onDebianDesktop();
    // The kernel keeps 15 bytes of a name: longer names match on those, even cut inside the ö.
    const std::vector<std::pair<const char*, QList<qint32>>> cases = {{"vistrel", {1544, 2210}}, {"systemd", {1}},
        {"systemd-journal", {412}}, {"systemd-journald", {412}}, {"abcdefghijklmnöp", {3001}},
        {"abcdefghijklmnop", {}}, {"vistre", {}}, {"nothing", {}}};
    for (const auto& [name, identifiers] : cases)
        EXPECT_EQ(sorted(info.identifiersForRunningProcessesNamed(QString::fromUtf8(name))), identifiers) << name;
    EXPECT_FALSE(info.identifiersForRunningProcessesNamed(QString()));
    EXPECT_TRUE(info.isProcessRunningWithName(QStringLiteral("bash")));
    EXPECT_FALSE(info.isProcessRunningWithName(QStringLiteral("zsh")));
    EXPECT_FALSE(info.isProcessRunningWithName(QString()));
    const QRNProcessInfo nowhere(QStringLiteral(VISTREL_FIXTURES "/no-such-machine"), debianKernel);
    EXPECT_FALSE(nowhere.identifiersForRunningProcessesNamed(QStringLiteral("bash")));
    EXPECT_FALSE(nowhere.isProcessRunningWithName(QStringLiteral("bash")));
}

TEST(QRNProcessInfo, ProcessNameAndEffectiveUserByIdentifier)
{
    const QRNProcessInfo info = onDebianDesktop();
    quint32 user = 4711;
    EXPECT_EQ(info.processNameForProcessID(2210, &user), QStringLiteral("vistrel"));
    EXPECT_EQ(user, 0u);  // set-user-ID: effective root, real user 1000
    EXPECT_EQ(info.processNameForProcessID(1544, &user), QStringLiteral("vistrel"));
    EXPECT_EQ(user, 1000u);
    EXPECT_EQ(info.processNameForProcessID(412), QStringLiteral("systemd-journal"));
    for (qint32 missing : {2400, 99999, 0, -1}) {
        user = 4711;
        EXPECT_FALSE(info.processNameForProcessID(missing, &user)) << missing;
        EXPECT_EQ(user, 4711u) << missing;
    }
}
