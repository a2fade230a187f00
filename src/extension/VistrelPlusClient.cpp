#include "extension/VistrelPlusClient.h"

#include "extension/RunLoopWait.h"
#include "extension/VistrelPlusService.h"
#include "platform/log/Log.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ConnectWaits = 16;
constexpr double WaitSeconds = 0.25;
constexpr qsizetype ReadChunk = 4096;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

}

std::unique_ptr<VistrelPlusClient> VistrelPlusClient::create(const QString& serverIdentifier, const QString& applicationGroup)
{
    const QString folder = VistrelPlusService::pathOfPipeFolderForServerWithIdentifier(serverIdentifier, applicationGroup);
    if (folder.isEmpty())
        return nullptr;
    return std::unique_ptr<VistrelPlusClient>(new VistrelPlusClient(folder));
}

VistrelPlusClient::VistrelPlusClient(const QString& folder)
    : m_pathForCommunicationPipes(folder)
    , m_pathOfInputPipe(folder + u'/' + VistrelPlusService::nameOfPipeForClientIdentifier(quint32(::getpid())))
{
    m_unprocessedData.reserve(ReadChunk);
    m_pendingBlocks.reserve(5);
}

VistrelPlusClient::~VistrelPlusClient()
{
    if (isConnected())
        disconnectFromServer();
}

QString VistrelPlusClient::requestPipePath() const
{
    return m_pathForCommunicationPipes + u'/' + VistrelPlusService::nameOfServerRequestPipe();
}

bool VistrelPlusClient::isServerConnectPipeStaleForLaunchDate(const QDateTime& launchDate) const
{
    struct stat status {};
    if (!launchDate.isValid() || ::lstat(encoded(requestPipePath()).constData(), &status) != 0)
        return false;
    const qint64 modified = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1'000'000;
    return launchDate.toMSecsSinceEpoch() - modified >= 0;
}

bool VistrelPlusClient::canConnectToServer() const
{
    struct stat status {};
    return ::lstat(encoded(requestPipePath()).constData(), &status) == 0;
}

