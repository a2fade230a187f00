#include "configuration/StripFixture.h"

#include "menubar/QRNMenuBarCell.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/statusbar/StatusBar.h"

namespace StripFixture {

void fill(QRNMenuBarSimulatorView& view, const std::vector<double>& widths)
{
    view.resize(int(QRNMenuBarSimulatorView::MaximumWidth), int(StatusBar::Thickness));
    for (double width : widths) {
        auto cell = std::make_unique<QRNMenuBarCell>();
        cell->setWidth(width);
        view.addMenuBarCell(std::move(cell), QStringLiteral("tip %1").arg(view.countOfMenuBarCells()));
    }
}

std::vector<double> widths(const QRNMenuBarSimulatorView& view)
{
    std::vector<double> result;
    for (quint64 i = 0; i < view.countOfMenuBarCells(); ++i)
        result.push_back(view.menuBarCellAtIndex(i)->width());
    return result;
}

QPointF pointOverCell(const QRNMenuBarSimulatorView& view, quint64 index)
{
    const QRNMenuBarCell* cell = view.menuBarCellAtIndex(index);
    return {view.locationOfCell(cell).x() + cell->width() / 2, view.height() / 2.0};
}

ChangeCounter::ChangeCounter(QRNMenuBarSimulatorView& view)
{
    QObject::connect(&view, &QRNMenuBarSimulatorView::menuBarConfigurationDidChange, &view,
        [this, &view](QRNMenuBarSimulatorView* changed) { m_signals += changed == &view; });
    m_token = NotificationCenter::defaultCenter().addObserver(QString::fromLatin1(QRNMenuBarSimulatorView::ChangeNotificationName),
        [this](const QString&, const QVariantMap&) { ++m_notifications; });
}

ChangeCounter::~ChangeCounter()
{
    NotificationCenter::defaultCenter().removeObserver(m_token);
}

} // namespace StripFixture
