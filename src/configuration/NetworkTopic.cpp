#include "configuration/NetworkTopic.h"

NetworkTopic::NetworkTopic()
    : MonitorItemTopic(QStringLiteral("network"), tr("network icon"),
        ExampleCellTexts{QStringLiteral("NET"), QStringLiteral("W: 999.9 WW/s"),
            QStringLiteral("W:"), QStringLiteral(" 99"), QStringLiteral("\tI:\t20\tMB/s"), QStringLiteral("\tO:\t15\tMB/s"), true})
{
}
