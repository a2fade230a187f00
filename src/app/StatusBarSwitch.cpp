#include "app/StatusBarSwitch.h"

#include "platform/log/Log.h"
#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusBarProbe.h"

#include <QDBusServiceWatcher>

StatusBarSwitch::StatusBarSwitch(CommandLine::StatusBarMode mode, StatusBarChoice::Display display, const QDBusConnection& bus,
    Factory factory)
    : m_mode(mode)
    , m_display(display)
    , m_bus(bus)
    , m_factory(std::move(factory))
{
    m_departure.setSingleShot(true);
    m_departure.setInterval(DepartureGraceMs);
    connect(&m_departure, &QTimer::timeout, this, [this] { follow(false); });
}

StatusBarSwitch::~StatusBarSwitch() = default;

bool StatusBarSwitch::start()
{
    using Mode = CommandLine::StatusBarMode;
    const bool watches = m_mode == Mode::Auto || m_mode == Mode::Tray;
    // Watching first, so that a watcher appearing right after the probe is not missed.
    if (watches && m_bus.isConnected()) {
        m_watcher = std::make_unique<QDBusServiceWatcher>(StatusBarProbe::WatcherService, m_bus,
            QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration);
        connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] {
            m_departure.stop();
            follow(true);
        });
        connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this, [this] { m_departure.start(); });
    }
    const bool watcher = watches && StatusBarProbe::isStatusNotifierWatcherRegistered(m_bus);
    m_backEnd = StatusBarChoice::backEndFor(m_mode, watcher, m_display);
    if (!m_backEnd) {
        m_watcher.reset();
        return false;
    }
    StatusBar::switchSystemStatusBar(m_factory(*m_backEnd));
    return true;
}

void StatusBarSwitch::follow(bool watcherPresent)
{
    const auto wanted = StatusBarChoice::backEndFor(m_mode, watcherPresent, m_display);
    if (!wanted || wanted == m_backEnd)
        return;
    Log::info("%{public}@: the tray %{public}@; the status items move.", {QStringLiteral("StatusBarSwitch"),
        watcherPresent ? QStringLiteral("appeared") : QStringLiteral("went away")});
    m_backEnd = wanted;
    StatusBar::switchSystemStatusBar(m_factory(*wanted));
}
