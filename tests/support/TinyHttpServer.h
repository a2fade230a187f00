#pragma once

#include <QHostAddress>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

// An HTTP server on the loopback that gives every request the same answer:
// a body, a closed connection, or silence. Given a TLS configuration it
// speaks HTTPS; the status line and extra header lines can be set, and a
// path may be given an answer of its own.
class TinyHttpServer : public QObject {
public:
    enum class Behaviour { Answer, Close, Silent };

    explicit TinyHttpServer(Behaviour behaviour, QByteArray body = {}, const QSslConfiguration* tls = nullptr)
        : m_behaviour(behaviour)
        , m_body(std::move(body))
    {
        if (tls) {
            auto server = std::make_unique<QSslServer>();
            server->setSslConfiguration(*tls);
            m_server = std::move(server);
        } else {
            m_server = std::make_unique<QTcpServer>();
        }
        m_server->listen(QHostAddress::LocalHost);
        connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = m_server->nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { handle(*socket); });
                if (socket->bytesAvailable() > 0)
                    handle(*socket);
            }
        });
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server->serverPort()); }
    int requests() const { return m_requests; }
    // The request line of the last request ("GET /path HTTP/1.1").
    QByteArray lastRequestLine() const { return m_lastRequestLine; }
    void setStatus(QByteArray status) { m_status = std::move(status); }
    void addHeader(const QByteArray& line) { m_headers += line + "\r\n"; }
    void setContentType(QByteArray type) { m_contentType = std::move(type); }
    // Requests for this path ("/a/b.html") are answered "200 OK" with the body.
    void addPage(const QByteArray& path, QByteArray body) { m_pages.insert(path, std::move(body)); }

private:
    void handle(QTcpSocket& socket)
    {
        m_received[&socket] += socket.readAll();
        if (!m_received[&socket].contains("\r\n\r\n"))
            return;
        ++m_requests;
        m_lastRequestLine = m_received[&socket].left(m_received[&socket].indexOf("\r\n"));
        switch (m_behaviour) {
        case Behaviour::Answer: {
            const QList<QByteArray> request = m_lastRequestLine.split(' ');
            const auto page = m_pages.constFind(request.value(1));
            const bool own = page != m_pages.cend();
            const QByteArray& body = own ? *page : m_body;
            socket.write("HTTP/1.1 " + (own ? QByteArray("200 OK") : m_status) + "\r\nContent-Type: " + m_contentType
                + "\r\nConnection: close\r\n" + (own ? QByteArray() : m_headers)
                + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            socket.disconnectFromHost();
            break;
        }
        case Behaviour::Close: socket.abort(); break;
        case Behaviour::Silent: break;
        }
    }

    Behaviour m_behaviour;
    QByteArray m_body;
    QByteArray m_status = "200 OK";
    QByteArray m_contentType = "text/html";
    QByteArray m_headers;
    QHash<QByteArray, QByteArray> m_pages;
    std::unique_ptr<QTcpServer> m_server;
    QHash<QTcpSocket*, QByteArray> m_received;
    QByteArray m_lastRequestLine;
    int m_requests = 0;
};
