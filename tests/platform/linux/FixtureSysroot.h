#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A writable copy of a fixture machine, so a test can step it from one saved sample to the next.
class FixtureSysroot {
public:
    // An empty name gives an empty root.
    explicit FixtureSysroot(const QString& machine = {});

    QString root() const { return m_directory.path(); }
    void useStatOf(const QString& machine);
    void writeStat(const QByteArray& text) { writeFile(QStringLiteral("proc/stat"), text); }
    void removeStat() { removeFile(QStringLiteral("proc/stat")); }
    void writeFile(const QString& relative, const QByteArray& text);
    void removeFile(const QString& relative);

    static QString fixture(const QString& machine) { return QStringLiteral(VISTREL_FIXTURES "/") + machine; }

private:
    QTemporaryDir m_directory;
};
