#include "app/ApplicationDelegate.h"
#include "app/CommandLine.h"
#include "app/SettingsWriteExercise.h"
#include "app/Snapshot.h"
#include "app/StatusBarChoice.h"
#include "app/StartupEnvironment.h"
#include "app/StatusBarSwitch.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/desktop/RuntimeDirectory.h"
#include "platform/desktop/SessionBusProbe.h"
#include "platform/desktop/TranslationTable.h"
#include "platform/linux/QuitSignals.h"
#include "platform/log/Log.h"
#include "platform/log/QtMessages.h"
#include "platform/notifications/DesktopNotification.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/OwnStatusBar.h"
#include "platform/statusbar/StatusBarProbe.h"
#include "platform/statusbar/TrayStatusBar.h"
#include "platform/statusbar/WaylandLayerShell.h"
#include "platform/statusbar/XEmbedTrayStatusBar.h"
#include "support/QRNSimpleCustomerSiteLogger.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

int fail(const QString& message, int code)
{
    std::fprintf(stderr, "vistrel: %s\n", qPrintable(message));
    return code;
}

// Samples for the requested number of seconds, then writes the snapshot and quits.
void scheduleSnapshot(const CommandLine& line, int* exitCode)
{
    auto* elapsed = new int(0);
    auto* timer = new QTimer(qApp);
    timer->setInterval(1000);
    QObject::connect(timer, &QTimer::timeout, qApp, [=] {
        if (++*elapsed < line.ticks)
            return;
        timer->stop();
        delete elapsed;
        QString error;
        const QStringList files = Snapshot::write(StatusBar::systemStatusBar(), line.snapshotDirectory, &error);
        if (files.isEmpty()) {
            *exitCode = fail(error.isEmpty() ? QStringLiteral("no status item to write") : error, 1);
        } else {
            for (const QString& file : files)
                std::printf("%s\n", qPrintable(file));
        }
        QCoreApplication::quit();
    });
    // The first tick of every group already ran during launch. Counting half
    // a second after the groups' timers keeps the count exact: the snapshot
    // never races a tick that is due at the same moment.
    *elapsed = 1;
    if (line.ticks == 1)
        QTimer::singleShot(0, timer, [timer] { Q_EMIT timer->timeout({}); });
    else
        QTimer::singleShot(500, timer, [timer] { timer->start(); });
}

QString seconds(std::chrono::milliseconds timeout)
{
    return QString::number(timeout.count() / 1000.0);
}

// Asked before Qt connects anywhere: a bus that accepts but never answers
// would stall every connection to it, Qt's own included.
bool sessionBusAnswers()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (SessionBusProbe::probe(address) != SessionBusProbe::State::Silent)
        return !address.isEmpty() && address != SessionBusProbe::DisabledAddress;
    std::fprintf(stderr,
        "vistrel: the session bus at '%s' accepted the connection but did not answer within %s s; "
        "going on without it (no tray icons, no notifications)\n",
        address.constData(), qPrintable(seconds(SessionBusProbe::Timeout)));
    qputenv("DBUS_SESSION_BUS_ADDRESS", SessionBusProbe::DisabledAddress);
    return false;
}

StatusBarProbe::WaylandDisplay waylandDisplay()
{
    const StatusBarProbe::WaylandDisplay answer = StatusBarProbe::waylandDisplay();
    if (answer == StatusBarProbe::WaylandDisplay::Silent) {
        std::fprintf(stderr, "vistrel: the Wayland compositor of WAYLAND_DISPLAY=%s accepted the connection but did not "
                             "answer within %s s; going on without it\n",
            qgetenv("WAYLAND_DISPLAY").constData(), qPrintable(seconds(StatusBarProbe::X11Timeout)));
    }
    return answer;
}

bool x11DisplayAnswers()
{
    switch (StatusBarProbe::x11Display()) {
    case StatusBarProbe::Display::Available:
        return true;
    case StatusBarProbe::Display::Absent:
        return false;
    case StatusBarProbe::Display::Silent:
        break;
    }
    std::fprintf(stderr, "vistrel: the X server of DISPLAY=%s accepted the connection but did not answer within %s s; "
                         "going on without it\n",
        qgetenv("DISPLAY").constData(), qPrintable(seconds(StatusBarProbe::X11Timeout)));
    return false;
}

