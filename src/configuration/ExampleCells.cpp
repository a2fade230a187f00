#include "configuration/ExampleCells.h"

#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"

#include <QCoreApplication>

namespace {
constexpr double ExampleFraction = 0.634;
constexpr double ExampleTemperature = 56.3;
constexpr quint32 ExampleCapacity = 30;
} // namespace

void ExampleCells::prepare(QRNMenuBarCell& cell, const ExampleCellTexts& texts)
{
    if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(&cell)) {
        if (text->textStyle() == QRNTextMenuBarCell::TwoLines && !texts.widthTemplate.isEmpty()) {
            text->setFixedWidthBasedOnMaximumString(texts.widthTemplate);
            text->setTabStopsForLabelMaximumString(texts.labelTemplate, texts.numberTemplate);
            text->setStringValue(QCoreApplication::translate("Configuration", texts.firstLine.toUtf8().constData()));
            text->setSecondaryStringValue(QCoreApplication::translate("Configuration", texts.secondLine.toUtf8().constData()));
        } else {
            text->setStringValue(texts.label);
        }
    } else if (auto* numeric = dynamic_cast<QRNNumericMenuBarCell*>(&cell)) {
        numeric->setDoubleValue(ExampleFraction);
    } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(&cell)) {
        graph->setCapacity(ExampleCapacity);
        if (texts.graphsShowTwoSeries)
            graph->setUsesSecondaryGraph(true);
        graph->fillBufferWithDemoValues();
    } else if (auto* temperature = dynamic_cast<QRNTemperatureMenuBarCell*>(&cell)) {
        temperature->setCentigradeValue(ExampleTemperature);
    }
}
