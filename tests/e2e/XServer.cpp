#include "XServer.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <unistd.h>

bool XServer::start(const QString& screen)
{
    // -displayfd lets the server choose a free display and tell us which.
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    m_process.setProgram(QStringLiteral(XVFB_EXECUTABLE));
    m_process.setArguments({QStringLiteral("-displayfd"), QString::number(fds[1]), QStringLiteral("-screen"),
        QStringLiteral("0"), screen, QStringLiteral("-br"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setChildProcessModifier([fds] { ::close(fds[0]); });
    m_process.start();
    ::close(fds[1]);
    QByteArray number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.isEmpty())
        return false;
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    return true;
}

void XServer::stop()
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

namespace {

QStringList moveTo(const QPoint& point)
{
    return {QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
        QStringLiteral("sleep"), QStringLiteral("0.05")};
}

} // namespace

bool pressAndMove(const QPoint& from, const QPoint& to)
{
    QStringList steps = moveTo(from);
    steps << QStringLiteral("mousedown") << QStringLiteral("1") << QStringLiteral("sleep") << QStringLiteral("0.1");
    constexpr int Steps = 8;
    for (int i = 1; i <= Steps; ++i)
        steps << moveTo(from + (to - from) * i / Steps);
    steps << moveTo(to);
    return xdotool(steps);
}

bool release()
{
    const bool released = xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QThread::msleep(200);
    return released;
}

bool drag(const QPoint& from, const QPoint& to)
{
    return pressAndMove(from, to) && release();
}
