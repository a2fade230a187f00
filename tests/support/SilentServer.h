#pragma once

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A socket that takes connections (the kernel completes them) and never
// answers: nobody accepts or reads, as with a hung session bus or X server.
class SilentServer {
public:
    explicit SilentServer(const QString& unixPath)
        : m_fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(unixPath);
        std::memcpy(address.sun_path, path.constData(), std::min(std::size_t(path.size()), sizeof address.sun_path - 1));
        m_listening = bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(m_fd, 8) == 0;
    }
    // An X display on the loopback: the first free one from `display` on,
    // at TCP port 6000 + display.
    explicit SilentServer(int display)
        : m_fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        for (m_display = display; m_display < display + 100 && !m_listening; ++m_display) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(uint16_t(6000 + m_display));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            m_listening = bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(m_fd, 8) == 0;
        }
        --m_display;
    }
    // Closing drops the queued connections, which frees whoever waits on them.
    ~SilentServer() { close(m_fd); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool isListening() const { return m_listening; }
    QByteArray x11Display() const { return "127.0.0.1:" + QByteArray::number(m_display); }

private:
    int m_fd;
    int m_display = 0;
    bool m_listening = false;
};
