#include "configuration/PreferencesTopic.h"

QString PreferencesTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("ellipsis.circle");
}

QString PreferencesTopic::accessibilityDescriptionOfIcon() const
{
    return tr("preferences action icon");
}

QWidget* PreferencesTopic::createContentView()
{
    return makeStandardPage();
}
