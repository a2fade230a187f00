#include "platform/linux/OperatingSystemRelease.h"

#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {
QString machine(const char* name)
{
    return QStringLiteral(VISTREL_FIXTURES "/") + QString::fromLatin1(name);
}
} // namespace

TEST(OperatingSystemRelease, PrettyNameOfSavedMachines)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"debian12-desktop", "Debian GNU/Linux 12 (bookworm)"},
        {"ubuntu2204-laptop", "Ubuntu 22.04.4 LTS"},
        {"fedora40-container", "Fedora Linux 40 (Container Image)"},  // only /usr/lib/os-release
        {"minimal-distro", "Linux"},  // names itself, but no PRETTY_NAME
        {"no-such-machine", "Linux"},
    };
    for (const auto& [name, pretty] : cases)
        EXPECT_EQ(OperatingSystemRelease(machine(name)).prettyName(), QString::fromUtf8(pretty)) << name;
}

TEST(OperatingSystemRelease, ValuesLoseTheirShellQuoting)
{
    const std::vector<std::pair<const char*, std::optional<QString>>> cases = {
        {"A=plain", QStringLiteral("plain")},
        {"A=\"two words\"", QStringLiteral("two words")},
        {"A='single \\ quoted'", QStringLiteral("single \\ quoted")},
        {"A=\"say \\\"hi\\\" \\\\ \\$HOME\"", QStringLiteral("say \"hi\" \\ $HOME")},
        {"A=\"Grüße\"", QStringLiteral("Grüße")},
        {"A=", QStringLiteral("")},
        {"  A=\"indented\"  ", QStringLiteral("indented")},
        {"A=first\nA=second", QStringLiteral("second")},
        {"AB=other\nB=\"A=inside\"", std::nullopt},
        {"# A=\"comment\"", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(OperatingSystemRelease::valueForKey(text, "A"), value) << text;
}

