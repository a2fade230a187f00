#pragma once

#include "configuration/ConfigurationTopic.h"

// The file-system page: the volume item's switch and cells.
class FileSystemTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "FileSystemTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override;
};
