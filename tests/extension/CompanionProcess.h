#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A runtime folder of its own, set as XDG_RUNTIME_DIR for this process, so
// that Vistrel's client and the companion meet there and nowhere else.
class PipeRuntime {
public:
    PipeRuntime();
    ~PipeRuntime();
    QString folder() const;     // the pipe folder inside it
    QString requestPipe() const;
    QString path() const { return m_directory.path(); }

private:
    QTemporaryDir m_directory;
    QByteArray m_previous;
};

// The real vistrel-plus, started on a fixture machine.
class CompanionProcess {
public:
    explicit CompanionProcess(const QString& sysroot = QStringLiteral(VISTREL_FIXTURES "/plus-sensors"), int intervalMilliseconds = 100,
        const QString& program = QStringLiteral(VISTREL_PLUS_EXECUTABLE));
    ~CompanionProcess();

    // Waits until its request pipe exists (the server is ready); false after 5 s.
    bool waitUntilReady(const PipeRuntime& runtime);
    qint64 processID() const { return m_process.processId(); }
    void signal(int number);
    // Kills it and waits for the end.
    void kill();
    // Exit code after it ended by itself; none while it runs after 5 s.
    std::optional<int> waitForExit();
    QByteArray log();

private:
    QProcess m_process;
};

// How many descriptors this process has open.
int openDescriptorCount();
