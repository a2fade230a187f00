#include "platform/drawing/SystemColor.h"

#include <gtest/gtest.h>

TEST(SystemColor, NamedColoursComeFromThePaletteWhenResolved)
{
    QPalette light;
    light.setColor(QPalette::WindowText, Qt::black);
    light.setColor(QPalette::Highlight, Qt::blue);
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::darkGray);
    QPalette dark = light;
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);

    const SystemColor label = SystemColor::labelColor();
    EXPECT_EQ(label.resolvedWith(light), QColor(Qt::black));
    EXPECT_EQ(label.resolvedWith(dark), QColor(Qt::white));
    EXPECT_EQ(SystemColor::textBackgroundColor().resolvedWith(dark), QColor(Qt::black));
    EXPECT_EQ(SystemColor::controlAccentColor().resolvedWith(light), QColor(Qt::blue));
    EXPECT_EQ(SystemColor::textColor().resolvedWith(light), QColor(Qt::darkGray));

    // A fixed colour ignores the palette.
    EXPECT_EQ(SystemColor(QColor(1, 2, 3)).resolvedWith(dark), QColor(1, 2, 3));
}

TEST(SystemColor, AlphaComponentScalesTheResolvedAlpha)
{
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(10, 20, 30, 200));
    const SystemColor faded = SystemColor::textBackgroundColor().withAlphaComponent(0.5);
    const QColor resolved = faded.resolvedWith(palette);
    EXPECT_EQ(resolved.rgb(), QColor(10, 20, 30).rgb());
    EXPECT_EQ(resolved.alpha(), 100);
    EXPECT_EQ(faded.withAlphaComponent(0).resolvedWith(palette).alpha(), 0);
    EXPECT_NE(faded, SystemColor::textBackgroundColor());
}
