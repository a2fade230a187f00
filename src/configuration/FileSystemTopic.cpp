#include "configuration/FileSystemTopic.h"

#include "platform/defaults/UserDefaults.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/mounts/VolumeChoices.h"
#include "platform/mounts/VolumeNames.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int DescriptionIndexRole = Qt::UserRole + 1;
} // namespace

FileSystemTopic::FileSystemTopic()
    : FileSystemTopic(MountMonitor::shared())
{
}

FileSystemTopic::FileSystemTopic(MountMonitor& mounts)
    : MonitorItemTopic(QStringLiteral("cylinder.split.1x2"), tr("file system icon"),
        ExampleCellTexts{QStringLiteral("VOL"), QStringLiteral("W: 999.9 WW"),
            QStringLiteral("W:"), QStringLiteral(" 999"), QStringLiteral("\tU:\t338\tGB"), QStringLiteral("\tF:\t174\tGB"), false})
    , m_mounts(mounts)
{
    connect(&m_mounts, &MountMonitor::mountsChanged, this, &FileSystemTopic::mountsChanged);
}

FileSystemTopic::~FileSystemTopic() = default;

void FileSystemTopic::init()
{
    MonitorItemTopic::init();
    m_freeDefinitionMode = int(UserDefaults::standardUserDefaults().integerForKey(topicUserDefaultsKeyForKey(SettingName::FreeDefinitionMode)));
    recreateFileSystemDescriptions();
}

void FileSystemTopic::setupInitialDefaultSetOfMonitoredItems()
{
    enableMonitoringForAllMountedFileSystems(true);
}

FileSystemDescription FileSystemTopic::describe(const QString& path, bool selected) const
{
    FileSystemDescription description{path, VolumeNames::lastComponent(path), false, selected};
    const MountEntry* mount = MountInfo::containing(m_mounts.mounts(), path);
    // A folder counts as mounted when a volume is mounted there; one of an
    // unmounted volume's mount point is a plain folder on the volume beneath.
    if (mount && mount->mountPoint == QDir::cleanPath(path)) {
        description.isOnline = true;
        description.volumeName = VolumeNames::nameOf(m_mounts.sysroot(), *mount);
    }
    return description;
}

void FileSystemTopic::recreateFileSystemDescriptions()
{
    const QStringList stored = UserDefaults::standardUserDefaults()
                                   .objectForKey(topicUserDefaultsKeyForKey(SettingName::MonitoredPaths))
                                   .toStringList();
    m_descriptions.clear();
    for (const QString& path : stored) {
        if (!path.isEmpty() && indexOfDescriptionForMountPath(path) < 0)
            m_descriptions.push_back(describe(path, true));
    }
    for (const MountEntry* mount : VolumeChoices::offered(m_mounts.mounts())) {
        if (indexOfDescriptionForMountPath(mount->mountPoint) < 0)
            m_descriptions.push_back(describe(mount->mountPoint, false));
    }
    showDescriptions();
}

int FileSystemTopic::indexOfDescriptionForMountPath(const QString& path) const
{
    auto it = std::find_if(m_descriptions.begin(), m_descriptions.end(),
        [&](const FileSystemDescription& d) { return d.mountPath == path; });
    return it == m_descriptions.end() ? -1 : int(it - m_descriptions.begin());
}

void FileSystemTopic::updateUserDefaults()
{
    QVariantList paths;
    for (const FileSystemDescription& description : m_descriptions) {
        if (description.isSelected)
            paths.append(description.mountPath);
    }
    QRNHostUserDefaults::setObject(paths, topicUserDefaultsKeyForKey(SettingName::MonitoredPaths));
}

void FileSystemTopic::setEnabled(bool enabled, int index)
{
    if (index < 0 || size_t(index) >= m_descriptions.size() || m_descriptions[size_t(index)].isSelected == enabled)
        return;
    m_descriptions[size_t(index)].isSelected = enabled;
    updateUserDefaults();
    showDescriptions();
}

void FileSystemTopic::enableMonitoringForAllMountedFileSystems(bool enabled)
{
    for (FileSystemDescription& description : m_descriptions)
        description.isSelected = enabled;
    updateUserDefaults();
    showDescriptions();
}

