#include "extension/CompanionProcess.h"

#include "extension/VistrelPlusService.h"
#include "platform/linux/ProcessStartTime.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <signal.h>

PipeRuntime::PipeRuntime()
    : m_previous(qgetenv("XDG_RUNTIME_DIR"))
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_directory.path()));
}

PipeRuntime::~PipeRuntime()
{
    qputenv("XDG_RUNTIME_DIR", m_previous);
}

QString PipeRuntime::folder() const
{
    return VistrelPlusService::pathOfPipeFolderForServerWithIdentifier(
        QLatin1String(VistrelPlusService::ServerIdentifier), QLatin1String(VistrelPlusService::ApplicationGroup));
}

QString PipeRuntime::requestPipe() const
{
    return folder() + QStringLiteral("/Server");
}

CompanionProcess::CompanionProcess(const QString& sysroot, int intervalMilliseconds, const QString& program)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VISTREL_SYSROOT"), sysroot);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, {QStringLiteral("--interval-ms"), QString::number(intervalMilliseconds)});
    m_process.waitForStarted();
}

CompanionProcess::~CompanionProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        kill();
}

bool CompanionProcess::waitUntilReady(const PipeRuntime& runtime)
{
    // A request pipe left by a killed companion does not count: the session
    // tells the two apart in the same way.
    const std::optional<QDateTime> launch = ProcessStartTime::of(m_process.processId());
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        const QFileInfo pipe(runtime.requestPipe());
        if (pipe.exists() && launch && pipe.lastModified() > *launch)
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(5);
    }
    return false;
}

void CompanionProcess::signal(int number)
{
    ::kill(pid_t(m_process.processId()), number);
}

void CompanionProcess::kill()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

std::optional<int> CompanionProcess::waitForExit()
{
    if (!m_process.waitForFinished(5000))
        return std::nullopt;
    return m_process.exitCode();
}

QByteArray CompanionProcess::log()
{
    return m_process.readAll();
}

int openDescriptorCount()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}
