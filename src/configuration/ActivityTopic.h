#pragma once

#include "configuration/ConfigurationTopic.h"

// The activity page: the activity item's switch. The item builds its lamps from the devices it watches, so the page has no strips.
class ActivityTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "ActivityTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

protected:
    QWidget* createContentView() override;
};
