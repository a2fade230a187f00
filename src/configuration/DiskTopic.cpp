#include "configuration/DiskTopic.h"

#include "configuration/ExampleCells.h"

QString DiskTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("externaldrive");
}

QString DiskTopic::accessibilityDescriptionOfIcon() const
{
    return tr("drive icon");
}

QWidget* DiskTopic::createContentView()
{
    return makeStandardPage();
}

void DiskTopic::configureNewMenuBarCell(QRNMenuBarCell& cell)
{
    static const ExampleCellTexts texts = {QStringLiteral("HD"), QStringLiteral("W: 999.9 WW/s"), QStringLiteral("W:"),
        QStringLiteral(" 99"), QStringLiteral("\tR:\t20\tMB/s"), QStringLiteral("\tW:\t15\tMB/s"), true};
    ExampleCells::prepare(cell, texts);
}
