#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNSpacerMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/PixelProbe.h"
#include "platform/log/LogCapture.h"

#include <gtest/gtest.h>

TEST(MenuBarCellCodes, EveryValidCodeMakesACellThatWritesTheSameCode)
{
    const QStringList codes = {
        "QRNGraphMenuBarCell:1N", "QRNGraphMenuBarCell:1O", "QRNGraphMenuBarCell:2N", "QRNGraphMenuBarCell:2O",
        "QRNNumericMenuBarCell:T", "QRNNumericMenuBarCell:B", "QRNNumericMenuBarCell:P",
        "QRNStateMenuBarCell:B", "QRNStateMenuBarCell:T",
        "QRNTextMenuBarCell:N", "QRNTextMenuBarCell:2", "QRNTextMenuBarCell:V",
        "QRNTemperatureMenuBarCell:N", "QRNSpacerMenuBarCell:N",
    };
    LogCapture log;
    for (const QString& code : codes) {
        auto cell = QRNMenuBarCell::newMenuBarCellForStringCode(code);
        ASSERT_TRUE(cell) << qPrintable(code);
        EXPECT_EQ(cell->stringCode(), code);
        EXPECT_EQ(cell->className(), code.section(u':', 0, 0));
        auto again = QRNMenuBarCell::newMenuBarCellForStringCode(cell->stringCode());
        ASSERT_TRUE(again);
        EXPECT_EQ(again->stringCode(), code);
        EXPECT_EQ(again->width(), cell->width()) << qPrintable(code);
    }
    EXPECT_TRUE(log.entries().empty());
}

TEST(MenuBarCellCodes, StylesComeFromTheDetail)
{
    auto opposed = QRNMenuBarCell::newMenuBarCellForStringCode("QRNGraphMenuBarCell:2O");
    auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(opposed.get());
    ASSERT_TRUE(graph);
    EXPECT_TRUE(graph->usesSecondaryGraph());
    EXPECT_TRUE(graph->showsOpposedGraphs());

    auto single = QRNMenuBarCell::newMenuBarCellForStringCode("QRNGraphMenuBarCell:1N");
    graph = dynamic_cast<QRNGraphMenuBarCell*>(single.get());
    ASSERT_TRUE(graph);
    EXPECT_FALSE(graph->usesSecondaryGraph());
    EXPECT_FALSE(graph->showsOpposedGraphs());

    auto pie = QRNMenuBarCell::newMenuBarCellForStringCode("QRNNumericMenuBarCell:P");
    ASSERT_TRUE(dynamic_cast<QRNNumericMenuBarCell*>(pie.get()));
    EXPECT_EQ(dynamic_cast<QRNNumericMenuBarCell*>(pie.get())->displayStyle(), QRNNumericMenuBarCell::Pie);
}

TEST(MenuBarCellCodes, SpacersAndTemperaturesAcceptAnyDetailAndWriteN)
{
    for (const QString& detail : QStringList{"xyz", "", "N"}) {
        auto spacer = QRNMenuBarCell::newMenuBarCellForStringCode("QRNSpacerMenuBarCell:" + detail);
        ASSERT_TRUE(spacer);
        EXPECT_EQ(spacer->stringCode(), "QRNSpacerMenuBarCell:N");
        auto temperature = QRNMenuBarCell::newMenuBarCellForStringCode("QRNTemperatureMenuBarCell:" + detail);
        ASSERT_TRUE(temperature);
        EXPECT_EQ(temperature->stringCode(), "QRNTemperatureMenuBarCell:N");
    }
    auto base = QRNMenuBarCell::newMenuBarCellForStringCode("QRNMenuBarCell:anything");
    ASSERT_TRUE(base);
    EXPECT_EQ(base->stringCode(), "QRNMenuBarCell");
}

