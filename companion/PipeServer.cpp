#include "PipeServer.h"

#include "CompanionLog.h"

#include <cerrno>
#include <charconv>
#include <algorithm>
#include <cstring>
#include <fstream>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char RequestPipeName[] = "Server";
constexpr char LockName[] = "vistrel-plus.lock";
constexpr char Marker[] = "+++VistrelPlus+++";

bool makeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            companionLog("cannot create folder %s: %s", part.c_str(), std::strerror(errno));
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

}

PipeServer::PipeServer(std::string folder, std::string version, std::string build)
    : m_folder(std::move(folder))
    , m_version(std::move(version))
    , m_build(std::move(build))
{
}

PipeServer::~PipeServer()
{
    for (std::size_t index = m_clients.size(); index-- > 0;)
        drop(index, "server ends");
    if (m_requestDescriptor >= 0) {
        struct stat status {};
        // Remove only our own pipe, not whatever was put in its place.
        if (::lstat((m_folder + "/" + RequestPipeName).c_str(), &status) == 0 && status.st_ino == m_requestInode)
            ::unlink((m_folder + "/" + RequestPipeName).c_str());
        ::close(m_requestDescriptor);
    }
    if (m_lockDescriptor >= 0)
        ::close(m_lockDescriptor);
}

bool PipeServer::prepare()
{
    if (!makeFolders(m_folder))
        return false;
    struct stat status {};
    if (::lstat(m_folder.c_str(), &status) != 0) {
        companionLog("cannot inspect %s: %s", m_folder.c_str(), std::strerror(errno));
        return false;
    }
    if (S_ISLNK(status.st_mode) || !S_ISDIR(status.st_mode)) {
        companionLog("refusing to serve: %s is not a folder (a link or a file stands there)", m_folder.c_str());
        return false;
    }
    if (status.st_uid != ::geteuid() || (status.st_mode & 077) != 0) {
        companionLog("refusing to serve: %s belongs to user %u with mode %03o; it must be ours with mode 0700",
            m_folder.c_str(), unsigned(status.st_uid), unsigned(status.st_mode & 0777));
        return false;
    }

    const std::string lockPath = m_folder + "/" + LockName;
    m_lockDescriptor = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lockDescriptor < 0 || ::flock(m_lockDescriptor, LOCK_EX | LOCK_NB) != 0) {
        companionLog("another vistrel-plus already serves %s", m_folder.c_str());
        return false;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(m_lockDescriptor, 0) != 0 || ::pwrite(m_lockDescriptor, pid.data(), pid.size(), 0) != ssize_t(pid.size()))
        companionLog("cannot record the process identifier in %s", lockPath.c_str());

    // Holding the lock, anything named like our pipes is left from a run
    // that crashed; unlink never follows a link that stands there.
    if (DIR* folder = ::opendir(m_folder.c_str())) {
        while (const dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.rfind(RequestPipeName, 0) == 0 || name.rfind("out.", 0) == 0) {
                companionLog("removing %s left by an earlier run", name.c_str());
                ::unlink((m_folder + "/" + name).c_str());
            }
        }
        ::closedir(folder);
    }
    return createRequestPipe();
}

