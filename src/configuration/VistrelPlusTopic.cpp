#include "configuration/VistrelPlusTopic.h"

#include "extension/VLPSensorInstrumentEntry.h"
#include "extension/VistrelPlusSession.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPixmap lampImage(const QColor& color)
{
    QPixmap image(12, 12);
    image.fill(Qt::transparent);
    if (color.isValid()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(color.darker(130));
        painter.setBrush(color);
        painter.drawEllipse(QRectF(1, 1, 10, 10));
    }
    return image;
}

// The companion found the processor's energy counters but may not read them.
bool lacksPackagePower(const VistrelPlusSession& session)
{
    if (!session.isConnected() || !session.appExtensionDataSet())
        return false;
    const auto sensors = transferEntry<VLPSensorInstrumentEntry>(
        session.appExtensionDataSet()->value(QLatin1String(VLPSensorInstrumentEntry::ClassName)));
    return sensors && sensors->isPowerGadgetAvailable && !sensors->isPowerGadgetEnabled;
}

}

VistrelPlusTopic::VistrelPlusTopic()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto refresh = [this](const QString&, const QVariantMap&) { refreshAppExtensionStatus(); };
    m_changeObserver = center.addObserver(QLatin1String(VistrelPlusSession::DidChangeNotification), refresh);
    m_receiveObserver = center.addObserver(QLatin1String(VistrelPlusSession::DidReceiveNotification), refresh);
}

VistrelPlusTopic::~VistrelPlusTopic()
{
    NotificationCenter::defaultCenter().removeObserver(m_changeObserver);
    NotificationCenter::defaultCenter().removeObserver(m_receiveObserver);
}

QString VistrelPlusTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("puzzlepiece");
}

QString VistrelPlusTopic::accessibilityDescriptionOfIcon() const
{
    return tr("extension icon");
}

bool VistrelPlusTopic::shouldUseAppExtension() const
{
    const VistrelPlusSession* session = VistrelPlusSession::current();
    return session && session->shouldUseAppExtension();
}

void VistrelPlusTopic::setShouldUseAppExtension(bool use)
{
    VistrelPlusSession* session = VistrelPlusSession::current();
    if (!session)
        return;
    session->setShouldUseAppExtension(use);
    session->updateAppExtensionAvailability();
}

void VistrelPlusTopic::openDownloadPage()
{
    const QString address = tr("URL_APPEXTENSION");
    if (address != QLatin1String("URL_APPEXTENSION"))
        QDesktopServices::openUrl(QUrl(address));
}

VistrelPlusTopic::StatusLine VistrelPlusTopic::addStatusLine(const QString& title, const QString& name)
{
    auto* row = new QHBoxLayout;
    StatusLine line {new QLabel, new QLabel};
    line.indicator->setObjectName(name + QStringLiteral("StatusIndicator"));
    line.field->setObjectName(name + QStringLiteral("StatusField"));
    row->addWidget(new QLabel(title));
    row->addWidget(line.indicator);
    row->addWidget(line.field, 1);
    pageLayout()->addLayout(row);
    return line;
}

QWidget* VistrelPlusTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    auto* about = new QLabel(tr("Vistrel Plus is a companion program that reads hardware sensors, fans, processor "
                                "power and the busiest processes for Vistrel. Vistrel starts it when you permit it."));
    about->setWordWrap(true);
    pageLayout()->addWidget(about);
    m_useSwitch = new QCheckBox(tr("Use Vistrel Plus"));
    m_useSwitch->setObjectName(QStringLiteral("useAppExtensionSwitch"));
    connect(m_useSwitch, &QCheckBox::toggled, this, &VistrelPlusTopic::setShouldUseAppExtension);
    pageLayout()->addWidget(m_useSwitch);
    m_detected = addStatusLine(tr("Installed:"), QStringLiteral("detected"));
    m_compatible = addStatusLine(tr("Compatible:"), QStringLiteral("compatible"));
    m_connected = addStatusLine(tr("Connected:"), QStringLiteral("connected"));
    m_downloadButton = new QPushButton(tr("Get Vistrel Plus…"));
    m_downloadButton->setObjectName(QStringLiteral("downloadButton"));
    connect(m_downloadButton, &QPushButton::clicked, this, &VistrelPlusTopic::openDownloadPage);
    pageLayout()->addWidget(m_downloadButton, 0, Qt::AlignLeft);
    m_powerNote = new QLabel(tr("Processor package power is not shown: on this system only the administrator may read "
                                "the RAPL energy counters. The README explains how to grant read access."));
    m_powerNote->setObjectName(QStringLiteral("powerNote"));
    m_powerNote->setWordWrap(true);
    pageLayout()->addWidget(m_powerNote);
    refreshAppExtensionStatus();
    return page;
}

void VistrelPlusTopic::show(const StatusLine& line, Lamp lamp, const QString& text)
{
    if (!line.indicator)
        return;
    static const QPixmap available = lampImage(QColor(0x30, 0xc0, 0x48));
    static const QPixmap unavailable = lampImage(QColor(0xe0, 0x40, 0x30));
    static const QPixmap none = lampImage(QColor());
    line.indicator->setPixmap(lamp == Lamp::Available ? available : lamp == Lamp::Unavailable ? unavailable : none);
    line.field->setText(text);
}

void VistrelPlusTopic::refreshAppExtensionStatus()
{
    if (!m_useSwitch)
        return;  // the page is not built yet
    const VistrelPlusSession* session = VistrelPlusSession::current();
    const QString yes = tr("Yes"), no = tr("No");
    {
        const QSignalBlocker blocker(m_useSwitch);
        m_useSwitch->setChecked(shouldUseAppExtension());
        m_useSwitch->setEnabled(session != nullptr);
    }
    const bool installed = session && session->isAppExtensionAvailable();
    show(m_detected, installed ? Lamp::Available : Lamp::Unavailable, installed ? yes : no);
    m_downloadButton->setVisible(!installed);

    const std::optional<QString> version = session ? session->appExtensionVersion() : std::nullopt;
    if (version && !version->isEmpty()) {
        const bool compatible = session->isAppExtensionCompatible();
        show(m_compatible, compatible ? Lamp::Available : Lamp::Unavailable,
            tr("%1 - %2").arg(compatible ? yes : no, tr("Version: %1").arg(*version)));
    } else {
        show(m_compatible, Lamp::None, QString());
    }
    const bool connected = session && session->isConnected();
    show(m_connected, connected ? Lamp::Available : Lamp::Unavailable, connected ? yes : no);
    m_powerNote->setVisible(session && lacksPackagePower(*session));
}
