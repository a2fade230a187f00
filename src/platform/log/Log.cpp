#include "platform/log/Log.h"

#include <QByteArray>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <syslog.h>

namespace {

struct LogState {
    std::mutex mutex;
    Log::Sink sink;
    LogLevel threshold = LogLevel::Default;
    bool thresholdFromEnvironment = false;
};

LogState& state()
{
    static LogState s;
    return s;
}

const char* levelName(LogLevel level)
{
    switch (level) {
    case LogLevel::Debug: return "debug";
    case LogLevel::Info: return "info";
    case LogLevel::Default: return "default";
    case LogLevel::Error: return "error";
    case LogLevel::Fault: return "fault";
    }
    return "default";
}

QString textOf(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("(null)");
    return value.toString();
}

// Reads one placeholder starting at format[i] == '%'. Returns its length and
// whether it consumes an argument; '%%' consumes none.
struct Placeholder {
    qsizetype length = 1;
    bool consumes = false;
    bool isErrno = false;
    QChar conversion;
};

Placeholder readPlaceholder(const QString& format, qsizetype i)
{
    Placeholder p;
    qsizetype j = i + 1;
    if (j < format.size() && format[j] == u'%') {
        p.length = 2;
        return p;
    }
    if (j < format.size() && format[j] == u'{') {
        const qsizetype close = format.indexOf(u'}', j);
        if (close < 0)
            return p;
        p.isErrno = format.mid(j + 1, close - j - 1) == QLatin1String("errno");
        j = close + 1;
    }
    // flags, width, precision and length modifiers of the printf forms
    while (j < format.size() && QStringLiteral("-+ #0123456789.hlLqjzt").contains(format[j]))
        ++j;
    if (j >= format.size())
        return p;
    const QChar c = format[j];
    if (!QStringLiteral("@dDiuUxXoOfFeEgGsScCp").contains(c))
        return p;
    p.length = j - i + 1;
    p.consumes = true;
    p.conversion = c;
    return p;
}

QString convert(const Placeholder& p, const QVariant& value)
{
    if (p.isErrno) {
        const int code = value.toInt();
        return QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(strerror(code))).arg(code);
    }
    switch (p.conversion.unicode()) {
    case 'x': return QString::number(value.toULongLong(), 16);
    case 'X': return QString::number(value.toULongLong(), 16).toUpper();
    case 'o': case 'O': return QString::number(value.toULongLong(), 8);
    case 'f': case 'F': return QString::number(value.toDouble(), 'f', 6);
    case 'e': case 'E': return QString::number(value.toDouble(), 'e', 6);
    case 'g': case 'G': return QString::number(value.toDouble(), 'g', 6);
    default: return textOf(value);
    }
}

void writeToSystem(LogLevel level, const QString& message)
{
    auto& s = state();
    if (level >= s.threshold) {
        const QByteArray line = QStringLiteral("vistrel[%1]: %2\n").arg(QLatin1String(levelName(level)), message).toLocal8Bit();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    }
    if (level >= LogLevel::Error)
        syslog(level == LogLevel::Fault ? LOG_CRIT : LOG_ERR, "%s", message.toLocal8Bit().constData());
}

void takeThresholdFromEnvironment(LogState& s)
{
    if (s.thresholdFromEnvironment)
        return;
    s.thresholdFromEnvironment = true;
    if (auto level = Log::levelNamed(qEnvironmentVariable("VISTREL_LOG_LEVEL")))
        s.threshold = *level;
}

} // namespace

QString Log::format(const char* format, std::initializer_list<QVariant> arguments)
{
    const QString text = QString::fromUtf8(format);
    QString out;
    out.reserve(text.size() + 32);
    auto next = arguments.begin();
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'%') {
            out += text[i++];
            continue;
        }
        const Placeholder p = readPlaceholder(text, i);
        if (p.length == 2 && !p.consumes) {
            out += u'%';
        } else if (p.consumes && next != arguments.end()) {
            out += convert(p, *next++);
        } else {
            out += text.mid(i, p.length);
        }
        i += p.length;
    }
    return out;
}

void Log::write(LogLevel level, const char* format, std::initializer_list<QVariant> arguments)
{
    const QString message = Log::format(format, arguments);
    Sink sink;
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        takeThresholdFromEnvironment(s);
        sink = s.sink;
        if (!sink) {
            writeToSystem(level, message);
            return;
        }
    }
    sink(level, message);
}

void Log::setThreshold(LogLevel level)
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.thresholdFromEnvironment = true;
    s.threshold = level;
}

LogLevel Log::threshold()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    takeThresholdFromEnvironment(s);
    return s.threshold;
}

std::optional<LogLevel> Log::levelNamed(const QString& name)
{
    for (LogLevel level : {LogLevel::Debug, LogLevel::Info, LogLevel::Default, LogLevel::Error, LogLevel::Fault}) {
        if (name.compare(QLatin1String(levelName(level)), Qt::CaseInsensitive) == 0)
            return level;
    }
    return std::nullopt;
}

Log::Sink Log::setSink(Sink sink)
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    std::swap(s.sink, sink);
    return sink;
}