bool PipeServer::createRequestPipe()
{
    const std::string path = m_folder + "/" + RequestPipeName;
    const std::string making = path + ".new";
    if (m_requestDescriptor >= 0) {
        ::close(m_requestDescriptor);
        m_requestDescriptor = -1;
    }
    // Made under another name and opened before it takes the real one: a
    // request written into a pipe that nobody holds open is lost when the
    // writer closes it, so the pipe must be ours the moment clients see it.
    ::unlink(making.c_str());
    if (::mkfifo(making.c_str(), 0600) != 0) {
        companionLog("cannot create the request pipe %s: %s", making.c_str(), std::strerror(errno));
        return false;
    }
    // Read and write, so the pipe never reports end of file between clients.
    m_requestDescriptor = ::open(making.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (m_requestDescriptor < 0 || ::fstat(m_requestDescriptor, &status) != 0 || !S_ISFIFO(status.st_mode)
        || ::rename(making.c_str(), path.c_str()) != 0) {
        companionLog("cannot open the request pipe %s: %s", path.c_str(), std::strerror(errno));
        ::unlink(making.c_str());
        return false;
    }
    m_requestInode = status.st_ino;
    m_lineLength = 0;
    m_discardingLine = false;
    return true;
}

void PipeServer::checkRequestPipe()
{
    struct stat status {};
    const std::string path = m_folder + "/" + RequestPipeName;
    if (::lstat(path.c_str(), &status) == 0 && status.st_ino == m_requestInode && S_ISFIFO(status.st_mode))
        return;
    companionLog("the request pipe was removed or replaced; putting it back");
    ::unlink(path.c_str());
    createRequestPipe();
}

std::string PipeServer::frame(const std::string& version, const std::string& build, int status, const std::string& payload)
{
    std::string block = Marker;
    block += 'V' + version + 'B' + build + 'S' + std::to_string(status) + '[' + std::to_string(payload.size()) + ']';
    block += payload;
    return block;
}

pid_t PipeServer::parseRequest(const char* line, std::size_t length, char* kind)
{
    // A letter and 1 to 10 digits, no sign, no padding.
    if (length < 2 || length > 11 || (line[0] != 'c' && line[0] != 'd') || line[1] == '0')
        return 0;
    long long value = 0;
    const auto [end, error] = std::from_chars(line + 1, line + length, value);
    if (error != std::errc() || end != line + length || value <= 0 || value > 0x7fffffff)
        return 0;
    *kind = line[0];
    return pid_t(value);
}

bool PipeServer::isSameUserProcess(pid_t processID) const
{
    // The peer is always checked in the real /proc, whatever root the
    // sensors are read from.
    std::ifstream status("/proc/" + std::to_string(processID) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "Uid:") {
            unsigned real = 0, effective = 0;
            status >> real >> effective;
            return status && effective == ::geteuid();
        }
        status.ignore(4096, '\n');
    }
    return false;
}

std::string PipeServer::clientPipePath(pid_t processID) const
{
    return m_folder + "/out." + std::to_string(processID);
}

void PipeServer::readRequests()
{
    char buffer[256];
    for (;;) {
        const ssize_t count = ::read(m_requestDescriptor, buffer, sizeof buffer);
        if (count <= 0)
            return;
        for (ssize_t index = 0; index < count; ++index) {
            const char byte = buffer[index];
            if (byte == '\n') {
                if (!m_discardingLine)
                    handleRequest(m_line.data(), m_lineLength);
                m_lineLength = 0;
                m_discardingLine = false;
            } else if (m_discardingLine) {
                continue;
            } else if (m_lineLength + 1 >= MaximumRequestLength) {
                companionLog("dropping a request line longer than %zu bytes", MaximumRequestLength);
                m_discardingLine = true;
                m_lineLength = 0;
            } else {
                m_line[m_lineLength++] = byte;
            }
        }
    }
}

void PipeServer::handleRequest(const char* line, std::size_t length)
{
    char kind = 0;
    const pid_t processID = parseRequest(line, length, &kind);
    if (processID == 0) {
        companionLog("dropping a malformed request line of %zu bytes", length);
        return;
    }
    if (kind == 'd') {
        for (std::size_t index = 0; index < m_clients.size(); ++index)
            if (m_clients[index].processID == processID) {
                drop(index, "it disconnected");
                break;
            }
        return;
    }
    if (!isSameUserProcess(processID)) {
        companionLog("dropping a connect request for %d: no process of this user", int(processID));
        return;
    }
    connect(processID);
}

