#include "platform/desktop/SessionBusProbe.h"

#include "platform/linux/FileDescriptor.h"

#include <QByteArrayList>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A local stream socket that never blocks.
int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}


enum class Connection { Made, Refused, Stalled };

// Without blocking: a listener that never accepts fills its queue, and then
// a blocking connect would wait as long as a read.
Connection connectTo(const FileDescriptor& socket, const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const bool abstract = path.startsWith(u'@');
    const QByteArray name = QFile::encodeName(abstract ? path.mid(1) : path);
    if (name.size() + 1 > qsizetype(sizeof address.sun_path))
        return Connection::Refused;
    std::memcpy(address.sun_path + (abstract ? 1 : 0), name.constData(), std::size_t(name.size()));
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + (abstract ? 1 : 0) + name.size() + (abstract ? 0 : 1));
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), length) == 0)
        return Connection::Made;
    return errno == EAGAIN || errno == EINPROGRESS ? Connection::Stalled : Connection::Refused;
}

// The greeting's answer arrives within the time, or not.
bool answersGreeting(const FileDescriptor& socket, std::chrono::milliseconds timeout)
{
    const QByteArray uid = QByteArray::number(::getuid()).toHex();
    const QByteArray greeting = QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\n";
    if (::send(socket.get(), greeting.constData(), std::size_t(greeting.size()), MSG_NOSIGNAL) != greeting.size())
        return false;
    pollfd readable{socket.get(), POLLIN, 0};
    int ready;
    do
        ready = ::poll(&readable, 1, int(timeout.count()));
    while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return false;
    char answer[64];
    // A closed connection is an answer too: the bus is there and refused us.
    return ::recv(socket.get(), answer, sizeof answer, 0) >= 0;
}

} // namespace

QString SessionBusProbe::socketPath(const QByteArray& address)
{
    // The first of several addresses is the one tried first.
    const QByteArray first = address.split(';').first();
    if (!first.startsWith("unix:"))
        return {};
    for (const QByteArray& pair : first.mid(5).split(',')) {
        const QString value = QUrl::fromPercentEncoding(pair.mid(pair.indexOf('=') + 1));
        if (pair.startsWith("path="))
            return value;
        if (pair.startsWith("abstract="))
            return u'@' + value;
    }
    return {};
}

SessionBusProbe::State SessionBusProbe::probe(const QByteArray& address, std::chrono::milliseconds timeout)
{
    if (address.isEmpty() || address == DisabledAddress)
        return State::Absent;
    const QString path = socketPath(address);
    if (path.isEmpty())
        return State::Answers;
    const FileDescriptor socket(newSocket());
    if (socket.get() < 0)
        return State::Absent;
    switch (connectTo(socket, path)) {
    case Connection::Refused: return State::Absent;
    case Connection::Stalled: return State::Silent;
    case Connection::Made: break;
    }
    return answersGreeting(socket, timeout) ? State::Answers : State::Silent;
}
