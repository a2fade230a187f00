#include "items/QRNMonitorItem.h"

#include "instruments/QRNSystemInstrument.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/defaults/PropertyList.h"
#include "platform/log/Log.h"
#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/SettingNames.h"
#include "support/CDP.h"
#include "support/EventLog.h"

#include <QFontDatabase>
#include <QWidgetAction>

#include <algorithm>
#include <cmath>

namespace {
constexpr int TextPairRowHeight = 17;
constexpr double TextPairOffsets = 20.0;
constexpr quint32 GraphCapacity = 30;
const QSize GraphFrame(100, 40);
} // namespace

QRNMonitorItem::QRNMonitorItem() = default;

QRNMonitorItem::~QRNMonitorItem()
{
    if (m_statusItem)
        unlinkFromMenu();
    if (m_isMenuVisible)
        Q_EMIT menuClosed(this);
}

void QRNMonitorItem::updateInterfaceMenuBar(bool, bool)
{
}

bool QRNMonitorItem::initWithCellConfiguration(const QStringList& codes)
{
    if (codes.isEmpty())
        return false;
    StatusBar& bar = StatusBar::systemStatusBar();
    adoptStatusItem(bar.statusItemWithLength(StatusItem::VariableLength));
    m_image = std::make_unique<QRNMenuBarItemImage>(QSizeF(0, bar.thickness()));
    m_image->setAssociatedView(m_statusItem.get());
    // The bar keeps each kind of item where the user put it.
    m_statusItem->setAutosaveName(className());
    m_statusItem->setRemovalAllowed(true);
    createNewMenuBarCellsWithConfigurationCodes(codes);
    buildMenu();
    return true;
}

void QRNMonitorItem::createNewMenuBarCellsWithConfigurationCodes(const QStringList& codes)
{
    if (!m_image)
        return;
    QRNMenuBarItemImage::Cells cells;
    for (const QString& code : codes) {
        std::unique_ptr<QRNMenuBarCell> cell = QRNMenuBarCell::newMenuBarCellForStringCode(code);
        if (!cell)
            continue;
        customizeNewMenuBarCell(*cell);
        cells.push_back(std::move(cell));
        // One past the cap is enough for the image to report the cut.
        if (cells.size() > QRNMenuBarItemImage::MaximumCellCount)
            break;
    }
    if (cells.empty())
        cells.push_back(fallbackCell());
    m_image->setMenuBarCells(std::move(cells));
}

std::unique_ptr<QRNMenuBarCell> QRNMonitorItem::fallbackCell()
{
    std::unique_ptr<QRNMenuBarCell> cell = QRNMenuBarCell::newMenuBarCellForStringCode(QStringLiteral("QRNTextMenuBarCell:N"));
    static_cast<QRNTextMenuBarCell&>(*cell).setStringValue(QString(QChar(0x2042)));
    return cell;
}

void QRNMonitorItem::customizeNewMenuBarCell(QRNMenuBarCell&)
{
}

void QRNMonitorItem::unlinkFromMenu()
{
    if (!m_statusItem)
        return;
    disconnect(m_statusItem.get(), nullptr, this, nullptr);
    if (StatusBar* bar = m_statusItem->statusBar())
        bar->removeStatusItem(*m_statusItem);
}

void QRNMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    if (key.name() == SettingName::MenuBarConfiguration && PropertyList::isArray(value)) {
        createNewMenuBarCellsWithConfigurationCodes(value.toStringList());
        updateInterface();
        return;
    }
    Log::error("%{public}@: could not handle change of user default '%{public}@'.", {className(), key.toString()});
}

void QRNMonitorItem::addMonitorInstrument(std::shared_ptr<QRNSystemInstrument> instrument)
{
    m_monitorInstruments.push_back(std::move(instrument));
    m_hasChangedInstruments = true;
}

void QRNMonitorItem::setMonitorInstruments(Instruments instruments)
{
    m_monitorInstruments = std::move(instruments);
    m_hasChangedInstruments = true;
}

void QRNMonitorItem::adoptStatusItem(std::unique_ptr<StatusItem> statusItem)
{
    m_statusItem = std::move(statusItem);
    m_statusItem->setToolTipSource([this] { return toolTipText(); });
    connect(m_statusItem.get(), &StatusItem::visibleChanged, this, &QRNMonitorItem::statusItemVisibilityChanged);
}

void QRNMonitorItem::buildMenu()
{
    m_menu = std::make_unique<StatusMenu>();
    if (m_statusItem)
        m_menu->setMinimumWidth(int(m_statusItem->width()));
    createMenuItemsInMenu(*m_menu);
    connect(m_menu.get(), &QMenu::aboutToShow, this, &QRNMonitorItem::menuWillOpen);
    connect(m_menu.get(), &QMenu::aboutToHide, this, &QRNMonitorItem::menuDidClose);
    if (m_statusItem)
        m_statusItem->setMenu(m_menu.get());
}

void QRNMonitorItem::rebuildMenu()
{
    if (!m_menu) {
        Log::error("%{public}@: ignoring request to rebuild menu because status item has no menu yet.", {className()});
        return;
    }
    m_menu->clear();
    createMenuItemsInMenu(*m_menu);
    updateInterfaceMenuBar(false, true);
}