void FileSystemTopic::addFileSystemPath(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString clean = QDir::cleanPath(path);
    const int index = indexOfDescriptionForMountPath(clean);
    if (index >= 0) {
        setEnabled(true, index);
        return;
    }
    FileSystemDescription description = describe(clean, true);
    // A folder inside a volume is as present as the volume that holds it.
    description.isOnline = description.isOnline || MountInfo::containing(m_mounts.mounts(), clean);
    m_descriptions.push_back(description);
    updateUserDefaults();
    showDescriptions();
}

void FileSystemTopic::removeFileSystemDescription(int index)
{
    if (index < 0 || size_t(index) >= m_descriptions.size())
        return;
    const bool wasSelected = m_descriptions[size_t(index)].isSelected;
    m_descriptions.erase(m_descriptions.begin() + index);
    if (wasSelected)
        updateUserDefaults();
    showDescriptions();
}

void FileSystemTopic::moveFileSystemDescriptions(const QList<int>& rows, int row)
{
    QList<int> moving = rows;
    std::sort(moving.begin(), moving.end());
    moving.erase(std::unique(moving.begin(), moving.end()), moving.end());
    std::vector<FileSystemDescription> taken;
    std::vector<FileSystemDescription> kept;
    int destination = row;
    for (size_t i = 0; i < m_descriptions.size(); ++i) {
        if (moving.contains(int(i))) {
            taken.push_back(m_descriptions[i]);
            // Rows taken out above the destination shift it up.
            if (int(i) < row)
                --destination;
        } else {
            kept.push_back(m_descriptions[i]);
        }
    }
    destination = std::clamp(destination, 0, int(kept.size()));
    kept.insert(kept.begin() + destination, taken.begin(), taken.end());
    m_descriptions = std::move(kept);
    updateUserDefaults();
    showDescriptions();
}

void FileSystemTopic::setFreeDefinitionMode(int mode)
{
    m_freeDefinitionMode = mode;
    QRNHostUserDefaults::setInteger(mode, topicUserDefaultsKeyForKey(SettingName::FreeDefinitionMode));
    if (m_freeDefinitionChoice && m_freeDefinitionChoice->currentIndex() != mode) {
        const QSignalBlocker blocker(m_freeDefinitionChoice);
        m_freeDefinitionChoice->setCurrentIndex(mode);
    }
}

void FileSystemTopic::mountsChanged(const QStringList& mounted, const QStringList& unmounted)
{
    for (const QString& path : unmounted) {
        const int index = indexOfDescriptionForMountPath(path);
        if (index >= 0)
            m_descriptions[size_t(index)].isOnline = false;
    }
    for (const QString& path : mounted) {
        const int index = indexOfDescriptionForMountPath(path);
        if (index >= 0) {
            m_descriptions[size_t(index)] = describe(path, m_descriptions[size_t(index)].isSelected);
            continue;
        }
        const MountEntry* mount = MountInfo::containing(m_mounts.mounts(), path);
        if (mount && VolumeChoices::isOffered(*mount))
            m_descriptions.push_back(describe(path, false));
    }
    showDescriptions();
}

QWidget* FileSystemTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    pageLayout()->addWidget(new QLabel(tr("Volumes shown (drag to change their order):")));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("fileSystemList"));
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        setEnabled(item->checkState() == Qt::Checked, item->data(DescriptionIndexRole).toInt());
    });
    // Queued: the list is refilled, which must wait until the drop is over.
    connect(m_list->model(), &QAbstractItemModel::rowsMoved, this, &FileSystemTopic::takeOrderFromList, Qt::QueuedConnection);
    pageLayout()->addWidget(m_list);

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(tr("Add Folder..."));
    add->setObjectName(QStringLiteral("addFolderButton"));
    connect(add, &QPushButton::clicked, this, &FileSystemTopic::chooseFolder);
    auto* remove = new QPushButton(tr("Remove"));
    remove->setObjectName(QStringLiteral("removeButton"));
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_list && m_list->currentItem())
            removeFileSystemDescription(m_list->currentItem()->data(DescriptionIndexRole).toInt());
    });
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(makeAPFSOverviewButton(page));
    pageLayout()->addLayout(buttons);

    auto* freeRow = new QHBoxLayout;
    freeRow->addWidget(new QLabel(tr("Free space:")));
    m_freeDefinitionChoice = new QComboBox;
    m_freeDefinitionChoice->setObjectName(QStringLiteral("freeDefinitionChoice"));
    m_freeDefinitionChoice->addItems({tr("Available capacity"), tr("Available for opportunistic use"), tr("Available for important use")});
    m_freeDefinitionChoice->setCurrentIndex(std::clamp(m_freeDefinitionMode, 0, 2));
    connect(m_freeDefinitionChoice, &QComboBox::currentIndexChanged, this, &FileSystemTopic::setFreeDefinitionMode);
    freeRow->addWidget(m_freeDefinitionChoice);
    freeRow->addStretch(1);
    pageLayout()->addLayout(freeRow);
    showDescriptions();
    return page;
}

