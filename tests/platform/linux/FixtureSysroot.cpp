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

} // namespace

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
        writeFile(source.relativeFilePath(path), contentsOf(path));
    }
}

void FixtureSysroot::useStatOf(const QString& machine)
{
    writeStat(contentsOf(fixture(machine) + QStringLiteral("/proc/stat")));
}

void FixtureSysroot::writeFile(const QString& relative, const QByteArray& text)
{
    const QString path = m_directory.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

void FixtureSysroot::removeFile(const QString& relative)
{
    QFile::remove(m_directory.filePath(relative));
}
