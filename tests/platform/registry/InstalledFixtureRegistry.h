#pragma once

#include "platform/registry/FixtureRegistry.h"

#include <QString>

#include <gtest/gtest.h>

// Installs a fixture registry as the process's registry for the life of a
// test and goes back to the default registry afterwards.
class InstalledFixtureRegistry {
public:
    explicit InstalledFixtureRegistry(const QString& fixture = QStringLiteral("registry/laptop.plist"))
    {
        std::unique_ptr<FixtureRegistry> loaded = FixtureRegistry::fromFile(QStringLiteral(VISTREL_FIXTURES "/") + fixture);
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
