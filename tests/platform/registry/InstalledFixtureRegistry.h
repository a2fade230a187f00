#pragma once

#include "platform/registry/FixtureRegistry.h"

#include <gtest/gtest.h>

// The process's registry is a fixture for the life of a test.
class InstalledFixtureRegistry {
public:
    explicit InstalledFixtureRegistry(const QString& fixture = QStringLiteral("registry/laptop.plist"))
    {
        auto loaded = FixtureRegistry::fromFile(QStringLiteral(VISTREL_FIXTURES "/") + fixture);
        EXPECT_NE(loaded, nullptr) << fixture.toStdString();
        m_registry = loaded.get();
        Registry::setShared(std::move(loaded));
    }
    ~InstalledFixtureRegistry() { Registry::setShared(nullptr); }
    InstalledFixtureRegistry(const InstalledFixtureRegistry&) = delete;
    InstalledFixtureRegistry& operator=(const InstalledFixtureRegistry&) = delete;

    FixtureRegistry& registry() { return *m_registry; }
    Registry::EntryID operator[](const QString& label) const { return m_registry->entryLabelled(label); }

private:
    FixtureRegistry* m_registry = nullptr;
};
