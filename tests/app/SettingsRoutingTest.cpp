#include "app/ApplicationDelegate.h"
#include "app/WelcomeWindow.h"
#include "configuration/ConfigurationWindowController.h"
#include "items/QRNCPUMonitorItem.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "platform/defaults/PropertyList.h"
#include "platform/log/LogCapture.h"
#include "settings/QRNHostUserDefaults.h"
#include "support/ScopedMonitorItemClass.h"
#include "support/ScopedStatusBar.h"
#include "support/ScopedUserDefaults.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

class SettingsRoutingTest : public ::testing::Test {
protected:
    void SetUp() override { relaunch(false); }
    void TearDown() override
    {
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void relaunch(bool finishLaunching = true)
    {
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        controller = std::make_unique<ApplicationDelegate>();
        if (finishLaunching) {
            controller->applicationDidFinishLaunching();
            return;
        }
        QRNHostUserDefaults::setGlobalChangeDelegate(
            [c = controller.get()](const QVariant& value, const QString& key) { c->handleChangeOfValue(value, key); });
    }
    static UserDefaults& defaults() { return ScopedUserDefaults::defaults(); }
    QRNCPUMonitorItem* processor() const
    {
        return static_cast<QRNCPUMonitorItem*>(controller->activeMonitorItemWithClassName("QRNCPUMonitorItem"));
    }
    QString welcomeText() const
    {
        auto* window = static_cast<WelcomeWindow*>(controller->welcomeWindow());
        return window ? window->information() : QString();
    }

    ScopedStatusBar bar;
    ScopedUserDefaults settings;
    std::unique_ptr<ApplicationDelegate> controller;
    const QVariantList cells = {"QRNNumericMenuBarCell:P", "QRNNumericMenuBarCell:B"};
};

TEST_F(SettingsRoutingTest, IsActiveCreatesTheItemWithSettingsStoredBeforeAndAfter)
{
    LogCapture log;
    QRNHostUserDefaults::setBool(true, "ProcessorTopic-ShowIndividualCPUs");
    QRNHostUserDefaults::setBool(true, "NetworkTopic-ShouldGetWANAddress");
    QRNHostUserDefaults::setObject(cells, "ProcessorTopic-MenuBarConfiguration");
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(processor(), nullptr);
    QRNHostUserDefaults::setBool(true, "ProcessorTopic-IsActive");
    ASSERT_NE(processor(), nullptr);
    EXPECT_TRUE(processor()->showsIndividualLoadsInBar());
    EXPECT_EQ(processor()->menuBarImage()->menuBarCells().size(), 2 * processor()->cpuCount());
    EXPECT_EQ(controller->placeholderItem(), nullptr);

    // A live item takes its own settings at once.
    QRNHostUserDefaults::setBool(false, "ProcessorTopic-ShowIndividualCPUs");
    QRNHostUserDefaults::setObject(QVariantList{"QRNNumericMenuBarCell:T"}, "ProcessorTopic-MenuBarConfiguration");
    EXPECT_EQ(processor()->menuBarImage()->menuBarCells().size(), 1u);

    QRNHostUserDefaults::setBool(false, "ProcessorTopic-IsActive");
    EXPECT_EQ(processor(), nullptr);
    EXPECT_NE(controller->placeholderItem(), nullptr);
}

TEST_F(SettingsRoutingTest, ControllerKeysAreHandledOrReported)
{
    LogCapture log;
    QRNHostUserDefaults::setInteger(2, "PreferencesTopic-QRNMemoryDisplayMode");
    EXPECT_EQ(defaults().domainValues(UserDefaults::Domain::Standard).value("QRNMemoryDisplayMode"), QVariant(2));
    QRNHostUserDefaults::setInteger(1280, "PassedFirstStart");
    QRNHostUserDefaults::setBool(true, "UseAppExtension");
    QRNHostUserDefaults::setBool(true, "PreferencesTopic-SuppressSwitchingNotice");
    QRNHostUserDefaults::setBool(true, "MenuBarLayoutTopic-BarSuppressDecimalPlaces");
    EXPECT_TRUE(log.entries().empty());

    QRNHostUserDefaults::setBool(true, "Frobnicate");
    QRNHostUserDefaults::setBool(true, "PreferencesTopic-Frobnicate");
    EXPECT_EQ(log.messages(LogLevel::Error),
        (QStringList{"ApplicationDelegate: cannot handle change of user default 'Frobnicate'.\n",
            "ApplicationDelegate: cannot handle change of user default 'PreferencesTopic-Frobnicate'.\n"}));
    // Nothing a user stored is lost for being unknown.
    EXPECT_TRUE(defaults().boolForKey("Frobnicate"));
}

TEST_F(SettingsRoutingTest, FirstStartSwitchesItemsOnAndAnUpgradeKeepsTheUsersChoice)
{
    const ScopedMonitorItemFactory lacking("QRNNetMonitorItem", {});
    controller->applicationDidFinishLaunching();
    ASSERT_NE(processor(), nullptr);
    EXPECT_TRUE(defaults().boolForKey("ProcessorTopic-IsActive"));
    EXPECT_TRUE(controller->isFullGUIEnabled());
    ASSERT_NE(controller->welcomeWindow(), nullptr);
    EXPECT_TRUE(controller->welcomeWindow()->isVisible());
    EXPECT_TRUE(welcomeText().startsWith("The configuration window can be used"));
    EXPECT_EQ(defaults().integerForKey("PassedFirstStart"), 1280);
    EXPECT_NE(controller->mainMenuMonitorItem(), nullptr);
    // A page whose item this version lacks stores its cells but does not claim the item is shown.
    EXPECT_FALSE(defaults().hasKey("NetworkTopic-IsActive"));
    EXPECT_TRUE(PropertyList::isArray(defaults().objectForKey("NetworkTopic-MenuBarConfiguration")));

    // An earlier version, with the processor item switched off by the user.
    defaults().setObject("PassedFirstStart", 1100, UserDefaults::Domain::Host);
    defaults().setObject("ProcessorTopic-IsActive", false, UserDefaults::Domain::Host);
    relaunch();
    EXPECT_EQ(processor(), nullptr);
    EXPECT_EQ(defaults().integerForKey("PassedFirstStart"), 1280);
    EXPECT_TRUE(welcomeText().startsWith("Your settings from the previous version"));

    // An earlier version that kept a separate menu-bar part at login.
    defaults().setObject("PassedFirstStart", 1100, UserDefaults::Domain::Host);
    defaults().setObject("KeepInMenuBar", true);
    relaunch();
    EXPECT_TRUE(welcomeText().startsWith("The menu-bar part of Vistrel is no longer a separate program"));
    EXPECT_FALSE(defaults().boolForKey("KeepInMenuBar"));
}

TEST_F(SettingsRoutingTest, EveryKeyThePagesAndResourcesWriteHasAReceiver)
{
    controller->applicationDidFinishLaunching();
    // Every control of every page is used once.
    ConfigurationWindowController& window = *controller->loadConfigurationWindow();
    std::function<void(const ConfigurationTopic::List&)> useControls = [&](const ConfigurationTopic::List& topics) {
        for (const auto& topic : topics) {
            useControls(topic->children());
            if (!topic->contentView())
                continue;
            for (QAbstractButton* button : topic->contentView()->findChildren<QAbstractButton*>())
                button->click();
            for (QSlider* slider : topic->contentView()->findChildren<QSlider*>())
                slider->setValue(slider->maximum());
        }
    };
    LogCapture log;
    useControls(window.configurationTopics());
    const QVariantMap stored = defaults().domainValues(UserDefaults::Domain::Host);
    ASSERT_GE(stored.size(), 20) << QStringList(stored.keys()).join(" ").toStdString();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        controller->handleChangeOfValue(it.value(), it.key());
    EXPECT_EQ(log.messages(LogLevel::Error), QStringList());
}

TEST_F(SettingsRoutingTest, AFirstStartKeepsSwitchesTheSettingsAlreadyHold)
{
    // Settings written before the first start, by hand or by a script.
    defaults().setObject("ProcessorTopic-IsActive", true, UserDefaults::Domain::Host);
    defaults().setObject("ProcessorTopic-MenuBarConfiguration", cells, UserDefaults::Domain::Host);
    defaults().setObject("MemoryTopic-IsActive", false, UserDefaults::Domain::Host);
    controller->applicationDidFinishLaunching();

    int processors = 0;
    for (const QRNMonitorItem* item : controller->scheduler().items())
        processors += item->className() == "QRNCPUMonitorItem";
    EXPECT_EQ(processors, 1);
    int processorButtons = 0;
    for (const StatusItem* item : StatusBar::systemStatusBar().statusItems())
        processorButtons += item->autosaveName() == "QRNCPUMonitorItem";
    EXPECT_EQ(processorButtons, 1);
    EXPECT_EQ(controller->activeMonitorItemWithClassName("QRNMemoryMonitorItem"), nullptr);
    EXPECT_FALSE(defaults().boolForKey("MemoryTopic-IsActive"));
    EXPECT_TRUE(defaults().hasKey("MemoryTopic-IsActive"));
    EXPECT_EQ(defaults().integerForKey("PassedFirstStart"), 1280);
}

} // namespace
