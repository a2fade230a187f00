#include "XServer.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <unistd.h>

bool XServer::start()
{
    // -displayfd lets the server choose a free display and tell us which.
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setChildProcessModifier([fds] { ::close(fds[0]); });
    m_process.start(QStringLiteral(XVFB_EXECUTABLE),
        QStringLiteral("-displayfd %1 -screen 0 1280x800x24 -br -nolisten tcp").arg(fds[1]).split(u' '));
    ::close(fds[1]);
    QByteArray number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    return !number.isEmpty();
}

XServer::~XServer()
{
    m_process.terminate();
    m_process.waitForFinished(5000);
}

QImage grabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

bool xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(XDOTOOL_EXECUTABLE), arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

bool xdotool(const QString& command)
{
    return xdotool(command.split(u' '));
}

bool click(const QPoint& point, int button)
{
    return xdotool(QStringLiteral("mousemove %1 %2 click %3").arg(point.x()).arg(point.y()).arg(button));
}

bool windowShown(const QString& namePattern)
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), namePattern});
}

bool drag(const QPoint& from, const QPoint& to)
{
    constexpr int Steps = 8;
    QString steps = QStringLiteral("mousemove %1 %2 sleep 0.05 mousedown 1 sleep 0.1").arg(from.x()).arg(from.y());
    for (int i = 1; i <= Steps + 1; ++i) {
        const QPoint point = from + (to - from) * qMin(i, Steps) / Steps;
        steps += QStringLiteral(" mousemove %1 %2 sleep 0.05").arg(point.x()).arg(point.y());
    }
    const bool dragged = xdotool(steps) && xdotool(QStringLiteral("mouseup 1"));
    QThread::msleep(200);
    return dragged;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        if (condition())
            return true;
        QThread::msleep(50);
    }
    return condition();
}

void keepRunning(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}

int visibleWindowCount(const QString& classNamePattern)
{
    QProcess search;
    search.start(QStringLiteral(XDOTOOL_EXECUTABLE),
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--classname"), classNamePattern});
    if (!search.waitForFinished(10000))
        return -1;
    return int(search.readAllStandardOutput().count('\n'));
}
