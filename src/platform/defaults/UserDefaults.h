#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <optional>
#include <utility>

// The user's settings: property-list values by key, kept in two domains of
// XML property-list files under $XDG_CONFIG_HOME/vistrel/: the standard domain
// and the host-specific one (ByHost/<domain>.<machine-id>.plist), which is
// read first. Every write replaces its file atomically, so a crash never
// leaves half a file, and changes only its own key in what the file holds
// at that moment, so that changes of other programs survive. A file that
// cannot be read is moved aside, reported, and its domain starts empty.
class UserDefaults {
public:
    enum class Domain { Host, Standard };

    static constexpr char DomainName[] = "com.zentrovo.vistrel";

    // The application's settings in the user's configuration folder.
    static UserDefaults& standardUserDefaults();

    // Settings stored in the folder; an empty folder keeps them in memory only.
    explicit UserDefaults(const QString& folder, const QString& machineId = {});

    QVariant objectForKey(const QString& key) const;
    bool hasKey(const QString& key) const;
    // Booleans, numbers and the texts "YES"/"true"/non-zero numbers read as true.
    bool boolForKey(const QString& key) const;
    // Missing or non-numeric values read as 0.
    qint64 integerForKey(const QString& key) const;
    // Empty when missing or not a text.
    QString stringForKey(const QString& key) const;

    // An empty key is ignored; an invalid value removes the key.
    void setObject(const QString& key, const QVariant& value, Domain domain = Domain::Standard);
    void removeObject(const QString& key, Domain domain = Domain::Standard);
    // Forgets every value of both domains, files included.
    void clear();
    // Both domains merged, host-specific values winning.
    QVariantMap dictionaryRepresentation() const;
    const QVariantMap& domainValues(Domain domain) const;

    // Told of every unreadable file moved aside (its path, its new path);
    // those moved before a handler was set are told to the first one set.
    using MovedAsideHandler = std::function<void(const QString& path, const QString& aside)>;
    void setMovedAsideHandler(MovedAsideHandler handler);

    // Reads both files again (another process may have written them) and
    // answers the keys whose value changed.
    QStringList reload();
    QString filePath(Domain domain) const;
    QString folder() const { return m_folder; }

private:
    QVariantMap& values(Domain domain) { return domain == Domain::Host ? m_host : m_standard; }
    // Reads that find the file replaced while it was read, before giving up.
    static constexpr int MaximumReadAttempts = 3;

    QVariantMap load(Domain domain);
    // The file's settings; none when it was unreadable and moved aside.
    std::optional<QVariantMap> read(Domain domain);
    // Writes the key's change (its value, or its removal) into the file.
    void save(Domain domain, const QString& key);
    void reportMovedAside(const QString& path, const QString& aside);

    QString m_folder;
    QString m_machineId;
    QVariantMap m_host;
    QVariantMap m_standard;
    MovedAsideHandler m_movedAsideHandler;
    QList<std::pair<QString, QString>> m_unreportedMovesAside;
};