void PipeServer::connect(pid_t processID)
{
    for (std::size_t index = 0; index < m_clients.size(); ++index)
        if (m_clients[index].processID == processID) {
            drop(index, "it connects anew");
            break;
        }
    if (m_clients.size() >= MaximumClients) {
        companionLog("dropping a connect request for %d: %zu clients already", int(processID), MaximumClients);
        return;
    }
    const std::string path = clientPipePath(processID);
    ::unlink(path.c_str());
    if (::mkfifo(path.c_str(), 0600) != 0) {
        companionLog("cannot create %s: %s", path.c_str(), std::strerror(errno));
        return;
    }
    m_clients.push_back(Client {processID, -1, std::chrono::steady_clock::now(), {}});
    openPendingClients();
}

void PipeServer::drop(std::size_t index, const char* reason)
{
    Client& client = m_clients[index];
    companionLog("client %d leaves: %s", int(client.processID), reason);
    if (client.descriptor >= 0)
        ::close(client.descriptor);
    ::unlink(clientPipePath(client.processID).c_str());
    m_clients.erase(m_clients.begin() + std::ptrdiff_t(index));
}

void PipeServer::openPendingClients()
{
    const auto now = std::chrono::steady_clock::now();
    for (std::size_t index = m_clients.size(); index-- > 0;) {
        Client& client = m_clients[index];
        if (client.descriptor >= 0)
            continue;
        // Non-blocking open for writing fails with ENXIO until the client
        // has opened its end.
        const int descriptor = ::open(clientPipePath(client.processID).c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0) {
            if (errno != ENXIO)
                drop(index, std::strerror(errno));
            else if (now - client.created > OpenTimeout)
                drop(index, "it never opened its data pipe");
            continue;
        }
        struct stat status {};
        if (::fstat(descriptor, &status) != 0 || !S_ISFIFO(status.st_mode)) {
            ::close(descriptor);
            drop(index, "its data pipe was replaced");
            continue;
        }
        client.descriptor = descriptor;
        companionLog("client %d connected", int(client.processID));
    }
}

bool PipeServer::flush(Client& client)
{
    while (!client.unsent.empty()) {
        const ssize_t written = ::write(client.descriptor, client.unsent.data(), client.unsent.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno == EAGAIN;  // EPIPE: the reader has gone
        }
        client.unsent.erase(0, std::size_t(written));
    }
    return true;
}

void PipeServer::sendBlock(const std::string& block)
{
    for (std::size_t index = m_clients.size(); index-- > 0;) {
        Client& client = m_clients[index];
        if (client.descriptor < 0)
            continue;
        // A reader that is behind gets the rest of its block first; a new
        // block is only begun on an empty backlog, so framing stays whole.
        if (client.unsent.empty())
            client.unsent = block;
        if (!flush(client))
            drop(index, "its reader has gone");
    }
}

void PipeServer::run(const BlockSource& source, std::chrono::milliseconds interval, int stopDescriptor)
{
    auto nextBlock = std::chrono::steady_clock::now();
    for (;;) {
        bool pending = false;
        for (const Client& client : m_clients)
            pending = pending || client.descriptor < 0;
        const auto now = std::chrono::steady_clock::now();
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextBlock - now);
        if (pending)
            wait = std::min(wait, std::chrono::milliseconds(20));
        pollfd descriptors[2] = {{stopDescriptor, POLLIN, 0}, {m_requestDescriptor, POLLIN, 0}};
        const int ready = ::poll(descriptors, 2, int(std::max<long long>(0, wait.count())));
        if (ready < 0 && errno != EINTR) {
            companionLog("waiting for requests failed: %s", std::strerror(errno));
            return;
        }
        if (ready > 0 && descriptors[0].revents)
            return;
        if (ready > 0 && descriptors[1].revents)
            readRequests();
        openPendingClients();
        if (std::chrono::steady_clock::now() < nextBlock)
            continue;
        nextBlock += interval;
        if (nextBlock < std::chrono::steady_clock::now())
            nextBlock = std::chrono::steady_clock::now() + interval;
        checkRequestPipe();
        bool connected = false;
        for (const Client& client : m_clients)
            connected = connected || client.descriptor >= 0;
        if (!connected)
            continue;
        const Block block = source();
        sendBlock(frame(m_version, m_build, block.status, block.payload));
    }
}
