#pragma once

#include <QImage>
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
// Polls the condition, running the event loop, until it holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);
