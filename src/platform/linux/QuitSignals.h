#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Turns SIGTERM, SIGINT and SIGHUP (a session ending, a logout, Ctrl-C) into
// a signal in the event loop, so that the program ends the ordinary way:
// settings stored, tray icon files removed. The handler only writes a byte
// into a pipe, all else happens in the loop. Once one has arrived a second
// ends the process at once, as if no handler had been installed, so a quit
// that hangs can still be ended. One instance at a time.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    // Puts the default handling back.
    ~QuitSignals() override;

Q_SIGNALS:
    void quitRequested(int signalNumber);

private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> m_notifier;
};
