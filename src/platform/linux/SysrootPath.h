#pragma once

#include <QString>

// The folder that stands for "/" when the operating-system facts are read
// from files, so tests can point the readers at a saved machine.
class SysrootPath {
public:
    // An empty root means VISTREL_SYSROOT, or "/" when that is unset.
    explicit SysrootPath(const QString& root = {});

    const QString& root() const { return m_root; }
    // "etc/os-release" -> "<root>/etc/os-release".
    QString path(const QString& relative) const { return m_root + relative; }

private:
    QString m_root;
};
