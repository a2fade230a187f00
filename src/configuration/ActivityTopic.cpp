#include "configuration/ActivityTopic.h"

QString ActivityTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("lightbulb");
}

QString ActivityTopic::accessibilityDescriptionOfIcon() const
{
    return tr("light bulb activity icon");
}

QWidget* ActivityTopic::createContentView()
{
    return makeStandardPage();
}
