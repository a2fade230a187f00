#include "platform/linux/FixtureSysroot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

}

FixtureSysroot::FixtureSysroot(const QString& machine)
{
    if (!m_directory.isValid())
        ADD_FAILURE() << "cannot create a temporary sysroot";
    if (machine.isEmpty())
        return;
    const QDir source(fixture(machine));
    if (!source.exists())
        ADD_FAILURE() << "no fixture machine " << machine.toStdString();
    QDirIterator files(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        writeFile(m_directory.filePath(source.relativeFilePath(path)), contentsOf(path));
    }
}

void FixtureSysroot::useStatOf(const QString& machine)
{
    writeStat(contentsOf(fixture(machine) + QStringLiteral("/proc/stat")));
}

void FixtureSysroot::writeStat(const QByteArray& text)
{
    writeFile(statPath(), text);
}

void FixtureSysroot::removeStat()
{
    QFile::remove(statPath());
}

QString FixtureSysroot::fixture(const QString& machine)
{
    return QStringLiteral(VISTREL_FIXTURES "/") + machine;
}

QString FixtureSysroot::statPath() const
{
    return m_directory.filePath(QStringLiteral("proc/stat"));
}
