#include "configuration/ProcessorTopic.h"

#include "configuration/ExampleCells.h"

QString ProcessorTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("cpu");
}

QString ProcessorTopic::accessibilityDescriptionOfIcon() const
{
    return tr("processor icon");
}

QWidget* ProcessorTopic::createContentView()
{
    return makeStandardPage();
}

void ProcessorTopic::configureNewMenuBarCell(QRNMenuBarCell& cell)
{
    ExampleCellTexts texts;
    texts.label = QStringLiteral("CPU");
    ExampleCells::prepare(cell, texts);
}