int VistrelPlusClient::openRequestPipe() const
{
    // Read and write, so that opening does not wait for a reader; never
    // through a link, never into a file that is no pipe.
    const int descriptor = ::open(encoded(requestPipePath()).constData(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        Log::error("Could not open server request pipe: %{errno}d", {errno});
        return -1;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISFIFO(status.st_mode) || status.st_uid != ::geteuid()) {
        Log::error("%{public}@: refusing the server request pipe %{public}@: it is no named pipe of this user.",
            {QStringLiteral("VistrelPlusClient"), requestPipePath()});
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

bool VistrelPlusClient::sendRequest(const QByteArray& line, const char* failureMessage)
{
    const int descriptor = openRequestPipe();
    if (descriptor < 0)
        return false;
    const ssize_t written = ::write(descriptor, line.constData(), std::size_t(line.size()));
    if (written != ssize_t(line.size())) {
        Log::error(failureMessage, {errno});
        ::close(descriptor);
        return false;
    }
    ::fsync(descriptor);  // a pipe has nothing to flush; kept for a file system that has
    ::close(descriptor);
    return true;
}

bool VistrelPlusClient::connectToServer()
{
    if (isConnected())
        return false;
    // A data pipe of an earlier connection may still stand until the server
    // has read our request and replaced it: only a new one counts.
    const QByteArray inputPath = encoded(m_pathOfInputPipe);
    struct stat status {};
    const bool hadOldPipe = ::lstat(inputPath.constData(), &status) == 0;
    const ino_t oldInode = hadOldPipe ? status.st_ino : 0;
    const auto newPipeExists = [&] {
        return ::lstat(inputPath.constData(), &status) == 0 && (!hadOldPipe || status.st_ino != oldInode);
    };
    if (!sendRequest(VistrelPlusService::stringForConnectRequest(), "Could not send connection request to server: %{errno}d"))
        return false;
    for (int wait = 0; wait < ConnectWaits && !newPipeExists(); ++wait)
        runRunLoopForSeconds(WaitSeconds);
    if (isConnected())  // connected meanwhile by a caller the wait let in
        return false;
    if (!newPipeExists()) {
        Log::error("Connection request to server timed out.");
        return false;
    }
    const int descriptor = ::open(inputPath.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        Log::error("Could not open input channel from server: %{errno}d", {errno});
        return false;
    }
    if (::fstat(descriptor, &status) != 0 || !S_ISFIFO(status.st_mode) || status.st_uid != ::geteuid()) {
        Log::error("%{public}@: refusing the input channel %{public}@: it is no named pipe of this user.",
            {QStringLiteral("VistrelPlusClient"), m_pathOfInputPipe});
        ::close(descriptor);
        return false;
    }
    m_inputPipe = descriptor;
    Q_EMIT isConnectedChanged(true);
    Log::info("Connection to server established.");
    return true;
}

void VistrelPlusClient::reportFailure()
{
    if (m_delegate)
        m_delegate->communicationDidFailForClient(this);
}

bool VistrelPlusClient::retrieveDataFromServer()
{
    if (!isConnected())
        return false;
    char buffer[ReadChunk];
    const ssize_t count = ::read(m_inputPipe, buffer, sizeof buffer);
    if (count == 0)
        return false;
    if (count < 0) {
        const int error = errno;
        if (error != 0 && error != EAGAIN) {
            Log::error("Communication failure - could not read incoming data: %{errno}d", {error});
            reportFailure();
            return false;
        }
    } else {
        m_unprocessedData.append(buffer, count);
        for (ssize_t more; (more = ::read(m_inputPipe, buffer, sizeof buffer)) > 0;)
            m_unprocessedData.append(buffer, more);
    }
    if (m_unprocessedData.size() > MaximumUnprocessedBytes) {
        Log::error("%{public}@: %d bytes arrived without a complete block; dropping them.",
            {QStringLiteral("VistrelPlusClient"), m_unprocessedData.size()});
        m_unprocessedData.clear();
        reportFailure();
        return false;
    }
    std::optional<TransferBlockScanner::Block> block = rangeOfFirstCompleteTransferBlockInData(m_unprocessedData);
    if (!block)
        return false;
    while (block) {
        m_pendingBlocks.append(m_unprocessedData.sliced(block->payload.start, block->payload.length));
        m_unprocessedData.remove(0, block->block.start + block->block.length);
        block = rangeOfFirstCompleteTransferBlockInData(m_unprocessedData);
    }
    return true;
}

std::optional<TransferBlockScanner::Block> VistrelPlusClient::rangeOfFirstCompleteTransferBlockInData(QByteArrayView data)
{
    TransferBlockScanner::Header header;
    const std::optional<TransferBlockScanner::Block> block = TransferBlockScanner::firstCompleteBlock(data, header);
    if (header.version)
        m_serverVersion = *header.version;
    if (header.build)
        m_serverBuild = *header.build;
    if (header.status)
        m_serverStatus = *header.status;
    return block;
}

std::optional<QByteArray> VistrelPlusClient::nextPayloadBlock()
{
    if (m_pendingBlocks.isEmpty())
        return std::nullopt;
    return m_pendingBlocks.takeFirst();
}

bool VistrelPlusClient::closeInputPipe()
{
    const bool closed = ::close(m_inputPipe) == 0;
    if (closed)
        m_inputPipe = -1;
    else
        Log::error("Could not close input channel from server: %{errno}d", {errno});
    Q_EMIT isConnectedChanged(isConnected());
    Log::info("Shutdown of communication channels to server %{public}s.",
        {closed ? QStringLiteral("successful") : QStringLiteral("failed")});
    return closed;
}

bool VistrelPlusClient::closeConnectionToServer()
{
    if (!isConnected())
        return false;
    return closeInputPipe();
}

bool VistrelPlusClient::disconnectFromServer()
{
    if (!isConnected())
        return false;
    const bool closed = closeInputPipe();
    if (!sendRequest(VistrelPlusService::stringForDisconnectRequest(), "Could not send disconnect request to server: %{errno}d"))
        return false;
    return closed;
}
