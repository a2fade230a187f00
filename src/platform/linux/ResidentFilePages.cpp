#include "platform/linux/ResidentFilePages.h"

#include "platform/linux/KernelFileReader.h"
#include "platform/log/Log.h"

#include <sys/mman.h>

namespace {

constexpr char ClassName[] = "ResidentFilePages";

// "Rss:   1234 kB" → 1234.
quint64 kibibytesOfField(QByteArrayView line)
{
    const QByteArrayView value = line.sliced(line.indexOf(':') + 1).trimmed();
    const qsizetype space = value.indexOf(' ');
    return (space < 0 ? value : value.first(space)).toULongLong();
}

struct Mapping {
    ResidentFilePages::Range range;
    bool readOnlyFile = false;
    quint64 anonymousKiB = 0;
};

bool isReleasable(const Mapping& mapping)
{
    return mapping.readOnlyFile && mapping.anonymousKiB == 0 && mapping.range.residentKiB > 0;
}

// A header line: "start-end perms offset dev inode [path]"; none for field lines.
std::optional<Mapping> mappingOfHeader(QByteArrayView line)
{
    const qsizetype dash = line.indexOf('-');
    const qsizetype space = line.indexOf(' ');
    if (dash <= 0 || space <= dash || line.indexOf(':') < space)
        return std::nullopt;
    bool startOK = false;
    bool endOK = false;
    Mapping mapping;
    mapping.range.start = quintptr(line.first(dash).toULongLong(&startOK, 16));
    mapping.range.end = quintptr(line.sliced(dash + 1, space - dash - 1).toULongLong(&endOK, 16));
    if (!startOK || !endOK)
        return std::nullopt;
    const QByteArrayView permissions = line.sliced(space + 1, qMin<qsizetype>(4, line.size() - space - 1));
    const qsizetype pathStart = line.indexOf('/');
    mapping.readOnlyFile = permissions.size() == 4 && permissions[1] == '-' && permissions[3] == 'p'
        && pathStart > space;
    return mapping;
}

} // namespace

std::vector<ResidentFilePages::Range> ResidentFilePages::releasableRanges(QByteArrayView smaps)
{
    std::vector<Range> ranges;
    std::optional<Mapping> current;
    auto finish = [&] {
        if (current && isReleasable(*current))
            ranges.push_back(current->range);
    };
    qsizetype lineStart = 0;
    while (lineStart < smaps.size()) {
        qsizetype lineEnd = smaps.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = smaps.size();
        const QByteArrayView line = smaps.sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (auto header = mappingOfHeader(line)) {
            finish();
            current = header;
        } else if (current && line.startsWith("Rss:")) {
            current->range.residentKiB = kibibytesOfField(line);
        } else if (current && line.startsWith("Anonymous:")) {
            current->anonymousKiB = kibibytesOfField(line);
        }
    }
    finish();
    return ranges;
}

quint64 ResidentFilePages::releaseIdlePages()
{
    KernelFileReader reader("/proc/self/smaps");
    const auto smaps = reader.read();
    if (!smaps) {
        Log::error("%{public}@: cannot read /proc/self/smaps: %{errno}d", {ClassName, errno});
        return 0;
    }
    quint64 released = 0;
    for (const Range& range : releasableRanges(QByteArrayView(smaps->data(), qsizetype(smaps->size())))) {
        if (madvise(reinterpret_cast<void*>(range.start), range.end - range.start, MADV_DONTNEED) == 0)
            released += range.residentKiB;
    }
    Log::debug("%{public}@: released %{public}@ KiB of file pages", {ClassName, QString::number(released)});
    return released;
}
