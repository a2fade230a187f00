#pragma once

#include "configuration/ConfigurationTopic.h"

// The processor page: the processor item's switch and cells.
class ProcessorTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "ProcessorTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override;
};
