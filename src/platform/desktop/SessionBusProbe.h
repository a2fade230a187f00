#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

// Whether the session bus answers, asked before anything (Qt's D-Bus module,
// its accessibility bridge) connects to it and would wait on a bus that
// accepts connections but never answers. Only the first step of the bus's
// handshake is taken: the authentication greeting, which every bus answers
// at once, with "OK" or "REJECTED".
class SessionBusProbe {
public:
    enum class State { Answers, Absent, Silent };
    static constexpr std::chrono::milliseconds Timeout{5000};
    // Set in place of a silent bus's address, so that every later connection
    // fails at once instead of waiting.
    static constexpr char DisabledAddress[] = "disabled:";

    // Absent: no address, or nothing listens there. Addresses other than
    // local sockets ("tcp:", "launchd:") are not probed and count as answering.
    static State probe(const QByteArray& address, std::chrono::milliseconds timeout = Timeout);
    // The unix socket path of an address ("@name" for an abstract one), or
    // empty for one that names none.
    static QString socketPath(const QByteArray& address);
};
