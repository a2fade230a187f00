#pragma once

#include "app/ApplicationDelegate.h"
#include "configuration/ConfigurationWindow.h"
#include "configuration/ConfigurationWindowController.h"
#include "items/QRNCPUMonitorItem.h"
#include "items/QRNMemoryMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "support/ScopedStatusBar.h"
#include "support/ScopedUserDefaults.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// A launched controller with the real item classes, past its first start.
class LaunchedController : public ::testing::Test {
protected:
    void SetUp() override
    {
        defaults().setObject(QStringLiteral("PassedFirstStart"), ApplicationDelegate::FirstStartVersionCode,
            UserDefaults::Domain::Host);
    }
    void TearDown() override
    {
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Class-wide cell settings outlive a test.
        QRNGraphMenuBarCell::setWidthScalingFactor(1.0);
        QRNNumericMenuBarCell::setBarChartWidthScalingFactor(1.0);
        QRNNumericMenuBarCell::setSuppressesFractionDigits(false);
        QRNTemperatureMenuBarCell::setSuppressesFractionDigits(false);
    }

    void launch()
    {
        controller = std::make_unique<ApplicationDelegate>();
        controller->applicationDidFinishLaunching();
    }

    static UserDefaults& defaults() { return ScopedUserDefaults::defaults(); }
    ConfigurationWindowController& windowController() const { return *controller->configurationWindowController(); }
    // Null until the controller builds the window.
    ConfigurationWindow* window() const
    {
        ConfigurationWindowController* built = controller->configurationWindowController();
        return built ? &built->window() : nullptr;
    }
    QRNMonitorItem* liveItem(const QString& className) const { return controller->activeMonitorItemWithClassName(className); }

    ScopedStatusBar bar;
    ScopedUserDefaults settings;
    std::unique_ptr<ApplicationDelegate> controller;
};