QRNTextPairView* QRNMonitorItem::addTextPairView(const QString& left, const QString& right, StatusMenu* menu)
{
    if (!menu)
        return nullptr;
    auto* view = new QRNTextPairView(QRect(0, 0, menu->minimumWidth(), TextPairRowHeight));
    view->setHorizontalOffsets(TextPairOffsets);
    view->setLeftColor(MenuBarColor::System::Label);
    if (!left.isNull())
        view->setLeftStringValue(left);
    if (!right.isNull())
        view->setRightStringValue(right);
    auto* row = new QWidgetAction(menu);
    row->setDefaultWidget(view);
    menu->addAction(row);
    return view;
}

QRNTextPairView* QRNMonitorItem::addHeadingView(const QString& text, StatusMenu& menu)
{
    QRNTextPairView* heading = addTextPairView(text, QString(), &menu);
    QFont bold = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    bold.setBold(true);
    heading->setFont(bold);
    heading->setLeftColor(MenuBarColor::System::Text);
    return heading;
}

QRNGraphMenuView* QRNMonitorItem::addGraphView(StatusMenu& menu)
{
    auto* graph = new QRNGraphMenuView(QRect(QPoint(0, 0), GraphFrame));
    graph->setHorizontalOffsets(TextPairOffsets);
    graph->setCapacity(GraphCapacity);
    auto* row = new QWidgetAction(&menu);
    row->setDefaultWidget(graph);
    menu.addAction(row);
    return graph;
}

bool QRNMonitorItem::isBooleanValue(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool || (value.canConvert<double>() && value.typeId() != QMetaType::QString);
}

QString QRNMonitorItem::equipmentIdentificationWithoutSerialNumberSuffixFor(const QString& identification)
{
    if (!identification.endsWith(u')'))
        return identification;
    const qsizetype open = identification.lastIndexOf(QLatin1String(" ("));
    return open < 0 ? identification : identification.left(open);
}

void QRNMonitorItem::updateMenuWidthForTextPairViewsIfNeeded()
{
    if (!m_menu)
        return;
    double wanted = m_statusItem ? m_statusItem->width() : 0.0;
    QWidgetAction* keeper = nullptr;
    for (QAction* action : m_menu->actions()) {
        auto* row = qobject_cast<QWidgetAction*>(action);
        if (!row)
            continue;
        if (row->data().toInt() == WidthKeepingTag)
            keeper = row;
        else if (auto* view = qobject_cast<QRNTextPairView*>(row->defaultWidget()))
            wanted = std::max(wanted, view->optimumWidth());
    }
    const int width = int(std::ceil(wanted));
    if (keeper && keeper->defaultWidget()->width() == width)
        return;
    if (keeper) {
        m_menu->removeAction(keeper);
        delete keeper;
    }
    auto* blank = new QWidget;
    blank->setFixedSize(width, 1);
    auto* row = new QWidgetAction(m_menu.get());
    row->setData(WidthKeepingTag);
    row->setDefaultWidget(blank);
    m_menu->addAction(row);
}

void QRNMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    QAction* preferences = menu.addAction(tr("Preferences..."));
    connect(preferences, &QAction::triggered, this, &QRNMonitorItem::openUserInterfaceForPreferenceSettings);
    QAction* diagnostics = menu.addAction(tr("Show Diagnostics Window"));
    connect(diagnostics, &QAction::triggered, this, &QRNMonitorItem::diagnosticsRequested);
    menu.addAlternate(preferences, diagnostics, Qt::AltModifier);
}

void QRNMonitorItem::openUserInterfaceForPreferenceSettings()
{
    Q_EMIT preferencesRequested(this);
}

void QRNMonitorItem::menuWillOpen()
{
    m_isMenuVisible = true;
    Q_EMIT menuOpened(this);
    EventLog::append(QStringLiteral("%1: opening menu.\n").arg(className()));
    updateInterfaceMenuBar(false, true);
}

void QRNMonitorItem::menuDidClose()
{
    if (m_statusItem)
        m_statusItem->setHighlighted(false);
    m_isMenuVisible = false;
    Q_EMIT menuClosed(this);
    EventLog::append(QStringLiteral("%1: closed menu.\n").arg(className()));
}

void QRNMonitorItem::statusItemVisibilityChanged(bool visible)
{
    // The user dragged the item out of the bar.
    if (visible)
        return;
    Q_EMIT removalRequested(this);
}

void QRNMonitorItem::pushUsedAndFreeIntoCells(quint64 used, quint64 free, double fraction, bool graphsFollow)
{
    QRNMenuBarItemImage* image = menuBarImage();
    if (!image)
        return;
    for (const auto& cell : image->menuBarCells()) {
        if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(cell.get())) {
            if (text->textStyle() != QRNTextMenuBarCell::TwoLines)
                continue;
            text->setTabStopsForLabelMaximumString(QStringLiteral("W:"), QStringLiteral(" 999.9"));
            text->setStringValue(tr("\tU:\t%1").arg(CDP::displayTextForMemorySize(used, true)));
            text->setSecondaryStringValue(tr("\tF:\t%1").arg(CDP::displayTextForMemorySize(free, true)));
        } else if (auto* numeric = dynamic_cast<QRNNumericMenuBarCell*>(cell.get())) {
            numeric->setDoubleValue(fraction);
        } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(cell.get()); graph && graphsFollow) {
            graph->addNewValue(fraction);
        }
    }
    image->refreshCells();
}
