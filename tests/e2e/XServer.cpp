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
