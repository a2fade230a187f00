#include "platform/defaults/PropertyListLimits.h"

#include <cstdint>
#include <vector>

namespace {

QString tooDeep()
{
    return QStringLiteral("it is nested more than %1 levels deep").arg(PropertyListLimits::MaximumDepth);
}

// Element nesting of the XML form, counted on the tags alone: comments,
// character data and declarations are skipped, self-closing tags add no level.
std::optional<QString> xmlViolation(QByteArrayView data)
{
    int depth = 0;
    qsizetype at = 0;
    const auto skipPast = [&](QByteArrayView end) {
        const qsizetype found = data.indexOf(end, at);
        at = found < 0 ? data.size() : found + end.size();
    };
    while ((at = data.indexOf('<', at)) >= 0) {
        const QByteArrayView rest = data.sliced(at);
        if (rest.startsWith("<!--")) {
            skipPast("-->");
        } else if (rest.startsWith("<![CDATA[")) {
            skipPast("]]>");
        } else if (rest.startsWith("<?")) {
            skipPast("?>");
        } else if (rest.startsWith("<!")) {
            skipPast(">");
        } else if (rest.startsWith("</")) {
            --depth;
            skipPast(">");
        } else {
            skipPast(">");
            if (data.at(at - 1) == '>' && data.at(at - 2) != '/' && ++depth > PropertyListLimits::MaximumDepth)
                return tooDeep();
        }
    }
    return std::nullopt;
}

// The binary form: a table of objects, containers naming their members by
// index. Walks the containers reachable from the top object without
// recursion and without visiting a shared object twice.
class BinaryList {
public:
    explicit BinaryList(QByteArrayView data)
        : m_data(data)
    {
    }

    std::optional<QString> violation()
    {
        if (!readTrailer())
            return QStringLiteral("its binary trailer is malformed");
        m_state.assign(m_objectCount, Unvisited);
        m_values.assign(m_objectCount, 0);
        return walk();
    }

private:
    enum State : std::uint8_t { Unvisited, Open, Done };
    struct Frame {
        quint64 object;
        quint64 memberCount;
        quint64 nextMember;
        qsizetype membersAt;
        quint64 values;
    };
    static constexpr qsizetype TrailerSize = 32;

    std::optional<quint64> number(qsizetype at, int bytes) const
    {
        if (at < 0 || bytes < 1 || bytes > 8 || at + bytes > m_data.size())
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | static_cast<std::uint8_t>(m_data[at + i]);
        return value;
    }

    bool readTrailer()
    {
        if (m_data.size() < 8 + TrailerSize)
            return false;
        const qsizetype trailer = m_data.size() - TrailerSize;
        m_offsetSize = static_cast<std::uint8_t>(m_data[trailer + 6]);
        m_referenceSize = static_cast<std::uint8_t>(m_data[trailer + 7]);
        const auto count = number(trailer + 8, 8);
        const auto top = number(trailer + 16, 8);
        const auto table = number(trailer + 24, 8);
        if (!count || !top || !table || m_offsetSize < 1 || m_offsetSize > 8 || m_referenceSize < 1
            || m_referenceSize > 8 || *top >= *count || *table > quint64(trailer)
            || *count > (quint64(trailer) - *table) / m_offsetSize)
            return false;
        m_objectCount = *count;
        m_topObject = *top;
        m_offsetTable = qsizetype(*table);
        return true;
    }

    // The container's members, or a member count of 0 for any other object.
    std::optional<Frame> frameFor(quint64 object) const
    {
        const auto offset = number(m_offsetTable + qsizetype(object) * m_offsetSize, m_offsetSize);
        if (!offset || *offset >= quint64(m_offsetTable))
            return std::nullopt;
        qsizetype at = qsizetype(*offset);
        const auto marker = static_cast<std::uint8_t>(m_data[at]);
        const int kind = marker >> 4;
        Frame frame{object, 0, 0, 0, 1};
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            return frame;
        quint64 count = marker & 0xF;
        ++at;
        if (count == 0xF) {
            if (at >= m_data.size() || (static_cast<std::uint8_t>(m_data[at]) >> 4) != 0x1)
                return std::nullopt;
            const int bytes = 1 << (m_data[at] & 0xF);
            const auto length = number(at + 1, bytes);
            if (!length)
                return std::nullopt;
            count = *length;
            at += 1 + bytes;
        }
        const quint64 members = kind == 0xD ? 2 * count : count;
        if (count > quint64(m_data.size()) || members * m_referenceSize > quint64(m_data.size() - at))
            return std::nullopt;
        frame.memberCount = members;
        frame.membersAt = at;
        return frame;
    }

    std::optional<QString> walk()
    {
        std::vector<Frame> stack;
        const auto open = [&](quint64 object) -> std::optional<QString> {
            if (stack.size() >= std::size_t(PropertyListLimits::MaximumDepth))
                return tooDeep();
            const std::optional<Frame> frame = frameFor(object);
            if (!frame)
                return QStringLiteral("object %1 is malformed").arg(object);
            m_state[object] = Open;
            stack.push_back(*frame);
            return std::nullopt;
        };
        if (auto failure = open(m_topObject))
            return failure;
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.nextMember == frame.memberCount) {
                m_state[frame.object] = Done;
                m_values[frame.object] = frame.values;
                const quint64 values = frame.values;
                stack.pop_back();
                if (!stack.empty())
                    stack.back().values += values;
                if (values > PropertyListLimits::MaximumValueCount)
                    return QStringLiteral("it expands to more than %1 values").arg(PropertyListLimits::MaximumValueCount);
                continue;
            }
            const auto member = number(frame.membersAt + qsizetype(frame.nextMember++) * m_referenceSize, m_referenceSize);
            if (!member || *member >= m_objectCount)
                return QStringLiteral("object %1 names a missing member").arg(frame.object);
            if (m_state[*member] == Open)
                return QStringLiteral("object %1 contains itself").arg(*member);
            if (m_state[*member] == Done)
                frame.values += m_values[*member];
            else if (auto failure = open(*member))
                return failure;
        }
        return std::nullopt;
    }

    QByteArrayView m_data;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    qsizetype m_offsetTable = 0;
    std::vector<State> m_state;
    std::vector<quint64> m_values;
};

}

std::optional<QString> PropertyListLimits::violation(QByteArrayView data)
{
    if (data.startsWith("bplist00"))
        return BinaryList(data).violation();
    return xmlViolation(data);
}
