#include "configuration/ProcessorTopic.h"

ProcessorTopic::ProcessorTopic()
    : MonitorItemTopic(QStringLiteral("cpu"), tr("processor icon"),
        ExampleCellTexts::labelled(QStringLiteral("CPU")))
{
}
