#include "app/ApplicationDelegate.h"
#include "app/CommandLine.h"
#include "app/Snapshot.h"
#include "app/StatusBarChoice.h"
#include "app/StatusBarSwitch.h"
#include "items/MonitorItemRegistration.h"
#include "platform/log/Log.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/OwnStatusBar.h"
#include "platform/statusbar/StatusBarProbe.h"
#include "platform/statusbar/TrayStatusBar.h"
#include "platform/statusbar/XEmbedTrayStatusBar.h"

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
    // The first tick of every group already ran during launch.
    *elapsed = 1;
    if (line.ticks == 1)
        QTimer::singleShot(0, timer, [timer] { Q_EMIT timer->timeout({}); });
    else
        timer->start();
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

    CommandLine::StatusBarMode mode = line->statusBar;
    if (!line->snapshotDirectory.isEmpty())
        mode = CommandLine::StatusBarMode::Offscreen;
    const bool x11 = mode != CommandLine::StatusBarMode::Offscreen && StatusBarProbe::isX11DisplayAvailable();
    if (x11) {
        // Every back end but offscreen shows windows (menus, the own bar,
        // tray icons, the configuration window) on the X display.
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Shared-memory uploads make every repaint wait for the X server; the
        // few small images go faster, and wake the process once per tick
        // instead of twice, as plain uploads.
        if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
            qputenv("QT_XCB_NO_MITSHM", "1");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setApplicationVersion(QStringLiteral(VISTREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.zentrovo.vistrel"));
    QApplication::setQuitOnLastWindowClosed(false);

    // Only the tray and auto modes care about the bus; the others never touch it.
    const bool watches = mode == CommandLine::StatusBarMode::Auto || mode == CommandLine::StatusBarMode::Tray;
    StatusBarSwitch statusBars(mode, x11, watches ? QDBusConnection::sessionBus() : QDBusConnection(QString()),
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
                ? QStringLiteral("the own bar needs an X11 display, and none could be opened (is DISPLAY set?)")
                : QStringLiteral("the tray needs a StatusNotifierWatcher on the session bus or, for an XEmbed tray, "
                                 "an X11 display, and neither was found"),
            1);
    }

    registerMonitorItemClasses();
    int exitCode = 0;
    {
        ApplicationDelegate controller;
        controller.applicationDidFinishLaunching();
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &controller, &ApplicationDelegate::applicationWillTerminate);
        if (!line->snapshotDirectory.isEmpty())
            scheduleSnapshot(*line, &exitCode);
        const int loopCode = app.exec();
        if (exitCode == 0)
            exitCode = loopCode;
    }
    StatusBar::setSystemStatusBar(nullptr);
    return exitCode;
}
