#include "configuration/SensorTopic.h"

#include "configuration/ExampleCells.h"

QString SensorTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("thermometer");
}

QString SensorTopic::accessibilityDescriptionOfIcon() const
{
    return tr("thermometer");
}

QWidget* SensorTopic::createContentView()
{
    return makeStandardPage();
}

void SensorTopic::configureNewMenuBarCell(QRNMenuBarCell& cell)
{
    ExampleCellTexts texts;
    texts.label = QStringLiteral("TMP");
    ExampleCells::prepare(cell, texts);
}
