#include "configuration/TopProcessesSwitch.h"

#include "configuration/SettingControls.h"
#include "extension/VistrelPlusSession.h"
#include "settings/QRNHostUserDefaults.h"

#include <QCheckBox>

TopProcessesSwitch::TopProcessesSwitch()
{
    m_observer = NotificationCenter::defaultCenter().addObserver(QLatin1String(VistrelPlusSession::DidChangeNotification),
        [this](const QString&, const QVariantMap&) { appExtensionDidChange(); });
}

TopProcessesSwitch::~TopProcessesSwitch()
{
    NotificationCenter::defaultCenter().removeObserver(m_observer);
}

bool TopProcessesSwitch::canShowTop5Processes()
{
    const VistrelPlusSession* session = VistrelPlusSession::current();
    return session && session->isConnected();
}

void TopProcessesSwitch::store(bool shows, const QString& key)
{
    QRNHostUserDefaults::setBool(shows, key);
    if (VistrelPlusSession* session = VistrelPlusSession::current())
        session->notifyAppExtensionAboutPreferenceChange();
}

QCheckBox* TopProcessesSwitch::makeSwitch(const QString& key, std::function<void(bool)> setter)
{
    m_control = SettingControls::makeSwitch(tr("Show the five busiest processes (needs Vistrel Plus)"),
        QStringLiteral("topProcesses"), key, std::move(setter));
    m_control->setEnabled(canShowTop5Processes());
    return m_control;
}

void TopProcessesSwitch::appExtensionDidChange()
{
    if (m_control)
        m_control->setEnabled(canShowTop5Processes());
}
