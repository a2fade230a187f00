#pragma once

#include "extension/TransferBlockScanner.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class VistrelPlusClient;

// Told when reading from the server failed.
class VistrelPlusClientDelegate {
public:
    virtual void communicationDidFailForClient(VistrelPlusClient* client) = 0;

protected:
    ~VistrelPlusClientDelegate() = default;
};

// The client end of the named-pipe link: asks the server for a data pipe of
// its own, reads framed blocks from it without ever blocking, and queues
// their payloads. It never creates or removes a pipe, and opens neither a
// link nor anything that is not a named pipe of this user.
class VistrelPlusClient : public QObject {
    Q_OBJECT
public:
    // Reads buffered without a complete block beyond this are a server
    // gone wrong; the bytes are dropped and the failure reported.
    static constexpr qsizetype MaximumUnprocessedBytes = 32 * 1024 * 1024;

    // None for an empty server identifier or when no pipe folder can be named.
    static std::unique_ptr<VistrelPlusClient> create(const QString& serverIdentifier, const QString& applicationGroup);
    ~VistrelPlusClient() override;

    bool isServerConnectPipeStaleForLaunchDate(const QDateTime& launchDate) const;
    bool canConnectToServer() const;
    bool connectToServer();
    bool retrieveDataFromServer();
    // The oldest queued payload; empty when none is queued.
    std::optional<QByteArray> nextPayloadBlock();
    bool isConnected() const { return m_inputPipe >= 0; }
    bool closeConnectionToServer();
    bool disconnectFromServer();

    qint8 serverStatus() const { return m_serverStatus; }
    QString serverVersion() const { return m_serverVersion; }
    QString serverBuild() const { return m_serverBuild; }
    int inputPipe() const { return m_inputPipe; }
    QString pathForCommunicationPipes() const { return m_pathForCommunicationPipes; }
    QString pathOfInputPipe() const { return m_pathOfInputPipe; }
    const QByteArray& unprocessedData() const { return m_unprocessedData; }
    const QList<QByteArray>& pendingBlocks() const { return m_pendingBlocks; }
    void setDelegate(VistrelPlusClientDelegate* delegate) { m_delegate = delegate; }

    // Finds the first complete block, storing the header's version, build
    // and status as far as they could be read.
    std::optional<TransferBlockScanner::Block> rangeOfFirstCompleteTransferBlockInData(QByteArrayView data);

Q_SIGNALS:
    void isConnectedChanged(bool connected);

private:
    explicit VistrelPlusClient(const QString& folder);
    QString requestPipePath() const;
    // The request pipe opened for writing; -1, logged, when it cannot be
    // opened or is no named pipe.
    int openRequestPipe() const;
    bool sendRequest(const QByteArray& line, const char* failureMessage);
    bool closeInputPipe();
    void reportFailure();

    qint8 m_serverStatus = 0;
    int m_inputPipe = -1;
    QString m_pathForCommunicationPipes;
    VistrelPlusClientDelegate* m_delegate = nullptr;
    QString m_serverVersion;
    QString m_serverBuild;
    QString m_pathOfInputPipe;
    QByteArray m_unprocessedData;
    QList<QByteArray> m_pendingBlocks;
};
