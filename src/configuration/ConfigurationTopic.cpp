#include "configuration/ConfigurationTopic.h"

#include "configuration/ConfigurationTopicClasses.h"
#include "configuration/QRNMenuBarSimulatorView.h"
#include "items/MonitorItemClasses.h"
#include "menubar/QRNMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "platform/bundle/BundleResources.h"
#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/desktop/SystemSymbol.h"
#include "support/ApplicationName.h"
#include "platform/log/Log.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace {

const QString LogName = QLatin1String(ConfigurationTopic::ClassName);

// Read once: the resource cannot change while the program runs.
const QVariantMap& cellConfigurations()
{
    static const QVariantMap configurations
        = BundleResources::propertyListNamed(QStringLiteral("MenuBarCellConfigurations")).value_or(QVariant()).toMap();
    return configurations;
}

QString localized(const QString& key)
{
    return QCoreApplication::translate("Configuration", key.toUtf8().constData());
}

QLabel* headingLabel(const QString& text)
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    label->setFont(font);
    return label;
}

} // namespace

ConfigurationTopic::ConfigurationTopic() = default;

ConfigurationTopic::~ConfigurationTopic()
{
    delete m_contentView;
    // Strips of a topic that never built its page have no parent to delete them.
    delete m_menuBarSimulatorView;
    delete m_menuBarSourceView;
}

QWidget* ConfigurationTopic::contentView() const
{
    return m_contentView;
}

QRNMenuBarSimulatorView* ConfigurationTopic::menuBarSimulatorView() const
{
    return m_menuBarSimulatorView;
}

QRNMenuBarSimulatorView* ConfigurationTopic::menuBarSourceView() const
{
    return m_menuBarSourceView;
}

std::optional<ConfigurationTopic::List> ConfigurationTopic::topicHierarchyForConfigurationDescription(const QVariant& description)
{
    if (!PropertyList::isArray(description))
        return std::nullopt;
    List topics;
    for (const QVariant& entry : description.toList()) {
        if (entry.typeId() != QMetaType::QVariantMap) {
            Log::error("%{public}@: malformed entry in static description: dictionary expected, found %{public}@.",
                {LogName, PropertyList::description(entry)});
            return std::nullopt;
        }
        const QVariantMap map = entry.toMap();
        std::unique_ptr<ConfigurationTopic> topic;
        if (map.contains(QStringLiteral("Items"))) {
            topic = std::make_unique<ConfigurationTopic>();
            topic->init();
            if (auto children = topicHierarchyForConfigurationDescription(map.value(QStringLiteral("Items"))))
                topic->adoptChildren(std::move(*children));
        } else {
            const QString className = map.value(QStringLiteral("Class")).toString();
            topic = ConfigurationTopicClasses::newTopicOfClassNamed(className);
            if (!topic) {
                Log::error("%{public}@: implementation for class '%{public}@' is missing.", {LogName, className});
                return std::nullopt;
            }
        }
        topic->applyDescription(map);
        topics.push_back(std::move(topic));
    }
    return topics;
}

void ConfigurationTopic::adoptChildren(List children)
{
    m_children = std::move(children);
}

void ConfigurationTopic::applyDescription(const QVariantMap& entry)
{
    setDisplayTitle(localized(entry.value(QStringLiteral("Title")).toString()));
    const QVariant symbol = entry.value(QStringLiteral("OverrideSymbol"));
    if (symbol.typeId() == QMetaType::QString)
        m_overrideSymbolName = symbol.toString();
    const QVariant accessibility = entry.value(QStringLiteral("OverrideAccessibility"));
    if (accessibility.typeId() == QMetaType::QString)
        m_overrideAccessibility = accessibility.toString();
}

void ConfigurationTopic::setDisplayTitle(const QString& title)
{
    m_displayTitle = title;
    if (m_headingLabel)
        m_headingLabel->setText(title);
}

