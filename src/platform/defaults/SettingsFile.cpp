#include "platform/defaults/SettingsFile.h"

#include "platform/defaults/PropertyList.h"
#include "platform/log/Log.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const QString ClassName = QStringLiteral("SettingsFile");
constexpr int LockAttempts = 200;
constexpr unsigned long LockRetryMs = 10;

bool renameWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    // File systems without the flag: check, then rename.
    if (::access(target.constData(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(source.constData(), target.constData()) == 0;
}
} // namespace

SettingsFile::Contents SettingsFile::read() const
{
    Contents contents;
    RegularFile::Failure failure = RegularFile::Failure::None;
    const std::optional<QByteArray> bytes
        = RegularFile::read(m_path, PropertyList::MaximumFileSize, &failure, &contents.identity);
    if (failure == RegularFile::Failure::Missing)
        return contents;
    contents.state = State::Unreadable;
    if (!bytes) {
        contents.reason = QStringLiteral("it %1").arg(RegularFile::describe(failure, PropertyList::MaximumFileSize));
        return contents;
    }
    contents.reason = QStringLiteral("it is not a property list");
    const std::optional<QVariant> value = PropertyList::fromData(*bytes, &contents.reason);
    if (!value)
        return contents;
    if (value->typeId() != QMetaType::QVariantMap) {
        contents.reason = QStringLiteral("it holds no dictionary");
        return contents;
    }
    contents.state = State::Loaded;
    contents.values = value->toMap();
    return contents;
}

SettingsFile::MoveAside SettingsFile::moveAside(const RegularFile::Identity& identity) const
{
    const QString stem = m_path + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    MoveAside result;
    for (int attempt = 0; attempt < 100 && result.aside.isEmpty(); ++attempt) {
        const QString aside = attempt == 0 ? stem : QStringLiteral("%1-%2").arg(stem).arg(attempt);
        if (renameWithoutReplacing(m_path, aside))
            result.aside = aside;
        else if (errno != EEXIST)
            return result;
    }
    if (result.aside.isEmpty())
        return result;
    // The name may have led to a new file by the time of the rename: put
    // that one back, unless yet another has taken the name since.
    if (RegularFile::identityOf(result.aside) == identity) {
        result.outcome = Outcome::Moved;
    } else if (renameWithoutReplacing(result.aside, m_path)) {
        result.outcome = Outcome::Replaced;
        result.aside.clear();
    } else {
        result.outcome = Outcome::Moved;
    }
    return result;
}

bool SettingsFile::write(const QVariantMap& values) const
{
    return PropertyList::writeFile(m_path, values);
}

SettingsFile::Lock::Lock(const SettingsFile& file)
    : m_folder(::open(QFile::encodeName(QFileInfo(file.m_path).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_folder < 0)
        return;
    for (int attempt = 0; attempt < LockAttempts; ++attempt) {
        if (::flock(m_folder, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        QThread::msleep(LockRetryMs);
    }
    Log::error("%{public}@: another program holds the settings folder of '%@' locked; writing without the lock.",
        {ClassName, file.m_path});
}

SettingsFile::Lock::~Lock()
{
    // Closing the folder releases the lock.
    if (m_folder >= 0)
        ::close(m_folder);
}
