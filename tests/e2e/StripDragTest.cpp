#include "XServer.h"

#include <QMap>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString PaletteCodes = QStringLiteral("QRNSpacerMenuBarCell:N,QRNStateMenuBarCell:T,QRNTextMenuBarCell:N");
const QRgb MarkerColor = qRgb(255, 0, 128);
// A point on the bare screen, far from the window.
const QPoint Outside(900, 600);

// The strip window program: a palette above an item strip.
class StripWindow {
public:
    StripWindow()
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(STRIP_WINDOW_EXECUTABLE));
        m_ready = waitForLine(QStringLiteral("ready"));
    }
    ~StripWindow()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

    bool ready() const { return m_ready; }
    // Where the cell is on the screen, as of the start or the last state().
    QRect cell(const QString& view, int index) const { return m_cells.value(view + QString::number(index)); }
    QPoint centre(const QString& view, int index) const { return cell(view, index).center(); }

    // "palette=<codes> strip=<codes>" as the program sees its strips now;
    // reads where the cells are now as well.
    std::string state()
    {
        m_cells.clear();
        m_lastLine.clear();
        m_process.write("state\n");
        return waitForLine(QStringLiteral("state ")) ? m_lastLine.mid(6).toStdString() : std::string();
    }

private:
    bool waitForLine(const QString& prefix)
    {
        return waitUntil([&] {
            while (m_process.canReadLine()) {
                m_lastLine = QString::fromUtf8(m_process.readLine()).trimmed();
                readCell(m_lastLine);
            }
            return m_lastLine.startsWith(prefix);
        });
    }

    void readCell(const QString& line)
    {
        const QStringList fields = line.split(u' ');
        if (fields.size() == 7 && fields[0] == QStringLiteral("cell"))
            m_cells[fields[1] + fields[2]] = QRect(fields[3].toInt(), fields[4].toInt(), fields[5].toInt(), fields[6].toInt());
    }

    QProcess m_process;
    // Cleared with every request, so an earlier answer never passes for the new one.
    QString m_lastLine;
    QMap<QString, QRect> m_cells;
    bool m_ready = false;
};

} // namespace

TEST(StripDrag, APaletteCellDroppedOnTheStripIsCopiedAtTheMarker)
{
    StripWindow window;
    ASSERT_TRUE(window.ready());
    // Grabbed near its left edge, the dragged image hangs to the right of
    // the pointer and leaves the marker at the left of the hovered cell in sight.
    const QRect source = window.cell(QStringLiteral("palette"), 1);
    const QRect target = window.cell(QStringLiteral("strip"), 1);
    ASSERT_TRUE(pressAndMove(QPoint(source.left() + 2, source.top() + 2), QPoint(target.center().x(), target.top() + 2)));

    // While the drag hovers, the marker stands at the left edge of the cell under the pointer.
    const int row = target.bottom() - 5;
    QImage screen;
    EXPECT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return screen.pixel(target.left(), row) == MarkerColor;
    })) << "no marker at the second cell";
    for (int x = target.left() - 40; x < target.left() + 40; ++x) {
        if (screen.pixel(x, row) == MarkerColor) {
            EXPECT_LE(qAbs(x - target.left()), 2) << x;
        }
    }

    ASSERT_TRUE(release());
    EXPECT_EQ(window.state(),
        QStringLiteral("palette=%1 strip=QRNNumericMenuBarCell:T,QRNStateMenuBarCell:T,QRNNumericMenuBarCell:B,"
                       "QRNNumericMenuBarCell:P")
            .arg(PaletteCodes)
            .toStdString());
    // The marker is gone with the drop.
    EXPECT_TRUE(waitUntil([&] { return grabScreen().pixel(target.left(), row) != MarkerColor; }));
}

TEST(StripDrag, AStripCellDroppedInsideTheStripMoves)
{
    StripWindow window;
    ASSERT_TRUE(window.ready());
    const QPoint last = window.centre(QStringLiteral("strip"), 2);
    ASSERT_TRUE(drag(window.centre(QStringLiteral("strip"), 0), last + QPoint(100, 0)));
    EXPECT_EQ(window.state(),
        QStringLiteral("palette=%1 strip=QRNNumericMenuBarCell:B,QRNNumericMenuBarCell:P,QRNNumericMenuBarCell:T")
            .arg(PaletteCodes)
            .toStdString());

    ASSERT_TRUE(drag(window.centre(QStringLiteral("strip"), 2), window.centre(QStringLiteral("strip"), 0)));
    EXPECT_EQ(window.state(),
        QStringLiteral("palette=%1 strip=QRNNumericMenuBarCell:T,QRNNumericMenuBarCell:B,QRNNumericMenuBarCell:P")
            .arg(PaletteCodes)
            .toStdString());
}

TEST(StripDrag, AStripCellDroppedOutsideIsRemoved)
{
    StripWindow window;
    ASSERT_TRUE(window.ready());
    ASSERT_TRUE(drag(window.centre(QStringLiteral("strip"), 1), Outside));
    EXPECT_EQ(window.state(),
        QStringLiteral("palette=%1 strip=QRNNumericMenuBarCell:T,QRNNumericMenuBarCell:P").arg(PaletteCodes).toStdString());

    // The palette refuses drops, so a strip cell dropped on it is removed too.
    ASSERT_TRUE(drag(window.centre(QStringLiteral("strip"), 0), window.centre(QStringLiteral("palette"), 0)));
    EXPECT_EQ(window.state(), QStringLiteral("palette=%1 strip=QRNNumericMenuBarCell:P").arg(PaletteCodes).toStdString());
}

TEST(StripDrag, APaletteCellDroppedOutsideLeavesBothUnchanged)
{
    StripWindow window;
    ASSERT_TRUE(window.ready());
    const std::string before = window.state();
    ASSERT_TRUE(drag(window.centre(QStringLiteral("palette"), 0), Outside));
    ASSERT_TRUE(drag(window.centre(QStringLiteral("palette"), 2), window.centre(QStringLiteral("palette"), 0)));
    EXPECT_EQ(window.state(), before);
    EXPECT_EQ(before,
        QStringLiteral("palette=%1 strip=QRNNumericMenuBarCell:T,QRNNumericMenuBarCell:B,QRNNumericMenuBarCell:P")
            .arg(PaletteCodes)
            .toStdString());
}
