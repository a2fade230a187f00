#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// The size of a volume as statvfs reports it, in bytes.
struct VolumeSpace {
    quint64 totalSpace = 0;
    // What an unprivileged user may still write (the blocks kept back for
    // root are not free to them).
    quint64 availableSpace = 0;
};

// One statvfs of a path on a thread of its own. The call may block for as
// long as a network or FUSE file system fails to answer; the main thread
// never waits on it for more than it asks for, and a call that never returns
// costs only its parked thread.
class SpaceQuery {
public:
    // Reads the space of a path; none when it cannot.
    using Reader = std::function<std::optional<VolumeSpace>(const QString& path)>;
    static std::optional<VolumeSpace> statvfsOf(const QString& path);

    // Runs the reader (statvfs unless given) on its own thread.
    static std::shared_ptr<SpaceQuery> start(const QString& path, Reader reader = {});
    ~SpaceQuery();

    // Waits at most this long for the answer; true when it is there.
    bool waitFor(std::chrono::milliseconds wait) const;
    bool isFinished() const;
    // Time since the start.
    std::chrono::milliseconds elapsed() const;
    // The answer once finished; none when the path could not be read.
    std::optional<VolumeSpace> result() const;

private:
    struct State;
    explicit SpaceQuery(std::shared_ptr<State> state);

    std::shared_ptr<State> m_state;
};
