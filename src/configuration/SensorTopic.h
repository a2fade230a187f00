#pragma once

#include "configuration/ConfigurationTopic.h"

// The sensor page: the sensor item's switch and cells.
class SensorTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "SensorTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override;
};
