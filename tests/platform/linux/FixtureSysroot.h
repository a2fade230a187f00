#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A writable copy of a fixture machine under tests/fixtures, so a test can
// move it from one saved sample of its kernel files to the next.
class FixtureSysroot {
public:
    // Copies the whole tree of `machine`; an empty name gives an empty root.
    explicit FixtureSysroot(const QString& machine = {});

    QString root() const { return m_directory.path(); }

    // Replaces proc/stat with the one saved for `machine` (a later sample).
    void useStatOf(const QString& machine);
    void writeStat(const QByteArray& text);
    void removeStat();
    // Replaces or removes any file of the tree ("proc/vmstat").
    void writeFile(const QString& relative, const QByteArray& text);
    void removeFile(const QString& relative);

    // The checked-in tree of a fixture machine.
    static QString fixture(const QString& machine);

private:
    QString statPath() const;

    QTemporaryDir m_directory;
};
