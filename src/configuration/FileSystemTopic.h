#pragma once

#include "configuration/MonitorItemTopic.h"
#include "configuration/StoragePoolOverview.h"

#include <QPointer>

#include <vector>

class MountMonitor;
class QComboBox;
class QDialog;
class QListWidget;
class QPushButton;

// One row of the file-system page's volume list.
struct FileSystemDescription {
    QString mountPath;
    QString volumeName;
    bool isOnline = false;
    bool isSelected = false;
};

// The file-system page: the volume item's switch and cells, the list of
// volumes (the chosen ones first, in the user's order, then the others that
// are mounted now), and what counts as free space. Every change is stored
// at once and so reaches the live item.
class FileSystemTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "FileSystemTopic";

    FileSystemTopic();
    // Tests pass a monitor over a mount table of their own.
    explicit FileSystemTopic(MountMonitor& mounts);
    ~FileSystemTopic() override;
    QString className() const override { return QLatin1String(ClassName); }

    void init() override;
    // A first start watches every volume offered.
    void setupInitialDefaultSetOfMonitoredItems() override;

    const std::vector<FileSystemDescription>& fileSystemDescriptions() const { return m_descriptions; }
    void recreateFileSystemDescriptions();
    void setEnabled(bool enabled, int index);
    void enableMonitoringForAllMountedFileSystems(bool enabled);
    // Stores the selected paths in list order.
    void updateUserDefaults();
    int indexOfDescriptionForMountPath(const QString& path) const;
    // A folder the user picked: selected, appended unless already listed.
    void addFileSystemPath(const QString& path);
    void removeFileSystemDescription(int index);
    // Moves the rows (in index order) to stand before the given row.
    void moveFileSystemDescriptions(const QList<int>& rows, int row);

    int freeDefinitionMode() const { return m_freeDefinitionMode; }

    // The overview of the storage pools, in a window of its own; null until
    // the page is shown.
    void openAPFSOverview();
    void closeAPFSOverview();
    void setFreeDefinitionMode(int mode);

protected:
    QWidget* createContentView() override;

private:
    void mountsChanged(const QStringList& mounted, const QStringList& unmounted);
    void showDescriptions();
    void takeOrderFromList();
    void chooseFolder();
    QPushButton* makeAPFSOverviewButton(QWidget* page);
    FileSystemDescription describe(const QString& path, bool selected) const;

    MountMonitor& m_mounts;
    std::vector<FileSystemDescription> m_descriptions;
    int m_freeDefinitionMode = 0;
    QPointer<QListWidget> m_list;
    QPointer<QComboBox> m_freeDefinitionChoice;
    QPointer<QDialog> m_apfsOverviewWindow;
    QPointer<StoragePoolOverview> m_apfsOverview;
};
