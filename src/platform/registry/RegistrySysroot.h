#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Every file the Linux registry reads (sys, proc, run/udev) is named relative
// to one root directory, so tests can point it at a fixture tree.
class RegistrySysroot {
public:
    explicit RegistrySysroot(const QString& root);
    // VISTREL_SYSROOT when set, otherwise "/".
    static QString defaultRoot();

    const QString& root() const { return m_root; }

    std::optional<QByteArray> read(const QString& relative) const;
    // The file's text without surrounding white space; empty when missing.
    QString text(const QString& relative) const;
    bool exists(const QString& relative) const;
    // The names in a directory, sorted; empty when it is missing.
    QStringList entries(const QString& relative) const;
    // The path with every link followed, relative to the root ("sys/devices/..."),
    // or empty when it does not exist or leads out of the root.
    QString resolved(const QString& relative) const;

private:
    QString absolute(const QString& relative) const;

    QString m_root;
    QString m_canonicalRoot;
};
