#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QString>

#include <functional>

// A private Xvfb for the end-to-end tests, started on a free display.
class XServer {
public:
    bool start(const QString& screen = QStringLiteral("1280x800x24"));
    void stop();
    QString display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

// A real screenshot of the whole screen.
QImage grabScreen();
// Runs xdotool with the arguments; true when it succeeded.
bool xdotool(const QStringList& arguments);
// Presses the first button on the start and moves in steps to the end, the
// way a hand drags (Qt's drag and drop follows only real pointer motion).
bool pressAndMove(const QPoint& from, const QPoint& to);
// Releases the first button and gives the drop a moment to land.
bool release();
bool drag(const QPoint& from, const QPoint& to);
// Polls the condition, running the event loop, until it holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);
