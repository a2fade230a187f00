#pragma once

#include "configuration/ConfigurationTopic.h"

// The page of the app extension Vistrel Plus.
class VistrelPlusTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "VistrelPlusTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
};
