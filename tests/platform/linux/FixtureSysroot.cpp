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

void writeContents(const QString& path, const QByteArray& text)
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
        writeContents(m_directory.filePath(source.relativeFilePath(path)), contentsOf(path));
    }
}

void FixtureSysroot::useStatOf(const QString& machine)
{
    writeStat(contentsOf(fixture(machine) + QStringLiteral("/proc/stat")));
}

void FixtureSysroot::writeStat(const QByteArray& text)
{
    writeContents(statPath(), text);
}

void FixtureSysroot::removeStat()
{
    QFile::remove(statPath());
}

void FixtureSysroot::writeFile(const QString& relative, const QByteArray& text)
{
    writeContents(m_directory.filePath(relative), text);
}

void FixtureSysroot::removeFile(const QString& relative)
{
    QFile::remove(m_directory.filePath(relative));
}

QString FixtureSysroot::fixture(const QString& machine)
{
    return QStringLiteral(VISTREL_FIXTURES "/") + machine;
}

QString FixtureSysroot::statPath() const
{
    return m_directory.filePath(QStringLiteral("proc/stat"));
}
