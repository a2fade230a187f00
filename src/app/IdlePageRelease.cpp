#include "app/IdlePageRelease.h"

#include "platform/linux/ResidentFilePages.h"

IdlePageRelease::IdlePageRelease()
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(10'000);
    connect(&m_timer, &QTimer::timeout, this, [] { ResidentFilePages::releaseIdlePages(); });
}

void IdlePageRelease::setInUse(bool inUse)
{
    if (inUse)
        m_timer.stop();
    else
        m_timer.start();
}