void ConfigurationTopic::init()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    m_isFeatureActive = defaults.boolForKey(topicUserDefaultsKeyForKey(SettingName::IsActive));
    const auto defaultCodes = preconfiguredCellCodesForKey(QStringLiteral("Default"));
    const auto availableCodes = preconfiguredCellCodesForKey(QStringLiteral("Available"));
    m_menuBarDefaultCellCodes = defaultCodes.value_or(QStringList());
    m_menuBarAvailableCellCodes = availableCodes.value_or(QStringList());

    // A topic whose item starts with some cells has an item strip; one that
    // offers cells has a palette.
    if (defaultCodes) {
        m_menuBarSimulatorView = new QRNMenuBarSimulatorView;
        const QVariant stored = defaults.objectForKey(topicUserDefaultsKeyForKey(SettingName::MenuBarConfiguration));
        const bool useStored = PropertyList::isArray(stored) && !stored.toList().isEmpty();
        m_menuBarCellCodes = useStored ? stored.toStringList() : m_menuBarDefaultCellCodes;
        configureMenuBarSimulator(m_menuBarSimulatorView, m_menuBarCellCodes, {});
        m_menuBarSimulatorView->setIsItemSource(false);
        connect(m_menuBarSimulatorView, &QRNMenuBarSimulatorView::menuBarConfigurationDidChange, this,
            &ConfigurationTopic::handleChangeInMenuBarConfiguration);
    }
    if (availableCodes) {
        m_menuBarSourceView = new QRNMenuBarSimulatorView;
        configureMenuBarSimulator(m_menuBarSourceView, m_menuBarAvailableCellCodes,
            preconfiguredCellCodesForKey(QStringLiteral("Descriptions")).value_or(QStringList()));
        m_menuBarSourceView->setIsItemSource(true);
    }
    m_contentView = createContentView();
}

QWidget* ConfigurationTopic::createContentView()
{
    return nullptr;
}

QWidget* ConfigurationTopic::makeStandardPage()
{
    auto* page = new QWidget;
    page->setObjectName(className());
    m_pageLayout = new QVBoxLayout(page);
    m_pageLayout->setAlignment(Qt::AlignTop);

    auto* header = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(iconForSourceList().pixmap(32, 32));
    icon->setAccessibleName(accessibilityDescriptionOfIcon());
    header->addWidget(icon);
    m_headingLabel = headingLabel(m_displayTitle);
    header->addWidget(m_headingLabel, 1);
    m_pageLayout->addLayout(header);

    if (const MonitorItemClass* itemClass = monitorItemClass()) {
        m_featureSwitch = new QCheckBox(tr("Show in the menu bar"));
        m_featureSwitch->setObjectName(QStringLiteral("featureSwitch"));
        m_featureSwitch->setChecked(m_isFeatureActive && itemClass->isAvailable());
        m_featureSwitch->setEnabled(itemClass->isAvailable());
        connect(m_featureSwitch, &QCheckBox::toggled, this, &ConfigurationTopic::setIsFeatureActive);
        m_pageLayout->addWidget(m_featureSwitch);
        if (!itemClass->isAvailable()) {
            auto* note = new QLabel(tr("This item is not available in this version of %1.").arg(localizedApplicationName()));
            note->setObjectName(QStringLiteral("unavailableNote"));
            m_pageLayout->addWidget(note);
        }
    }
    if (m_menuBarSourceView) {
        m_pageLayout->addWidget(new QLabel(tr("Available cells (drag them into the menu-bar item below):")));
        m_menuBarSourceView->setObjectName(QStringLiteral("menuBarSourceView"));
        m_pageLayout->addWidget(m_menuBarSourceView);
    }
    if (m_menuBarSimulatorView) {
        m_pageLayout->addWidget(new QLabel(tr("Menu-bar item (drag a cell out to remove it):")));
        m_menuBarSimulatorView->setObjectName(QStringLiteral("menuBarSimulatorView"));
        m_pageLayout->addWidget(m_menuBarSimulatorView);
        auto* restore = new QPushButton(tr("Default Cells"));
        restore->setObjectName(QStringLiteral("defaultCellsButton"));
        connect(restore, &QPushButton::clicked, this, &ConfigurationTopic::setMenuBarCellsToDefault);
        auto* row = new QHBoxLayout;
        row->addWidget(restore);
        row->addStretch(1);
        m_pageLayout->addLayout(row);
    }
    return page;
}

