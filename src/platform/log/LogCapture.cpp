#include "platform/log/LogCapture.h"

LogCapture::LogCapture()
{
    m_previous = Log::setSink([this](LogLevel level, const QString& message) {
        m_entries.push_back({level, message});
    });
}

LogCapture::~LogCapture()
{
    Log::setSink(std::move(m_previous));
}

QStringList LogCapture::messages(LogLevel level) const
{
    QStringList out;
    for (const auto& e : m_entries) {
        if (e.level == level)
            out << e.message;
    }
    return out;
}

bool LogCapture::contains(LogLevel level, const QString& message) const
{
    return messages(level).contains(message);
}
