#include "configuration/MemoryTopic.h"

#include "configuration/ExampleCells.h"

QString MemoryTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("memorychip");
}

QString MemoryTopic::accessibilityDescriptionOfIcon() const
{
    return tr("memory icon");
}

QWidget* MemoryTopic::createContentView()
{
    return makeStandardPage();
}

void MemoryTopic::configureNewMenuBarCell(QRNMenuBarCell& cell)
{
    static const ExampleCellTexts texts = {QStringLiteral("MEM"), QStringLiteral("W: 999.9 WW"), QStringLiteral("W:"),
        QStringLiteral(" 999"), QStringLiteral("\tU:\t338\tMB"), QStringLiteral("\tF:\t174\tMB"), false};
    ExampleCells::prepare(cell, texts);
}
