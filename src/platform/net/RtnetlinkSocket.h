#pragma once

#include "platform/linux/FileDescriptor.h"

#include <QByteArray>
#include <QString>

#include <functional>

// A routing socket of the kernel (NETLINK_ROUTE): dumps of its tables and
// the messages of the multicast groups it joined.
class RtnetlinkSocket {
public:
    // Groups as the RTMGRP_* bits; 0 joins none (for dumps). Check isOpen().
    explicit RtnetlinkSocket(quint32 groups = 0);

    bool isOpen() const { return m_fd.get() >= 0; }
    int descriptor() const { return m_fd.get(); }

    // Asks for a dump of a table (RTM_GETLINK, RTM_GETADDR, ...) of a family
    // and hands every message of the answer to the visitor. False when the
    // socket fails or the kernel does not answer within a second.
    using Visitor = std::function<void(quint16 type, const char* payload, size_t length)>;
    bool dump(quint16 type, quint8 family, const Visitor& visit);

    // The messages waiting now, without blocking. False when nothing could be
    // read. overrun tells that the kernel dropped messages for want of room.
    bool receivePending(const Visitor& visit, bool* overrun);

    // Walks the messages of one datagram; stops at a truncated header.
    static bool forEachMessage(const QByteArray& datagram, const Visitor& visit);
    // Calls the visitor for every attribute (type, data, length) in a block of attributes.
    using AttributeVisitor = std::function<void(quint16 type, const char* data, size_t length)>;
    static void forEachAttribute(const char* attributes, size_t length, const AttributeVisitor& visit);

private:
    FileDescriptor m_fd;
    quint32 m_sequence = 0;
};
