#include "configuration/DiskTopic.h"

#include "instruments/QRNDiskInstrument.h"
#include "items/DiskSettingNames.h"
#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "settings/QRNHostUserDefaults.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int IdentificationRole = Qt::UserRole;

QString disk(const QVariantMap& userInfo)
{
    return userInfo.value(QStringLiteral("Type")).toString() == QLatin1String("Disk") ? userInfo.value(QStringLiteral("ID")).toString() : QString();
}

QStringList attachedDisks()
{
    QStringList identifications;
    for (const auto& instrument : QRNDiskInstrument::diskInstrumentsForAllDevices())
        identifications.append(instrument->diskIdentification());
    return identifications;
}

} // namespace

DiskTopic::DiskTopic()
    : MonitorItemTopic(QStringLiteral("externaldrive"), tr("drive icon"),
        ExampleCellTexts{QStringLiteral("HD"), QStringLiteral("W: 999.9 WW/s"),
            QStringLiteral("W:"), QStringLiteral(" 99"), QStringLiteral("\tR:\t20\tMB/s"), QStringLiteral("\tW:\t15\tMB/s"), true})
{
    m_equipment.observe([this](const QVariantMap& userInfo) { updateOnlineStatus(true, disk(userInfo)); },
        [this](const QVariantMap& userInfo) { updateOnlineStatus(false, disk(userInfo)); });
}

DiskTopic::~DiskTopic() = default;

void DiskTopic::init()
{
    MonitorItemTopic::init();
    recreateDiskDescriptions();
}

void DiskTopic::recreateDiskDescriptions()
{
    const QVariant stored = UserDefaults::standardUserDefaults().objectForKey(topicUserDefaultsKeyForKey(DiskSettingName::MonitoredDisks));
    m_descriptions.recreate(PropertyList::isArray(stored) ? stored.toStringList() : QStringList(), attachedDisks());
    fillTable();
}

void DiskTopic::setupInitialDefaultSetOfMonitoredItems()
{
    enableMonitoringOfAllDisks(true);
}

void DiskTopic::setEnabled(bool enabled, size_t diskMonitoringAtIndex)
{
    if (!m_descriptions.setEnabled(enabled, diskMonitoringAtIndex))
        return;
    updateDiskDefaults();
    fillTable();
}

void DiskTopic::enableMonitoringOfAllDisks(bool enabled)
{
    m_descriptions.enableMonitoringOfAllDisks(enabled);
    updateDiskDefaults();
    fillTable();
}

void DiskTopic::updateOnlineStatus(bool online, const QString& identification)
{
    if (identification.isEmpty())
        return;
    m_descriptions.updateOnlineStatus(online, identification);
    fillTable();
}

void DiskTopic::updateDiskDefaults()
{
    QRNHostUserDefaults::setObject(m_descriptions.monitoredDisks(), topicUserDefaultsKeyForKey(DiskSettingName::MonitoredDisks));
}

void DiskTopic::setIndexOfGraphDisplayStyle(int index)
{
    QRNHostUserDefaults::setBool(index == 1, topicUserDefaultsKeyForKey(DiskSettingName::ShowOpposedGraphs));
}

void DiskTopic::setIndexOfGraphZoomMode(int index)
{
    QRNHostUserDefaults::setBool(index == 1, topicUserDefaultsKeyForKey(DiskSettingName::ShowLocallyZoomedGraphs));
}

QWidget* DiskTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();

    auto* options = new QFormLayout;
    m_graphStyle = new QComboBox;
    m_graphStyle->setObjectName(QStringLiteral("graphStyle"));
    m_graphStyle->addItems({tr("Side by side"), tr("Opposed")});
    m_graphStyle->setCurrentIndex(defaults.boolForKey(topicUserDefaultsKeyForKey(DiskSettingName::ShowOpposedGraphs)) ? 1 : 0);
    connect(m_graphStyle, &QComboBox::currentIndexChanged, this, &DiskTopic::setIndexOfGraphDisplayStyle);
    options->addRow(tr("Graph style:"), m_graphStyle);
    m_zoomMode = new QComboBox;
    m_zoomMode->setObjectName(QStringLiteral("zoomMode"));
    m_zoomMode->addItems({tr("Common scale"), tr("Each graph zoomed to its peak")});
    m_zoomMode->setCurrentIndex(defaults.boolForKey(topicUserDefaultsKeyForKey(DiskSettingName::ShowLocallyZoomedGraphs)) ? 1 : 0);
    connect(m_zoomMode, &QComboBox::currentIndexChanged, this, &DiskTopic::setIndexOfGraphZoomMode);
    options->addRow(tr("Graph zoom:"), m_zoomMode);
    pageLayout()->addLayout(options);

    pageLayout()->addWidget(new QLabel(tr("Disks to monitor (drag to change their order):")));
    m_table = new QListWidget;
    m_table->setObjectName(QStringLiteral("diskTable"));
    m_table->setDragDropMode(QAbstractItemView::InternalMove);
    m_table->setDefaultDropAction(Qt::MoveAction);
    connect(m_table, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        setEnabled(item->checkState() == Qt::Checked, size_t(m_table->row(item)));
    });
    connect(m_table->model(), &QAbstractItemModel::rowsMoved, this, &DiskTopic::takeOrderFromTable);
    pageLayout()->addWidget(m_table);

    auto* buttons = new QHBoxLayout;
    auto* all = new QPushButton(tr("Select All"));
    all->setObjectName(QStringLiteral("selectAllDisks"));
    connect(all, &QPushButton::clicked, this, [this] { enableMonitoringOfAllDisks(true); });
    auto* none = new QPushButton(tr("Select None"));
    none->setObjectName(QStringLiteral("selectNoDisks"));
    connect(none, &QPushButton::clicked, this, [this] { enableMonitoringOfAllDisks(false); });
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch(1);
    pageLayout()->addLayout(buttons);
    fillTable();
    return page;
}

void DiskTopic::fillTable()
{
    if (!m_table)
        return;
    const QSignalBlocker blocker(m_table);
    m_table->clear();
    for (const DiskDescriptionList::Description& description : m_descriptions.descriptions()) {
        const QString text = description.isOnline ? description.diskIdentification
                                                  : tr("%1 (offline)").arg(description.diskIdentification);
        auto* row = new QListWidgetItem(text, m_table);
        row->setData(IdentificationRole, description.diskIdentification);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        row->setCheckState(description.isSelected ? Qt::Checked : Qt::Unchecked);
    }
}

void DiskTopic::takeOrderFromTable()
{
    QStringList order;
    for (int row = 0; row < m_table->count(); ++row)
        order.append(m_table->item(row)->data(IdentificationRole).toString());
    m_descriptions.reorder(order);
    updateDiskDefaults();
}
