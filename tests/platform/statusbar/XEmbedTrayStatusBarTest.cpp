#include "platform/statusbar/XEmbedTrayStatusBar.h"

#include "platform/log/LogCapture.h"
#include "platform/statusbar/XEmbedTrayIcon.h"

#include <QCoreApplication>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Stands in for the window Qt docks a tray icon in: same name, 22 pixels square, wheels handed on to its icon.
class DockedWindow : public QWidget {
public:
    explicit DockedWindow(QObject* icon) : m_icon(icon)
    {
        setObjectName(XEmbedTrayStatusBar::TrayWindowName);
        resize(22, 22);
    }

protected:
    bool event(QEvent* event) override
    {
        return event->type() == QEvent::Wheel ? QCoreApplication::sendEvent(m_icon, event) : QWidget::event(event);
    }

private:
    QObject* m_icon;
};

struct WheelCounter : QObject {
    int wheels = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        wheels += event->type() == QEvent::Wheel;
        return false;
    }
};

// A button whose left and right halves differ, so cropping and scaling show.
QImage halves(int width)
{
    QImage image(width, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    QPainter(&image).fillRect(width / 2, 0, width - width / 2, 22, Qt::blue);
    return image;
}

QImage iconImage(XEmbedTrayIcon& icon)
{
    const QIcon shown = icon.trayIcon().icon();
    const QList<QSize> sizes = shown.availableSizes();
    return sizes.isEmpty() ? QImage() : shown.pixmap(sizes.first()).toImage();
}

} // namespace

TEST(XEmbedTrayStatusBar, WidensTheDockedWindowOfEachItemToItsButton)
{
    XEmbedTrayStatusBar bar;
    auto graph = bar.statusItemWithLength(StatusItem::VariableLength);
    graph->setImage(halves(66));
    auto square = bar.statusItemWithLength(StatusItem::SquareLength);
    square->setTitle(QStringLiteral("X"));
    XEmbedTrayIcon* graphIcon = bar.iconOf(*graph);
    XEmbedTrayIcon* squareIcon = bar.iconOf(*square);
    ASSERT_TRUE(graphIcon && squareIcon);
    EXPECT_TRUE(graphIcon->trayIcon().isVisible());

    // Windows may appear in any order; each goes to the icon it serves.
    DockedWindow squareWindow(&squareIcon->trayIcon());
    DockedWindow graphWindow(&graphIcon->trayIcon());
    squareWindow.show();
    graphWindow.show();
    EXPECT_EQ(graphIcon->window(), &graphWindow);
    EXPECT_EQ(squareIcon->window(), &squareWindow);
    EXPECT_EQ(graphWindow.minimumWidth(), 66);
    EXPECT_EQ(graphWindow.width(), 66);
    EXPECT_EQ(squareWindow.width(), 22);

    // The icon is the window's size, so nothing is scaled: both halves keep their 33 columns.
    QImage shown = iconImage(*graphIcon);
    ASSERT_EQ(shown.size(), QSize(66, 22));
    EXPECT_EQ(shown.pixelColor(32, 11), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(33, 11), QColor(Qt::blue));

    // A tray lower than the bar: the button stays unscaled and centred, its outer rows cut.
    graphWindow.resize(66, 18);
    shown = iconImage(*graphIcon);
    ASSERT_EQ(shown.size(), QSize(66, 18));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(33, 17), QColor(Qt::blue));

    // A narrower button narrows the window again.
    graph->setImage(halves(40));
    EXPECT_EQ(graphWindow.minimumWidth(), 40);
    EXPECT_EQ(graphWindow.width(), 40);
    EXPECT_EQ(iconImage(*graphIcon).pixelColor(20, 9), QColor(Qt::blue));
}

TEST(XEmbedTrayStatusBar, AWindowOfNoItemIsLeftAloneAndReported)
{
    XEmbedTrayStatusBar bar;
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setImage(halves(50));
    QSystemTrayIcon stranger;
    LogCapture log;
    DockedWindow window(&stranger);
    window.show();
    EXPECT_EQ(window.width(), 22);
    EXPECT_EQ(bar.iconOf(*item)->window(), nullptr);
    EXPECT_EQ(log.messages(LogLevel::Error).size(), 1);

    // A wheel turned over a docked window still reaches its icon.
    DockedWindow own(&bar.iconOf(*item)->trayIcon());
    own.show();
    WheelCounter counter;
    bar.iconOf(*item)->trayIcon().installEventFilter(&counter);
    QWheelEvent wheel(QPointF(), QPointF(), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
        false);
    QCoreApplication::sendEvent(&own, &wheel);
    EXPECT_EQ(counter.wheels, 1);
}
