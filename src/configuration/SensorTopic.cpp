#include "configuration/SensorTopic.h"

SensorTopic::SensorTopic()
    : MonitorItemTopic(QStringLiteral("thermometer"), tr("thermometer"),
        ExampleCellTexts::labelled(QStringLiteral("TMP")))
{
}
