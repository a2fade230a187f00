#pragma once

#include "configuration/ConfigurationTopic.h"

// The disk page: the disk item's switch and cells.
class DiskTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "DiskTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override;
};
