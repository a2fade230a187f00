#include "configuration/FileSystemTopic.h"

#include "configuration/ExampleCells.h"

QString FileSystemTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("cylinder.split.1x2");
}

QString FileSystemTopic::accessibilityDescriptionOfIcon() const
{
    return tr("file system icon");
}

QWidget* FileSystemTopic::createContentView()
{
    return makeStandardPage();
}

void FileSystemTopic::configureNewMenuBarCell(QRNMenuBarCell& cell)
{
    static const ExampleCellTexts texts = {QStringLiteral("VOL"), QStringLiteral("W: 999.9 WW"), QStringLiteral("W:"),
        QStringLiteral(" 999"), QStringLiteral("\tU:\t338\tGB"), QStringLiteral("\tF:\t174\tGB"), false};
    ExampleCells::prepare(cell, texts);
}