const MonitorItemClass* ConfigurationTopic::monitorItemClass() const
{
    return MonitorItemClasses::shared().findForTopic(className());
}

QString ConfigurationTopic::systemSymbolNameOfIcon() const
{
    return m_overrideSymbolName.isEmpty() ? QStringLiteral("questionmark.square") : m_overrideSymbolName;
}

QString ConfigurationTopic::accessibilityDescriptionOfIcon() const
{
    return m_overrideAccessibility.isEmpty() ? tr("unknown topic") : localized(m_overrideAccessibility);
}

QIcon ConfigurationTopic::iconForSourceList() const
{
    return SystemSymbol::image(systemSymbolNameOfIcon());
}

void ConfigurationTopic::setupInitialDefaultSetOfMonitoredItems()
{
}

void ConfigurationTopic::completeLaunchSetup()
{
    refreshAllConfigurationViewCells();
}

void ConfigurationTopic::setIsFeatureActive(bool active)
{
    m_isFeatureActive = active;
    updateUserDefaultsForMenuBarConfiguration();
    QRNHostUserDefaults::setBool(active, topicUserDefaultsKeyForKey(SettingName::IsActive));
    if (m_featureSwitch && m_featureSwitch->isChecked() != active) {
        const QSignalBlocker blocker(m_featureSwitch);
        m_featureSwitch->setChecked(active);
    }
    Q_EMIT isFeatureActiveChanged(active);
}

QString ConfigurationTopic::topicUserDefaultsKeyForKey(const QString& key) const
{
    if (key.isEmpty())
        return {};
    return QStringLiteral("%1-%2").arg(className(), key);
}

std::optional<QStringList> ConfigurationTopic::preconfiguredCellCodesForKey(const QString& key) const
{
    if (key.isEmpty())
        return std::nullopt;
    const QVariant entry = cellConfigurations().value(className());
    if (entry.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariant codes = entry.toMap().value(key);
    if (!PropertyList::isArray(codes))
        return std::nullopt;
    return codes.toStringList();
}

void ConfigurationTopic::configureMenuBarSimulator(QRNMenuBarSimulatorView* view, const QStringList& codes, const QStringList& toolTipStrings)
{
    if (!view || codes.isEmpty())
        return;
    view->removeAllMenuBarCells();
    // The strip shows what the item can show.
    const qsizetype count = std::min(codes.size(), qsizetype(QRNMenuBarItemImage::MaximumCellCount));
    for (qsizetype i = 0; i < count; ++i) {
        std::unique_ptr<QRNMenuBarCell> cell = QRNMenuBarCell::newMenuBarCellForStringCode(codes[i]);
        if (!cell)
            continue;
        configureNewMenuBarCell(*cell);
        view->addMenuBarCell(std::move(cell), i < toolTipStrings.size() ? localized(toolTipStrings[i]) : QString());
    }
    view->refreshCells();
}

void ConfigurationTopic::configureNewMenuBarCell(QRNMenuBarCell&)
{
}

void ConfigurationTopic::handleChangeInMenuBarConfiguration(QRNMenuBarSimulatorView* view)
{
    if (view && view == m_menuBarSimulatorView)
        updateUserDefaultsForMenuBarConfiguration();
}

void ConfigurationTopic::updateUserDefaultsForMenuBarConfiguration()
{
    m_menuBarCellCodes = m_menuBarSimulatorView ? m_menuBarSimulatorView->cellCodes() : QStringList();
    QRNHostUserDefaults::setObject(QVariant(m_menuBarCellCodes),
        topicUserDefaultsKeyForKey(SettingName::MenuBarConfiguration));
}

void ConfigurationTopic::setMenuBarCellsToDefault()
{
    configureMenuBarSimulator(m_menuBarSimulatorView, m_menuBarDefaultCellCodes, {});
    updateUserDefaultsForMenuBarConfiguration();
}

void ConfigurationTopic::refreshAllConfigurationViewCells()
{
    if (m_menuBarSimulatorView)
        m_menuBarSimulatorView->refreshCells();
    if (m_menuBarSourceView)
        m_menuBarSourceView->refreshCells();
}
