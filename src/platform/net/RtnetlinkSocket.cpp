#include "platform/net/RtnetlinkSocket.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t ReceiveBufferSize = 32768;
constexpr int DumpTimeoutMs = 1000;

int openSocket(quint32 groups)
{
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0)
        return -1;
    sockaddr_nl address {};
    address.nl_family = AF_NETLINK;
    address.nl_groups = groups;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

RtnetlinkSocket::RtnetlinkSocket(quint32 groups)
    : m_fd(openSocket(groups))
{
}

bool RtnetlinkSocket::forEachMessage(const QByteArray& datagram, const Visitor& visit)
{
    const char* data = datagram.constData();
    size_t left = size_t(datagram.size());
    while (left >= sizeof(nlmsghdr)) {
        nlmsghdr header;
        std::memcpy(&header, data, sizeof header);
        if (header.nlmsg_len < sizeof header || header.nlmsg_len > left)
            return false;
        visit(header.nlmsg_type, data + NLMSG_HDRLEN, header.nlmsg_len - NLMSG_HDRLEN);
        const size_t step = NLMSG_ALIGN(header.nlmsg_len);
        if (step >= left)
            break;
        data += step;
        left -= step;
    }
    return true;
}

void RtnetlinkSocket::forEachAttribute(const char* attributes, size_t length, const AttributeVisitor& visit)
{
    while (length >= sizeof(rtattr)) {
        rtattr attribute;
        std::memcpy(&attribute, attributes, sizeof attribute);
        if (attribute.rta_len < sizeof attribute || attribute.rta_len > length)
            return;
        visit(attribute.rta_type, attributes + RTA_LENGTH(0), attribute.rta_len - RTA_LENGTH(0));
        const size_t step = RTA_ALIGN(attribute.rta_len);
        if (step >= length)
            return;
        attributes += step;
        length -= step;
    }
}

bool RtnetlinkSocket::dump(quint16 type, quint8 family, const Visitor& visit)
{
    if (!isOpen())
        return false;
    struct {
        nlmsghdr header;
        rtgenmsg message;
    } request {};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtgenmsg));
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = ++m_sequence;
    request.message.rtgen_family = family;
    if (::send(m_fd.get(), &request, request.header.nlmsg_len, 0) < 0)
        return false;

    QByteArray buffer(ReceiveBufferSize, Qt::Uninitialized);
    for (;;) {
        pollfd wait {m_fd.get(), POLLIN, 0};
        if (::poll(&wait, 1, DumpTimeoutMs) <= 0)
            return false;
        const ssize_t got = ::recv(m_fd.get(), buffer.data(), buffer.size(), 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (got <= 0)
            return false;
        bool done = false;
        bool failed = false;
        forEachMessage(QByteArray::fromRawData(buffer.constData(), got), [&](quint16 messageType, const char* payload, size_t length) {
            if (messageType == NLMSG_DONE)
                done = true;
            else if (messageType == NLMSG_ERROR)
                failed = true;
            else if (!done && !failed)
                visit(messageType, payload, length);
        });
        if (failed)
            return false;
        if (done)
            return true;
    }
}

bool RtnetlinkSocket::receivePending(const Visitor& visit, bool* overrun)
{
    *overrun = false;
    if (!isOpen())
        return false;
    QByteArray buffer(ReceiveBufferSize, Qt::Uninitialized);
    bool received = false;
    for (;;) {
        const ssize_t got = ::recv(m_fd.get(), buffer.data(), buffer.size(), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == ENOBUFS) {
            *overrun = true;
            received = true;
            continue;
        }
        if (got <= 0)
            return received;
        received = true;
        forEachMessage(QByteArray::fromRawData(buffer.constData(), got), visit);
    }
}
