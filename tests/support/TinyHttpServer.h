#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// An HTTP server on the loopback that gives every request the same answer:
// a body, a closed connection, or silence.
class TinyHttpServer : public QObject {
public:
    enum class Behaviour { Answer, Close, Silent };

    explicit TinyHttpServer(Behaviour behaviour, QByteArray body = {})
        : m_behaviour(behaviour)
        , m_body(std::move(body))
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { handle(*socket); });
            }
        });
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    int requests() const { return m_requests; }

private:
    void handle(QTcpSocket& socket)
    {
        m_received[&socket] += socket.readAll();
        if (!m_received[&socket].contains("\r\n\r\n"))
            return;
        ++m_requests;
        switch (m_behaviour) {
        case Behaviour::Answer:
            socket.write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
            socket.disconnectFromHost();
            break;
        case Behaviour::Close: socket.abort(); break;
        case Behaviour::Silent: break;
        }
    }

    Behaviour m_behaviour;
    QByteArray m_body;
    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_received;
    int m_requests = 0;
};
