#include "configuration/MemoryTopic.h"

MemoryTopic::MemoryTopic()
    : MonitorItemTopic(QStringLiteral("memorychip"), tr("memory icon"),
        ExampleCellTexts{QStringLiteral("MEM"), QStringLiteral("W: 999.9 WW"),
            QStringLiteral("W:"), QStringLiteral(" 999"), QStringLiteral("\tU:\t338\tMB"), QStringLiteral("\tF:\t174\tMB"), false})
{
}
