#include "platform/defaults/UserDefaults.h"

#include "platform/defaults/SettingsFile.h"
#include "platform/linux/Sysroot.h"
#include "platform/log/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

namespace {
const QString ClassName = QStringLiteral("UserDefaults");

QString machineIdentifier()
{
    const QString id = Sysroot().text(QStringLiteral("etc/machine-id"));
    if (!id.isEmpty())
        return id;
    const QByteArray fallback = QSysInfo::machineUniqueId();
    return fallback.isEmpty() ? QStringLiteral("localhost") : QString::fromLatin1(fallback);
}
} // namespace

UserDefaults& UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults(
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(QStringLiteral("vistrel")),
        machineIdentifier());
    return defaults;
}

UserDefaults::UserDefaults(const QString& folder, const QString& machineId)
    : m_folder(folder)
    , m_machineId(machineId.isEmpty() ? QStringLiteral("localhost") : machineId)
{
    reload();
}

QString UserDefaults::filePath(Domain domain) const
{
    if (m_folder.isEmpty())
        return {};
    const QString name = QLatin1String(DomainName);
    if (domain == Domain::Host)
        return QDir(m_folder).filePath(QStringLiteral("ByHost/%1.%2.plist").arg(name, m_machineId));
    return QDir(m_folder).filePath(name + QStringLiteral(".plist"));
}

QStringList UserDefaults::reload()
{
    const QVariantMap before = dictionaryRepresentation();
    m_host = load(Domain::Host);
    m_standard = load(Domain::Standard);
    const QVariantMap after = dictionaryRepresentation();
    QStringList changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.value(it.key()) != it.value())
            changed << it.key();
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            changed << it.key();
    }
    return changed;
}

QVariantMap UserDefaults::load(Domain domain)
{
    return read(domain).value_or(QVariantMap());
}

std::optional<QVariantMap> UserDefaults::read(Domain domain)
{
    const QString path = filePath(domain);
    if (path.isEmpty())
        return QVariantMap();
    const SettingsFile file(path);
    // A writer may replace the file while it is read; then the new one is read.
    for (int attempt = 0; attempt < MaximumReadAttempts; ++attempt) {
        const SettingsFile::Contents contents = file.read();
        if (contents.state == SettingsFile::State::Missing)
            return QVariantMap();
        if (contents.state == SettingsFile::State::Loaded)
            return contents.values;
        // Keep what the user had for inspection and start afresh.
        const SettingsFile::MoveAside moved = file.moveAside(contents.identity);
        if (moved.outcome == SettingsFile::Outcome::Replaced)
            continue;
        Log::error("%{public}@: the settings file '%@' could not be read (%@); it was moved to '%@' and its settings start empty.",
            {ClassName, path, contents.reason, moved.outcome == SettingsFile::Outcome::Moved ? moved.aside : QStringLiteral("(could not be moved)")});
        if (moved.outcome == SettingsFile::Outcome::Moved)
            reportMovedAside(path, moved.aside);
        return std::nullopt;
    }
    return QVariantMap();
}

void UserDefaults::reportMovedAside(const QString& path, const QString& aside)
{
    if (m_movedAsideHandler)
        m_movedAsideHandler(path, aside);
    else
        m_unreportedMovesAside.append({path, aside});
}

void UserDefaults::setMovedAsideHandler(MovedAsideHandler handler)
{
    m_movedAsideHandler = std::move(handler);
    if (!m_movedAsideHandler)
        return;
    const auto unreported = std::exchange(m_unreportedMovesAside, {});
    for (const auto& [path, aside] : unreported)
        m_movedAsideHandler(path, aside);
}

void UserDefaults::save(Domain domain, const QString& key)
{
    const QString path = filePath(domain);
    if (path.isEmpty())
        return;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        Log::error("%{public}@: could not create the folder of the settings file '%@'.", {ClassName, path});
        return;
    }
    // Another program (a second instance, a script) may have changed other
    // keys since the file was read: the change goes into what the file holds
    // now rather than rewriting it from memory. An unreadable file (moved
    // aside) leaves memory as the best record there is.
    const SettingsFile file(path);
    const SettingsFile::Lock lock(file);
    QVariantMap merged = read(domain).value_or(values(domain));
    const auto value = values(domain).constFind(key);
    if (value != values(domain).cend())
        merged.insert(key, *value);
    else
        merged.remove(key);
    if (!file.write(merged))
        Log::error("%{public}@: could not save the settings file '%@'.", {ClassName, path});
}

QVariant UserDefaults::objectForKey(const QString& key) const
{
    const auto host = m_host.constFind(key);
    return host != m_host.cend() ? *host : m_standard.value(key);
}

bool UserDefaults::hasKey(const QString& key) const
{
    return m_host.contains(key) || m_standard.contains(key);
}

bool UserDefaults::boolForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        return text.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || text.toLongLong() != 0;
    }
    default:
        return value.canConvert<double>() && value.toDouble() != 0;
    }
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    bool ok = false;
    const qint64 number = objectForKey(key).toLongLong(&ok);
    return ok ? number : 0;
}

QString UserDefaults::stringForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void UserDefaults::setObject(const QString& key, const QVariant& value, Domain domain)
{
    if (key.isEmpty())
        return;
    if (!value.isValid())
        values(domain).remove(key);
    else
        values(domain).insert(key, value);
    save(domain, key);
}

void UserDefaults::removeObject(const QString& key, Domain domain)
{
    if (values(domain).remove(key) > 0)
        save(domain, key);
}

void UserDefaults::clear()
{
    m_host.clear();
    m_standard.clear();
    for (Domain domain : {Domain::Host, Domain::Standard}) {
        if (!filePath(domain).isEmpty())
            QFile::remove(filePath(domain));
    }
}

QVariantMap UserDefaults::dictionaryRepresentation() const
{
    QVariantMap merged = m_standard;
    for (auto it = m_host.cbegin(); it != m_host.cend(); ++it)
        merged.insert(it.key(), it.value());
    return merged;
}

const QVariantMap& UserDefaults::domainValues(Domain domain) const
{
    return domain == Domain::Host ? m_host : m_standard;
}