// A settings file that could not be read was moved aside and its settings
// start empty; a user who sees the configuration window again should know why.
void notifyOfSettingsResets(bool busAnswers)
{
    UserDefaults::standardUserDefaults().setMovedAsideHandler([busAnswers](const QString& path, const QString& aside) {
        if (!busAnswers)
            return;
        DesktopNotification::post(QDBusConnection::sessionBus(), QObject::tr("Vistrel settings were reset"),
            QObject::tr("The settings file %1 could not be read. It was kept as %2, and Vistrel started with "
                        "default settings.")
                .arg(path, aside));
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString error;
    const auto line = CommandLine::parse(arguments, &error);
    if (!line) {
        std::fprintf(stderr, "vistrel: %s\nTry 'vistrel --help'.\n", qPrintable(error));
        return 2;
    }
    if (line->showHelp) {
        std::printf("%s", qPrintable(CommandLine::usage()));
        return 0;
    }
    if (line->showVersion) {
        std::printf("vistrel %s\n", VISTREL_VERSION);
        return 0;
    }

    QtMessages::install();
    RuntimeDirectory::ensure();

    CommandLine::StatusBarMode mode = line->statusBar;
    if (!line->snapshotDirectory.isEmpty())
        mode = CommandLine::StatusBarMode::Offscreen;
    const bool busAnswers = sessionBusAnswers();
    const StatusBarProbe::WaylandDisplay wayland = mode != CommandLine::StatusBarMode::Offscreen
        ? waylandDisplay()
        : StatusBarProbe::WaylandDisplay::Absent;
    const bool onWayland = wayland == StatusBarProbe::WaylandDisplay::Plain
        || wayland == StatusBarProbe::WaylandDisplay::LayerShell;
    const bool x11 = !onWayland && mode != CommandLine::StatusBarMode::Offscreen && x11DisplayAnswers();
    StatusBarChoice::Display display;
    if (onWayland) {
        // Native Wayland, even where XWayland also offers DISPLAY: menus and
        // windows then go where the compositor puts Wayland surfaces, and
        // the own bar can be a panel of the layer shell.
        qputenv("QT_QPA_PLATFORM", "wayland");
        WaylandLayerShell::prepareEnvironment();
        display.ownBar = wayland == StatusBarProbe::WaylandDisplay::LayerShell;
    } else if (x11) {
        // Every back end but offscreen shows windows (menus, the own bar,
        // tray icons, the configuration window) on the X display.
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Shared-memory uploads make every repaint wait for the X server; the
        // few small images go faster, and wake the process once per tick
        // instead of twice, as plain uploads.
        if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
            qputenv("QT_XCB_NO_MITSHM", "1");
        display = {true, true};
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // Vistrel's own options are not Qt's: "--snapshot -platform" names a
    // folder, not Qt's platform option without its value.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setApplicationVersion(QStringLiteral(VISTREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.zentrovo.vistrel"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Animated menus change the window's opacity step by step, which a
    // Wayland compositor has no request for; each step only logs a warning.
    if (onWayland)
        QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    QString wordingError;
    if (!TranslationTable::installLinuxWording(&wordingError))
        Log::error("Linux wording not installed: %{public}@", {wordingError});

    // Only the tray and auto modes care about the bus; the others never touch it.
    const bool watches = mode == CommandLine::StatusBarMode::Auto || mode == CommandLine::StatusBarMode::Tray;
    StatusBarSwitch statusBars(mode, display, watches && busAnswers ? QDBusConnection::sessionBus() : QDBusConnection(QString()),
        [](StatusBarChoice::BackEnd backEnd) -> std::unique_ptr<StatusBar> {
            switch (backEnd) {
            case StatusBarChoice::BackEnd::StatusNotifierTray:
                return std::make_unique<TrayStatusBar>();
            case StatusBarChoice::BackEnd::XEmbedTray:
                return std::make_unique<XEmbedTrayStatusBar>();
            case StatusBarChoice::BackEnd::OwnBar:
                return std::make_unique<OwnStatusBar>();
            case StatusBarChoice::BackEnd::Offscreen:
                break;
            }
            return std::make_unique<OffscreenStatusBar>();
        });
    if (!statusBars.start()) {
        return fail(mode == CommandLine::StatusBarMode::Bar
                ? QStringLiteral("the own bar needs an X11 display or a Wayland compositor with a layer shell, and "
                                 "neither was found (is DISPLAY or WAYLAND_DISPLAY set?)")
                : QStringLiteral("the tray needs a StatusNotifierWatcher on the session bus or, for an XEmbed tray, "
                                 "an X11 display, and neither was found"),
            1);
    }

    notifyOfSettingsResets(busAnswers);
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, [](int signalNumber) {
        Log::info("%{public}@: quitting on signal %d.", {QStringLiteral("vistrel"), signalNumber});
        QCoreApplication::quit();
    });
    StartupEnvironment::setupApplicationSupport(line->snapshotDirectory.isEmpty() && mode != CommandLine::StatusBarMode::Offscreen);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { QRNSimpleCustomerSiteLogger::sharedLogger().applicationWillTerminate(); });
    int exitCode = 0;
    {
        ApplicationDelegate controller;
        controller.applicationDidFinishLaunching();
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &controller, &ApplicationDelegate::applicationWillTerminate);
        if (!line->snapshotDirectory.isEmpty())
            scheduleSnapshot(*line, &exitCode);
        if (line->exerciseSettingsWrites)
            new SettingsWriteExercise(UserDefaults::standardUserDefaults(), &controller);
        const int loopCode = app.exec();
        if (exitCode == 0)
            exitCode = loopCode;
    }
    StatusBar::setSystemStatusBar(nullptr);
    return exitCode;
}
