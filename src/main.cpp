#include "app/ApplicationDelegate.h"
#include "app/CommandLine.h"
#include "app/Snapshot.h"
#include "items/MonitorItemRegistration.h"
#include "platform/log/Log.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/OwnStatusBar.h"
#include "platform/statusbar/TrayStatusBar.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <xcb/xcb.h>

namespace {

bool x11DisplayAvailable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool ok = connection && xcb_connection_has_error(connection) == 0;
    if (connection)
        xcb_disconnect(connection);
    return ok;
}

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
    if (mode == CommandLine::StatusBarMode::Auto)
        mode = x11DisplayAvailable() ? CommandLine::StatusBarMode::Bar : CommandLine::StatusBarMode::Offscreen;
    if (mode == CommandLine::StatusBarMode::Bar) {
        if (!x11DisplayAvailable())
            return fail(QStringLiteral("the own bar needs an X11 display, and none could be opened (is DISPLAY set?)"), 1);
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Shared-memory uploads make every repaint wait for the X server; the
        // bar's few small images go faster, and wake the process once per
        // tick instead of twice, as plain uploads.
        if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
            qputenv("QT_XCB_NO_MITSHM", "1");
    } else if (mode == CommandLine::StatusBarMode::Tray && x11DisplayAvailable()) {
        // The tray shows the items; menus opened by a click and the
        // configuration window still need the display.
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setApplicationVersion(QStringLiteral(VISTREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.zentrovo.vistrel"));
    QApplication::setQuitOnLastWindowClosed(false);

    if (mode == CommandLine::StatusBarMode::Bar) {
        StatusBar::setSystemStatusBar(std::make_unique<OwnStatusBar>());
    } else if (mode == CommandLine::StatusBarMode::Tray) {
        if (!TrayStatusBar::isWatcherAvailable())
            return fail(QStringLiteral("the tray needs a StatusNotifierWatcher on the session bus, and none is there"), 1);
        StatusBar::setSystemStatusBar(std::make_unique<TrayStatusBar>());
    } else {
        StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
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
