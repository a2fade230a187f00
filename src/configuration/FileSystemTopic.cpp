#include "configuration/FileSystemTopic.h"

FileSystemTopic::FileSystemTopic()
    : MonitorItemTopic(QStringLiteral("cylinder.split.1x2"), tr("file system icon"),
        ExampleCellTexts{QStringLiteral("VOL"), QStringLiteral("W: 999.9 WW"),
            QStringLiteral("W:"), QStringLiteral(" 999"), QStringLiteral("\tU:\t338\tGB"), QStringLiteral("\tF:\t174\tGB"), false})
{
}
