#include "configuration/VistrelPlusTopic.h"
#include "extension/SessionFixture.h"
#include "settings/QRNHostUserDefaults.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <filesystem>

namespace {

class VistrelPlusTopicTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        topic.init();
        page = topic.contentView();
        ASSERT_TRUE(page);
    }

    QString text(const char* name) const { return page->findChild<QLabel*>(QLatin1String(name))->text(); }
    // The lamp's colour, sampled in its middle; transparent for the empty lamp.
    QColor lamp(const char* name) const
    {
        return page->findChild<QLabel*>(QLatin1String(name))->pixmap().toImage().pixelColor(6, 6);
    }
    bool hidden(const char* name) const { return page->findChild<QWidget*>(QLatin1String(name))->isHidden(); }

    VistrelPlusTopic topic;
    QWidget* page = nullptr;
};

bool isGreen(const QColor& color)
{
    return color.alpha() == 255 && color.green() > 2 * color.red();
}

bool isRed(const QColor& color)
{
    return color.alpha() == 255 && color.red() > 2 * color.green();
}

}

TEST_F(VistrelPlusTopicTest, LinesFollowTheSessionFromInstalledToConnectedAndBack)
{
    // Before any check: not installed, nothing known of a version.
    EXPECT_EQ(text("detectedStatusField"), QStringLiteral("No"));
    EXPECT_TRUE(isRed(lamp("detectedStatusIndicator")));
    EXPECT_FALSE(hidden("downloadButton"));
    EXPECT_EQ(text("compatibleStatusField"), QString());
    EXPECT_EQ(lamp("compatibleStatusIndicator").alpha(), 0);

    // Installed but not permitted.
    session.updateAppExtensionAvailability();
    EXPECT_EQ(text("detectedStatusField"), QStringLiteral("Yes"));
    EXPECT_TRUE(isGreen(lamp("detectedStatusIndicator")));
    EXPECT_TRUE(isRed(lamp("connectedStatusIndicator")));
    EXPECT_TRUE(hidden("downloadButton"));

    // Ticking the switch connects at once.
    auto* useSwitch = page->findChild<QCheckBox*>(QStringLiteral("useAppExtensionSwitch"));
    useSwitch->setChecked(true);
    ASSERT_TRUE(waitUntilReceiving());
    EXPECT_EQ(text("compatibleStatusField"), QStringLiteral("Yes - Version: 1.0 (Build 1)"));
    EXPECT_TRUE(isGreen(lamp("compatibleStatusIndicator")));
    EXPECT_EQ(text("connectedStatusField"), QStringLiteral("Yes"));
    EXPECT_TRUE(isGreen(lamp("connectedStatusIndicator")));
    EXPECT_TRUE(hidden("powerNote"));  // the fixture's energy counter is readable

    useSwitch->setChecked(false);
    EXPECT_FALSE(session.isConnected());
    EXPECT_EQ(text("connectedStatusField"), QStringLiteral("No"));
    EXPECT_FALSE(session.shouldUseAppExtension());
}

class VistrelPlusTopicWithoutPowerTest : public VistrelPlusTopicTest {
protected:
    void SetUp() override
    {
        // The fixture machine, with an energy counter that cannot be read.
        const std::filesystem::path root = machine.path().toStdString();
        std::filesystem::copy(VISTREL_FIXTURES "/plus-sensors", root, std::filesystem::copy_options::recursive);
        std::filesystem::remove(root / "sys/class/powercap/intel-rapl:0/energy_uj");
        std::filesystem::create_directory(root / "sys/class/powercap/intel-rapl:0/energy_uj");
        sysroot = machine.path();
        VistrelPlusTopicTest::SetUp();
    }
    QTemporaryDir machine;
};

TEST_F(VistrelPlusTopicWithoutPowerTest, SaysWhyPackagePowerIsMissing)
{
    QRNHostUserDefaults::setBool(true, SettingName::UseAppExtension);
    session.updateAppExtensionAvailability();
    ASSERT_TRUE(waitUntilReceiving());
    EXPECT_FALSE(hidden("powerNote"));
    EXPECT_TRUE(text("powerNote").contains(QStringLiteral("RAPL energy counters")));
}
