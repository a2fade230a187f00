#pragma once

#include "configuration/ConfigurationTopic.h"

// The memory page: the memory item's switch and cells.
class MemoryTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "MemoryTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override;
};
