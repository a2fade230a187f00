#pragma once

#include "app/ApplicationDelegate.h"
#include "configuration/ConfigurationWindow.h"
#include "items/MonitorItemClasses.h"
#include "items/MonitorItemRegistration.h"
#include "items/QRNCPUMonitorItem.h"
#include "items/QRNMemoryMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/statusbar/OffscreenStatusBar.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// A launched controller with the real item classes, past its first start.
class LaunchedController : public ::testing::Test {
protected:
    void SetUp() override
    {
        StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
        defaults().clear();
        registerMonitorItemClasses();
        defaults().setObject(QStringLiteral("PassedFirstStart"), ApplicationDelegate::FirstStartVersionCode,
            UserDefaults::Domain::Host);
    }
    void TearDown() override
    {
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MonitorItemClasses::shared().remove(QLatin1String(QRNCPUMonitorItem::ClassName));
        MonitorItemClasses::shared().remove(QLatin1String(QRNMemoryMonitorItem::ClassName));
        MonitorItemClasses::shared().createMainMenuItem = nullptr;
        StatusBar::setSystemStatusBar(nullptr);
        defaults().clear();
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

    static UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }
    ConfigurationWindow* window() const { return static_cast<ConfigurationWindow*>(controller->configurationWindow()); }
    QRNMonitorItem* liveItem(const QString& className) const { return controller->activeMonitorItemWithClassName(className); }

    std::unique_ptr<ApplicationDelegate> controller;
};
