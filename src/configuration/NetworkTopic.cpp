#include "configuration/NetworkTopic.h"

#include "configuration/ExampleCells.h"

QString NetworkTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("network");
}

QString NetworkTopic::accessibilityDescriptionOfIcon() const
{
    return tr("network icon");
}

QWidget* NetworkTopic::createContentView()
{
    return makeStandardPage();
}

void NetworkTopic::configureNewMenuBarCell(QRNMenuBarCell& cell)
{
    static const ExampleCellTexts texts = {QStringLiteral("NET"), QStringLiteral("W: 999.9 WW/s"), QStringLiteral("W:"),
        QStringLiteral(" 99"), QStringLiteral("\tI:\t20\tMB/s"), QStringLiteral("\tO:\t15\tMB/s"), true};
    ExampleCells::prepare(cell, texts);
}
