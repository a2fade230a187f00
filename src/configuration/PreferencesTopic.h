#pragma once

#include "configuration/ConfigurationTopic.h"

// The general preferences page.
class PreferencesTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "PreferencesTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
};
