#include "app/ApplicationDelegate.h"
#include "app/QRNHostUserDefaults.h"
#include "app/WelcomeWindow.h"
#include "items/MonitorItemClasses.h"
#include "items/MonitorItemRegistration.h"
#include "items/QRNCPUMonitorItem.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "platform/statusbar/OffscreenStatusBar.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class SettingsRoutingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
        defaults().clear();
        registerMonitorItemClasses();
        controller = std::make_unique<ApplicationDelegate>();
        QRNHostUserDefaults::setGlobalChangeDelegate(controller.get());
    }
    void TearDown() override
    {
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MonitorItemClasses::shared().remove(QLatin1String(QRNCPUMonitorItem::ClassName));
        MonitorItemClasses::shared().createMainMenuItem = nullptr;
        StatusBar::setSystemStatusBar(nullptr);
        defaults().clear();
    }
    static UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }
    QRNCPUMonitorItem* processor() const
    {
        return static_cast<QRNCPUMonitorItem*>(controller->activeMonitorItemWithClassName(QStringLiteral("QRNCPUMonitorItem")));
    }

    QString welcomeText() const
    {
        auto* window = static_cast<WelcomeWindow*>(controller->welcomeWindow());
        return window ? window->information() : QString();
    }

    std::unique_ptr<ApplicationDelegate> controller;
    const QVariantList cells = {QStringLiteral("QRNNumericMenuBarCell:P"), QStringLiteral("QRNNumericMenuBarCell:B")};
};

TEST_F(SettingsRoutingTest, IsActiveCreatesAndRemovesTheItemWithItsStoredCells)
{
    QRNHostUserDefaults::setObject(cells, QStringLiteral("ProcessorTopic-MenuBarConfiguration"));
    EXPECT_EQ(processor(), nullptr);
    QRNHostUserDefaults::setBool(true, QStringLiteral("ProcessorTopic-IsActive"));
    ASSERT_NE(processor(), nullptr);
    EXPECT_EQ(processor()->menuBarImage()->menuBarCells().size(), 2u);
    EXPECT_EQ(controller->placeholderItem(), nullptr);

    // A live item takes its own settings at once.
    QRNHostUserDefaults::setObject(QVariantList{QStringLiteral("QRNNumericMenuBarCell:T")},
        QStringLiteral("ProcessorTopic-MenuBarConfiguration"));
    EXPECT_EQ(processor()->menuBarImage()->menuBarCells().size(), 1u);

    QRNHostUserDefaults::setBool(false, QStringLiteral("ProcessorTopic-IsActive"));
    EXPECT_EQ(processor(), nullptr);
    EXPECT_NE(controller->placeholderItem(), nullptr);
}

TEST_F(SettingsRoutingTest, SettingsOfAnItemThatIsNotLiveWaitForItsCreation)
{
    LogCapture log;
    QRNHostUserDefaults::setBool(true, QStringLiteral("ProcessorTopic-ShowIndividualCPUs"));
    QRNHostUserDefaults::setBool(true, QStringLiteral("NetworkTopic-ShouldGetWANAddress"));
    EXPECT_TRUE(log.entries().empty());
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("ProcessorTopic-ShowIndividualCPUs")));

    QRNHostUserDefaults::setObject(cells, QStringLiteral("ProcessorTopic-MenuBarConfiguration"));
    QRNHostUserDefaults::setBool(true, QStringLiteral("ProcessorTopic-IsActive"));
    ASSERT_NE(processor(), nullptr);
    EXPECT_TRUE(processor()->showsIndividualLoadsInBar());
    EXPECT_EQ(processor()->menuBarImage()->menuBarCells().size(), 2 * processor()->cpuCount());
}

TEST_F(SettingsRoutingTest, ControllerKeysAreHandledOrReported)
{
    LogCapture log;
    QRNHostUserDefaults::setInteger(2, QStringLiteral("PreferencesTopic-QRNMemoryDisplayMode"));
    EXPECT_EQ(defaults().domainValues(UserDefaults::Domain::Standard).value(QStringLiteral("QRNMemoryDisplayMode")), QVariant(2));
    QRNHostUserDefaults::setInteger(1280, QStringLiteral("PassedFirstStart"));
    QRNHostUserDefaults::setBool(true, QStringLiteral("UseAppExtension"));
    QRNHostUserDefaults::setBool(true, QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"));
    QRNHostUserDefaults::setBool(true, QStringLiteral("MenuBarLayoutTopic-BarSuppressDecimalPlaces"));
    EXPECT_TRUE(log.entries().empty());

    QRNHostUserDefaults::setBool(true, QStringLiteral("Frobnicate"));
    QRNHostUserDefaults::setBool(true, QStringLiteral("PreferencesTopic-Frobnicate"));
    EXPECT_EQ(log.messages(LogLevel::Error), (QStringList{
        QStringLiteral("ApplicationDelegate: cannot handle change of user default 'Frobnicate'.\n"),
        QStringLiteral("ApplicationDelegate: cannot handle change of user default 'PreferencesTopic-Frobnicate'.\n")}));
    // Nothing a user stored is lost for being unknown.
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("Frobnicate")));
}

TEST_F(SettingsRoutingTest, FirstStartSwitchesItemsOnAndAnUpgradeKeepsTheUsersChoice)
{
    controller->applicationDidFinishLaunching();
    ASSERT_NE(processor(), nullptr);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("ProcessorTopic-IsActive")));
    EXPECT_TRUE(controller->isFullGUIEnabled());
    ASSERT_NE(controller->welcomeWindow(), nullptr);
    EXPECT_TRUE(controller->welcomeWindow()->isVisible());
    EXPECT_TRUE(welcomeText().startsWith(QStringLiteral("The configuration window can be used")));
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("PassedFirstStart")), 1280);
    ASSERT_NE(controller->mainMenuMonitorItem(), nullptr);

    // An earlier version, with the processor item switched off by the user.
    controller.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    defaults().setObject(QStringLiteral("PassedFirstStart"), 1100, UserDefaults::Domain::Host);
    defaults().setObject(QStringLiteral("ProcessorTopic-IsActive"), false, UserDefaults::Domain::Host);
    controller = std::make_unique<ApplicationDelegate>();
    controller->applicationDidFinishLaunching();
    EXPECT_EQ(processor(), nullptr);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("PassedFirstStart")), 1280);
    EXPECT_TRUE(welcomeText().startsWith(QStringLiteral("Your settings from the previous version")));

    // An earlier version that kept a separate menu-bar part at login.
    controller.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    defaults().setObject(QStringLiteral("PassedFirstStart"), 1100, UserDefaults::Domain::Host);
    defaults().setObject(QStringLiteral("KeepInMenuBar"), true);
    controller = std::make_unique<ApplicationDelegate>();
    controller->applicationDidFinishLaunching();
    EXPECT_TRUE(welcomeText().startsWith(QStringLiteral("With modern versions of macOS")));
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("KeepInMenuBar")));
}

} // namespace