QPushButton* FileSystemTopic::makeAPFSOverviewButton(QWidget* page)
{
    m_apfsOverviewWindow = new QDialog(page);
    m_apfsOverviewWindow->setWindowTitle(tr("Storage Pools"));
    m_apfsOverviewWindow->resize(760, 420);
    auto* layout = new QVBoxLayout(m_apfsOverviewWindow);
    m_apfsOverview = new StoragePoolOverview(m_mounts.sysroot());
    layout->addWidget(m_apfsOverview);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(close, &QDialogButtonBox::rejected, this, &FileSystemTopic::closeAPFSOverview);
    layout->addWidget(close);

    auto* open = new QPushButton(tr("Storage Pools..."));
    open->setObjectName(QStringLiteral("storagePoolsButton"));
    const auto enable = [open, overview = m_apfsOverview] { open->setEnabled(!overview->apfsHierarchyNodes().empty()); };
    connect(m_apfsOverview, &StoragePoolOverview::hierarchyChanged, open, enable);
    enable();
    connect(open, &QPushButton::clicked, this, &FileSystemTopic::openAPFSOverview);
    return open;
}

void FileSystemTopic::openAPFSOverview()
{
    if (!m_apfsOverviewWindow)
        return;
    m_apfsOverview->updateAPFSHierarchy();
    m_apfsOverviewWindow->show();
    m_apfsOverviewWindow->raise();
}

void FileSystemTopic::closeAPFSOverview()
{
    if (m_apfsOverviewWindow)
        m_apfsOverviewWindow->hide();
}

void FileSystemTopic::showDescriptions()
{
    if (!m_list)
        return;
    const QSignalBlocker blocker(m_list);
    const QSignalBlocker modelBlocker(m_list->model());
    m_list->clear();
    for (size_t i = 0; i < m_descriptions.size(); ++i) {
        const FileSystemDescription& description = m_descriptions[i];
        // The root volume without a label is named by its path already.
        QString text = description.volumeName == description.mountPath
            ? description.mountPath
            : description.volumeName + QStringLiteral(" \u2014 ") + description.mountPath;
        if (!description.isOnline)
            text += u' ' + tr("(not mounted)");
        auto* item = new QListWidgetItem(text, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        item->setCheckState(description.isSelected ? Qt::Checked : Qt::Unchecked);
        item->setData(DescriptionIndexRole, int(i));
        if (!description.isOnline)
            item->setForeground(m_list->palette().brush(QPalette::Disabled, QPalette::Text));
    }
}

void FileSystemTopic::takeOrderFromList()
{
    if (!m_list || m_list->count() != int(m_descriptions.size()))
        return;
    std::vector<FileSystemDescription> ordered;
    for (int row = 0; row < m_list->count(); ++row)
        ordered.push_back(m_descriptions[size_t(m_list->item(row)->data(DescriptionIndexRole).toInt())]);
    m_descriptions = std::move(ordered);
    updateUserDefaults();
    showDescriptions();
}

void FileSystemTopic::chooseFolder()
{
    // Window-modal without a nested event loop: the bar keeps ticking meanwhile.
    auto* dialog = new QFileDialog(contentView(), tr("Choose a volume or folder to watch"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &FileSystemTopic::addFileSystemPath);
    dialog->open();
}
