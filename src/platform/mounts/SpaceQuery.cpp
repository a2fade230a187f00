#include "platform/mounts/SpaceQuery.h"

#include <QFile>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <sys/statvfs.h>

struct SpaceQuery::State {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::optional<VolumeSpace> result;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

SpaceQuery::SpaceQuery(std::shared_ptr<State> state)
    : m_state(std::move(state))
{
}

SpaceQuery::~SpaceQuery() = default;

std::optional<VolumeSpace> SpaceQuery::statvfsOf(const QString& path)
{
    struct statvfs figures {};
    if (::statvfs(QFile::encodeName(path).constData(), &figures) != 0)
        return std::nullopt;
    const quint64 unit = figures.f_frsize ? figures.f_frsize : figures.f_bsize;
    return VolumeSpace{quint64(figures.f_blocks) * unit, quint64(figures.f_bavail) * unit};
}

std::shared_ptr<SpaceQuery> SpaceQuery::start(const QString& path, Reader reader)
{
    auto state = std::make_shared<State>();
    if (!reader)
        reader = &SpaceQuery::statvfsOf;
    // The thread owns its share of the state, so a query given up on by its
    // owner finishes (or hangs) without touching freed memory.
    std::thread([state, path, reader = std::move(reader)] {
        const std::optional<VolumeSpace> space = reader(path);
        const std::lock_guard lock(state->mutex);
        state->result = space;
        state->done = true;
        state->finished.notify_all();
    }).detach();
    return std::shared_ptr<SpaceQuery>(new SpaceQuery(std::move(state)));
}

bool SpaceQuery::waitFor(std::chrono::milliseconds wait) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->finished.wait_for(lock, wait, [this] { return m_state->done; });
}

bool SpaceQuery::isFinished() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->done;
}

std::chrono::milliseconds SpaceQuery::elapsed() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_state->started);
}

std::optional<VolumeSpace> SpaceQuery::result() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->result;
}