TEST(MenuBarCellCodes, EachInvalidFormIsReportedWithItsOwnMessage)
{
    struct Case {
        QString code;
        QString message;
    };
    const QList<Case> cases = {
        {"QRNTextMenuBarCell", "QRNMenuBarCell: found invalid code 'QRNTextMenuBarCell' to create menu-bar cell."},
        {"QRNTextMenuBarCell:N:more", "QRNMenuBarCell: found invalid code 'QRNTextMenuBarCell:N:more' to create menu-bar cell."},
        {"QRNNoSuchMenuBarCell:N", "QRNMenuBarCell: application does not implement menu-bar cells of class 'QRNNoSuchMenuBarCell'."},
        {"QRNBufferedGraph:1N", "QRNMenuBarCell: application does not implement menu-bar cells of class 'QRNBufferedGraph'."},
        {"QRNTextMenuBarCell:n", "QRNMenuBarCell: invalid detail parameters 'n' to create menu-bar cell of class 'QRNTextMenuBarCell'."},
        {"QRNGraphMenuBarCell:3N", "QRNMenuBarCell: invalid detail parameters '3N' to create menu-bar cell of class 'QRNGraphMenuBarCell'."},
        {"QRNGraphMenuBarCell:2", "QRNMenuBarCell: invalid detail parameters '2' to create menu-bar cell of class 'QRNGraphMenuBarCell'."},
        {"QRNGraphMenuBarCell:2OO", "QRNMenuBarCell: invalid detail parameters '2OO' to create menu-bar cell of class 'QRNGraphMenuBarCell'."},
        {"QRNNumericMenuBarCell:", "QRNMenuBarCell: invalid detail parameters '' to create menu-bar cell of class 'QRNNumericMenuBarCell'."},
        {"QRNNumericMenuBarCell:TB", "QRNMenuBarCell: invalid detail parameters 'TB' to create menu-bar cell of class 'QRNNumericMenuBarCell'."},
        {"QRNStateMenuBarCell:N", "QRNMenuBarCell: invalid detail parameters 'N' to create menu-bar cell of class 'QRNStateMenuBarCell'."},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_FALSE(QRNMenuBarCell::newMenuBarCellForStringCode(c.code)) << qPrintable(c.code);
        EXPECT_EQ(log.messages(LogLevel::Error), QStringList{c.message});
        EXPECT_EQ(log.entries().size(), 1u);
    }
}

TEST(MenuBarCellCodes, AnEmptyCodeYieldsNothingSilently)
{
    LogCapture log;
    EXPECT_FALSE(QRNMenuBarCell::newMenuBarCellForStringCode(QString()));
    EXPECT_TRUE(log.entries().empty());
}

TEST(MenuBarCellCodes, AnInvalidCodeAmongValidOnesIsSkipped)
{
    LogCapture log;
    QRNMenuBarItemImage image(QSizeF(0, 22));
    for (const QString& code : QStringList{"QRNTextMenuBarCell:N", "QRNTextMenuBarCell:X", "QRNSpacerMenuBarCell:N"})
        image.addMenuBarCell(QRNMenuBarCell::newMenuBarCellForStringCode(code));
    ASSERT_EQ(image.menuBarCells().size(), 2u);
    EXPECT_EQ(image.menuBarCells()[0]->stringCode(), "QRNTextMenuBarCell:N");
    EXPECT_EQ(image.menuBarCells()[1]->stringCode(), "QRNSpacerMenuBarCell:N");
    EXPECT_EQ(log.messages(LogLevel::Error).size(), 1);
}

TEST(QRNMenuBarCell, StartsAsHighAndWideAsTheBarIsThickAndCopiesIndependently)
{
    QRNMenuBarCell cell;
    EXPECT_EQ(cell.width(), 22.0);
    EXPECT_EQ(cell.height(), 22.0);
    EXPECT_EQ(cell.offset(), 0.0);
    EXPECT_FALSE(cell.isHighlighted());

    QRNTextMenuBarCell text;
    text.setOffset(12);
    text.setIsHighlighted(true);
    text.setStringValue("abc");
    auto copy = text.copy();
    text.setStringValue("changed");
    auto* copied = dynamic_cast<QRNTextMenuBarCell*>(copy.get());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->stringValue(), "abc");
    EXPECT_EQ(copied->offset(), 12.0);
    EXPECT_TRUE(copied->isHighlighted());
    EXPECT_NE(copied->width(), text.width());
}

TEST(QRNMenuBarCell, ThePlaceholderIsACrossedOutFrameInTheForegroundColour)
{
    QRNMenuBarCell cell;
    for (qreal ratio : {1.0, 2.0}) {
        const QImage image = cell.cellImage(ratio, PixelProbe::lightPalette());
        EXPECT_EQ(image.size(), QSize(22, 22) * ratio);
        EXPECT_EQ(PixelProbe::colorAt(image, 0.25, 11), QColor(Qt::black)) << "left edge";
        EXPECT_EQ(PixelProbe::colorAt(image, 11, 21.75), QColor(Qt::black)) << "top edge";
        EXPECT_TRUE(PixelProbe::isInked(image, 10.75, 10.75)) << "the diagonals cross";
        EXPECT_FALSE(PixelProbe::isInked(image, 11, 5, 1));
        EXPECT_FALSE(PixelProbe::isInked(image, 5, 11, 1));
    }
}
