#include "platform/log/QtMessages.h"

#include "platform/log/Log.h"

#include <QGuiApplication>

namespace {

LogLevel levelOf(QtMsgType type, const QString& message)
{
    switch (type) {
    case QtDebugMsg: return LogLevel::Debug;
    case QtInfoMsg: return LogLevel::Info;
    case QtWarningMsg:
        if (message.startsWith(QLatin1String("This plugin does not support"))
            && QGuiApplication::platformName() == QLatin1String("offscreen"))
            return LogLevel::Debug;
        return LogLevel::Default;
    case QtCriticalMsg: return LogLevel::Error;
    case QtFatalMsg: return LogLevel::Fault;
    }
    return LogLevel::Default;
}

void route(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Log::write(levelOf(type, message), "%{public}@", {qFormatLogMessage(type, context, message)});
}

} // namespace

QtMessageHandler QtMessages::install()
{
    return qInstallMessageHandler(route);
}
