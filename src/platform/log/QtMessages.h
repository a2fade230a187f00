#pragma once

#include <QtMessageHandler>

// Sends Qt's own messages through the system log, so that they have its
// levels and its threshold: debug and info stay debug and info, warnings
// become default, critical becomes error, fatal becomes fault. The offscreen
// platform's notes that it cannot raise a window or pass on size hints say
// only that there is no screen, which is the point of running offscreen; they
// go to debug.
class QtMessages {
public:
    // Answers the handler that was installed before.
    static QtMessageHandler install();
};
