#pragma once

#include <QString>

class QRNMenuBarCell;

// What the cells of a page's palette and strip show while no item feeds them.
struct ExampleCellTexts {
    // Shown by one-line and vertical text cells.
    QString label;
    // Two-line text cells: the width template, the tab-stop templates and the two lines.
    QString widthTemplate;
    QString labelTemplate;
    QString numberTemplate;
    QString firstLine;
    QString secondLine;
    bool graphsShowTwoSeries = false;

    // Only the label; the rest stays empty.
    static ExampleCellTexts labelled(QString label)
    {
        ExampleCellTexts texts;
        texts.label = std::move(label);
        return texts;
    }
};

namespace ExampleCells {

// Fills a new cell with the example values: texts as given, numeric cells
// 0.634, graph cells 30 demo values, temperature cells 56.3 °C.
void prepare(QRNMenuBarCell& cell, const ExampleCellTexts& texts);

} // namespace ExampleCells
