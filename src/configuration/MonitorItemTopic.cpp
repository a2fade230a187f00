#include "configuration/MonitorItemTopic.h"

MonitorItemTopic::MonitorItemTopic(QString symbolName, QString accessibilityDescription, ExampleCellTexts examples)
    : m_symbolName(std::move(symbolName))
    , m_accessibilityDescription(std::move(accessibilityDescription))
    , m_examples(std::move(examples))
{
}
