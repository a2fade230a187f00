#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QString>

#include <functional>

// A private Xvfb for the end-to-end tests, started on a free display.
class XServer {
public:
    ~XServer();
    bool start();
    QString display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

QImage grabScreen();
// Runs xdotool with the arguments (or the words of the command); true when it succeeded.
bool xdotool(const QStringList& arguments);
bool xdotool(const QString& command);
bool click(const QPoint& point, int button = 1);
bool windowShown(const QString& namePattern);
// Moves the pressed first button in steps, the way a hand drags (Qt's drag
// and drop follows only real pointer motion), then releases it.
bool drag(const QPoint& from, const QPoint& to);
// Polls the condition, running the event loop, until it holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);
// Runs the event loop for the time, so that output of child processes is read.
void keepRunning(int milliseconds);
// How many mapped windows have a class name matching the pattern.
int visibleWindowCount(const QString& classNamePattern);
