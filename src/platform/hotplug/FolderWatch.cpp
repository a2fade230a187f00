#include "platform/hotplug/FolderWatch.h"

#include "platform/linux/FileDescriptor.h"
#include "platform/log/Log.h"

#include <QSocketNotifier>

#include <cerrno>
#include <sys/inotify.h>

namespace {
constexpr char ClassName[] = "FolderWatch";
constexpr quint32 FolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;
} // namespace

FolderWatch::FolderWatch(QObject* parent)
    : QObject(parent)
{
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        Log::fault("%{public}@: cannot watch folders: %{errno}d.", {QLatin1String(ClassName), errno});
        return;
    }
    m_inotify = std::make_unique<FileDescriptor>(fd);
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &FolderWatch::receive);
}

FolderWatch::~FolderWatch() = default;

void FolderWatch::setFolders(const QStringList& folders)
{
    if (!m_inotify || folders == m_folders)
        return;
    for (const int watch : m_watches)
        ::inotify_rm_watch(m_inotify->get(), watch);
    m_watches.clear();
    m_folders = folders;
    for (const QString& folder : folders) {
        const int watch = ::inotify_add_watch(m_inotify->get(), folder.toLocal8Bit().constData(), FolderEvents);
        if (watch >= 0)
            m_watches.push_back(watch);
    }
}

void FolderWatch::receive()
{
    alignas(inotify_event) char buffer[4096];
    bool folderEvent = false;
    for (;;) {
        const ssize_t length = ::read(m_inotify->get(), buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_ISDIR) != 0)
                folderEvent = true;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    if (folderEvent)
        Q_EMIT changed();
}
