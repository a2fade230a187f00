#include "configuration/VistrelPlusTopic.h"

QString VistrelPlusTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("puzzlepiece");
}

QString VistrelPlusTopic::accessibilityDescriptionOfIcon() const
{
    return tr("extension icon");
}

QWidget* VistrelPlusTopic::createContentView()
{
    return makeStandardPage();
}
