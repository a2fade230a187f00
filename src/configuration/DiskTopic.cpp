#include "configuration/DiskTopic.h"

DiskTopic::DiskTopic()
    : MonitorItemTopic(QStringLiteral("externaldrive"), tr("drive icon"),
        ExampleCellTexts{QStringLiteral("HD"), QStringLiteral("W: 999.9 WW/s"),
            QStringLiteral("W:"), QStringLiteral(" 99"), QStringLiteral("\tR:\t20\tMB/s"), QStringLiteral("\tW:\t15\tMB/s"), true})
{
}
