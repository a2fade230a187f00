#pragma once

#include "configuration/ConfigurationTopic.h"

// The network page: the network item's switch and cells.
class NetworkTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "NetworkTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override;
};
