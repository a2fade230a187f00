#include "menubar/PixelProbe.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "platform/log/LogCapture.h"

#include <gtest/gtest.h>

TEST(MenuBarCellCodes, EveryValidCodeMakesACellThatWritesTheSameCode)
{
    const QStringList codes = {"QRNGraphMenuBarCell:1N", "QRNGraphMenuBarCell:1O", "QRNGraphMenuBarCell:2N",
        "QRNGraphMenuBarCell:2O", "QRNNumericMenuBarCell:T", "QRNNumericMenuBarCell:B", "QRNNumericMenuBarCell:P",
        "QRNStateMenuBarCell:B", "QRNStateMenuBarCell:T", "QRNTextMenuBarCell:N", "QRNTextMenuBarCell:2",
        "QRNTextMenuBarCell:V", "QRNTemperatureMenuBarCell:N", "QRNSpacerMenuBarCell:N"};
    LogCapture log;
    for (const QString& code : codes) {
        auto cell = QRNMenuBarCell::newMenuBarCellForStringCode(code);
        ASSERT_TRUE(cell) << qPrintable(code);
        EXPECT_EQ(cell->stringCode(), code);
        EXPECT_EQ(cell->className(), code.section(u':', 0, 0));
    }
    EXPECT_TRUE(log.entries().empty());
    auto graph = QRNMenuBarCell::newMenuBarCellForStringCode("QRNGraphMenuBarCell:2O");
    auto* opposed = dynamic_cast<QRNGraphMenuBarCell*>(graph.get());
    ASSERT_TRUE(opposed);
    EXPECT_TRUE(opposed->usesSecondaryGraph());
    EXPECT_TRUE(opposed->showsOpposedGraphs());
    auto pie = QRNMenuBarCell::newMenuBarCellForStringCode("QRNNumericMenuBarCell:P");
    ASSERT_TRUE(dynamic_cast<QRNNumericMenuBarCell*>(pie.get()));
    EXPECT_EQ(dynamic_cast<QRNNumericMenuBarCell*>(pie.get())->displayStyle(), QRNNumericMenuBarCell::Pie);
}

TEST(MenuBarCellCodes, EachInvalidFormIsReportedWithItsOwnMessageAndAnEmptyCodeSilently)
{
    const QString invalid = "QRNMenuBarCell: found invalid code '%1' to create menu-bar cell.";
    const QString unknown = "QRNMenuBarCell: application does not implement menu-bar cells of class '%1'.";
    const QString detail = "QRNMenuBarCell: invalid detail parameters '%2' to create menu-bar cell of class '%1'.";
    const QList<std::pair<QString, QString>> cases = {{"QRNTextMenuBarCell", invalid.arg("QRNTextMenuBarCell")},
        {"QRNTextMenuBarCell:N:more", invalid.arg("QRNTextMenuBarCell:N:more")},
        {"QRNNoSuchMenuBarCell:N", unknown.arg("QRNNoSuchMenuBarCell")},
        {"QRNBufferedGraph:1N", unknown.arg("QRNBufferedGraph")},
        {"QRNTextMenuBarCell:n", detail.arg("QRNTextMenuBarCell", "n")},
        {"QRNGraphMenuBarCell:3N", detail.arg("QRNGraphMenuBarCell", "3N")},
        {"QRNGraphMenuBarCell:2", detail.arg("QRNGraphMenuBarCell", "2")},
        {"QRNGraphMenuBarCell:2OO", detail.arg("QRNGraphMenuBarCell", "2OO")},
        {"QRNNumericMenuBarCell:", detail.arg("QRNNumericMenuBarCell", "")},
        {"QRNNumericMenuBarCell:TB", detail.arg("QRNNumericMenuBarCell", "TB")},
        {"QRNStateMenuBarCell:N", detail.arg("QRNStateMenuBarCell", "N")}};
    for (const auto& [code, message] : cases) {
        LogCapture log;
        EXPECT_FALSE(QRNMenuBarCell::newMenuBarCellForStringCode(code)) << qPrintable(code);
        EXPECT_EQ(log.messages(LogLevel::Error), QStringList{message});
        EXPECT_EQ(log.entries().size(), 1u);
    }
    LogCapture log;
    EXPECT_FALSE(QRNMenuBarCell::newMenuBarCellForStringCode(QString()));
    EXPECT_TRUE(log.entries().empty());
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
