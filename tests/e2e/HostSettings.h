#pragma once

#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>

// Settings stored with the host's, where the item pages store them and
// where a new item is handed them from.
class HostSettings {
public:
    explicit HostSettings(const QVariantMap& settings)
    {
        const QString hostFile = QFileInfo(UserDefaults::standardUserDefaults().filePath(UserDefaults::Domain::Host)).fileName();
        const QString folder = m_config.filePath(QStringLiteral("vistrel/ByHost"));
        QDir().mkpath(folder);
        PropertyList::writeFile(QDir(folder).filePath(hostFile), settings);
    }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        return environment;
    }

private:
    QTemporaryDir m_config;
};
