#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <optional>

// The system log: levels as the desktop's journal knows them, messages written
// in the printf-like formats used throughout Vistrel ("%{public}@", "%@",
// "%{errno}d", "%d", "%s", ...). Everything goes to stderr (from the threshold
// level up); error and fault also go to syslog, which the journal collects.
// Tests install a capture sink to see what was reported.
enum class LogLevel { Debug, Info, Default, Error, Fault };

class Log {
public:
    using Sink = std::function<void(LogLevel, const QString&)>;

    static void write(LogLevel level, const char* format, std::initializer_list<QVariant> arguments = {});
    static void debug(const char* format, std::initializer_list<QVariant> arguments = {}) { write(LogLevel::Debug, format, arguments); }
    static void info(const char* format, std::initializer_list<QVariant> arguments = {}) { write(LogLevel::Info, format, arguments); }
    static void notice(const char* format, std::initializer_list<QVariant> arguments = {}) { write(LogLevel::Default, format, arguments); }
    static void error(const char* format, std::initializer_list<QVariant> arguments = {}) { write(LogLevel::Error, format, arguments); }
    static void fault(const char* format, std::initializer_list<QVariant> arguments = {}) { write(LogLevel::Fault, format, arguments); }

    // Fills the placeholders of a format with the arguments in order. Unknown
    // or surplus placeholders stay visible rather than vanish.
    static QString format(const char* format, std::initializer_list<QVariant> arguments);

    // Messages below this level are not written to stderr (sinks see them all).
    // Taken from VISTREL_LOG_LEVEL (debug, info, default, error, fault) at start.
    static void setThreshold(LogLevel level);
    static LogLevel threshold();
    static std::optional<LogLevel> levelNamed(const QString& name);

    // Replaces the sink and returns the previous one (empty = stderr/syslog).
    static Sink setSink(Sink sink);
};
