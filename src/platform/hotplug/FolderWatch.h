#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class FileDescriptor;
class QSocketNotifier;

// Tells when folders are created, removed or renamed directly inside any of a
// set of folders (inotify, read in the main loop). A btrfs subvolume or
// snapshot is such a folder, and nothing else announces one.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject* parent = nullptr);
    ~FolderWatch() override;

    // Replaces the watched folders; those that cannot be watched are left out.
    void setFolders(const QStringList& folders);

Q_SIGNALS:
    void changed();

private:
    void receive();

    std::unique_ptr<FileDescriptor> m_inotify;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QStringList m_folders;
    std::vector<int> m_watches;
};
