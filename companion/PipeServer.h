#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

// The server end of the named-pipe link. In a private folder it keeps the
// request FIFO "Server"; a client writes "c<pid>\n" into it and gets its own
// data FIFO "out.<pid>", into which the server writes one framed block per
// interval until the client writes "d<pid>\n" or closes its end.
class PipeServer {
public:
    struct Block {
        std::string payload;
        int status = 0;
    };
    using BlockSource = std::function<Block()>;

    // Longest request line, line feed included; longer ones are dropped.
    static constexpr std::size_t MaximumRequestLength = 64;
    static constexpr std::size_t MaximumClients = 16;
    // A client that does not open its data pipe in this time is dropped.
    static constexpr std::chrono::seconds OpenTimeout {10};

    PipeServer(std::string folder, std::string version, std::string build);
    ~PipeServer();
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // Creates or checks the folder (ours, 0700, no link), takes the
    // single-server lock, removes pipes a crashed run left and creates the
    // request pipe. False, with the reason logged, when it must not serve.
    bool prepare();
    // Serves until `stopDescriptor` becomes readable (the signal handler
    // writes to it); one block per interval while clients are connected.
    void run(const BlockSource& source, std::chrono::milliseconds interval, int stopDescriptor);

    // The framed block as it goes on the wire.
    static std::string frame(const std::string& version, const std::string& build, int status, const std::string& payload);
    // The process identifier of a request line "c<pid>" / "d<pid>" without
    // its line feed; 0 when the line is malformed.
    static pid_t parseRequest(const char* line, std::size_t length, char* kind);

private:
    struct Client {
        pid_t processID = 0;
        int descriptor = -1;
        std::chrono::steady_clock::time_point created;
        std::string unsent;  // the rest of a block the pipe had no room for
    };

    bool createRequestPipe();
    // Notices a request pipe that was removed or replaced and puts ours back.
    void checkRequestPipe();
    void readRequests();
    void handleRequest(const char* line, std::size_t length);
    void connect(pid_t processID);
    void drop(std::size_t index, const char* reason);
    void openPendingClients();
    void sendBlock(const std::string& block);
    bool flush(Client& client);
    std::string clientPipePath(pid_t processID) const;
    bool isSameUserProcess(pid_t processID) const;

    std::string m_folder;
    std::string m_version;
    std::string m_build;
    int m_lockDescriptor = -1;
    int m_requestDescriptor = -1;
    ino_t m_requestInode = 0;
    std::vector<Client> m_clients;
    std::array<char, MaximumRequestLength> m_line {};
    std::size_t m_lineLength = 0;
    bool m_discardingLine = false;
};
