#include "platform/log/LogCapture.h"
#include "platform/log/QtMessages.h"

#include <QLoggingCategory>

#include <gtest/gtest.h>

namespace {

Q_LOGGING_CATEGORY(testCategory, "vistrel.test")

TEST(QtMessages, QtsMessagesGetLogLevelsAndTheOffscreenNotesGoToDebug)
{
    LogCapture log;
    const QtMessageHandler previous = QtMessages::install();
    qWarning("QObject::connect: no such signal");
    qCritical("cannot open display");
    qCWarning(testCategory, "with %d%% category", 100);
    // The tests run on the offscreen platform.
    qWarning("This plugin does not support raise()");
    qWarning("This plugin does not support propagateSizeHints()");
    qInstallMessageHandler(previous);

    EXPECT_EQ(log.messages(LogLevel::Default), QStringList({"QObject::connect: no such signal", "vistrel.test: with 100% category"}));
    EXPECT_EQ(log.messages(LogLevel::Error), QStringList({"cannot open display"}));
    EXPECT_EQ(log.messages(LogLevel::Debug),
        QStringList({"This plugin does not support raise()", "This plugin does not support propagateSizeHints()"}));
}

} // namespace
