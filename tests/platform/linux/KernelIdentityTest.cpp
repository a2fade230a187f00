#include "platform/linux/KernelIdentity.h"

#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {
KernelIdentity withRelease(const char* release)
{
    return KernelIdentity(QString::fromLatin1(release), {});
}

KernelIdentity withVersion(const char* version)
{
    return KernelIdentity({}, QString::fromLatin1(version));
}
} // namespace

TEST(KernelIdentity, ReleaseGivesTheVersionTriple)
{
    const std::vector<std::pair<const char*, OperatingSystemVersion>> cases = {
        {"6.1.0-27-amd64", {6, 1, 0}},
        {"5.15.0", {5, 15, 0}},
        {"4.19.0+", {4, 19, 0}},
        {"6.8", {6, 8, 0}},
        {"6.18.44-fc-v1272", {6, 18, 44}},
        {"3.10.0-1160.el7.x86_64", {3, 10, 0}},
        {"6.12.0-rc3", {6, 12, 0}},
    };
    for (const auto& [release, version] : cases)
        EXPECT_EQ(withRelease(release).operatingSystemVersion(), version) << release;
    for (const char* release : {"", "garbage", "6", "6.", ".1.0", "v6.1.0", "99999999999.1.0"})
        EXPECT_FALSE(withRelease(release).operatingSystemVersion()) << release;
}

TEST(KernelIdentity, BuildStringIsTheFirstWordOfTheVersionWithoutItsHash)
{
    const std::vector<std::pair<const char*, std::optional<QString>>> cases = {
        {"#1 SMP PREEMPT_DYNAMIC Debian 6.1.115-1 (2024-11-01)", QStringLiteral("1")},
        {"#36~22.04.1-Ubuntu SMP PREEMPT_DYNAMIC Tue Oct 15 13:26:27 UTC 2", QStringLiteral("36~22.04.1-Ubuntu")},
        {"  #19H15\tSMP", QStringLiteral("19H15")},
        {"19H15", QStringLiteral("19H15")},
        {"", std::nullopt},
        {"#", std::nullopt},
        {"# SMP", std::nullopt},
    };
    for (const auto& [version, build] : cases)
        EXPECT_EQ(withVersion(version).buildString(), build) << version;
}

