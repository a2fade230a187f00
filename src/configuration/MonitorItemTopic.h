#pragma once

#include "configuration/ConfigurationTopic.h"
#include "configuration/ExampleCells.h"

// The page of one monitor item: its switch, its palette and its strip, with
// example values in the cells while no item feeds them.
class MonitorItemTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    QString systemSymbolNameOfIcon() const override { return m_symbolName; }
    QString accessibilityDescriptionOfIcon() const override { return m_accessibilityDescription; }

protected:
    MonitorItemTopic(QString symbolName, QString accessibilityDescription, ExampleCellTexts examples);
    QWidget* createContentView() override { return makeStandardPage(); }
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override { ExampleCells::prepare(cell, m_examples); }

private:
    QString m_symbolName;
    QString m_accessibilityDescription;
    ExampleCellTexts m_examples;
};
