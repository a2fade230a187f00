#include "XServer.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int ScreenWidth = 1280;
constexpr int BarHeight = 22;
constexpr int Spacing = 6;

bool isBlack(QRgb pixel)
{
    return qRed(pixel) < 8 && qGreen(pixel) < 8 && qBlue(pixel) < 8;
}

// Pixels in the rectangle that stand out from the background colour.
int inkIn(const QImage& image, const QRect& rect, QRgb background)
{
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += qAbs(qGray(image.pixel(x, y)) - qGray(background)) > 60;
    return ink;
}

// Height of the non-black area that starts just under the bar in one column.
int heightBelowBar(const QImage& image, int x)
{
    int y = BarHeight;
    while (y < image.height() && !isBlack(image.pixel(x, y)))
        ++y;
    return y - BarHeight;
}

class Vistrel {
public:
    explicit Vistrel(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VISTREL_LOG_LEVEL"), QStringLiteral("debug"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(VISTREL_EXECUTABLE), arguments);
    }
    ~Vistrel()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    QString errorOutput()
    {
        m_error += QString::fromUtf8(m_process.readAllStandardError());
        return m_error;
    }
    QProcess& process() { return m_process; }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QString m_error;
};

void saveForInspection(const QImage& image, const QString& name)
{
    image.save(QDir::current().filePath(name));
}

TEST(OwnBar, ShowsThePlaceholderAndOpensItsMenuOnAClick)
{
    Vistrel vistrel({QStringLiteral("--status-bar=bar")});
    QImage screen;
    // The bar spans the top of the screen over Xvfb's black root window.
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return !isBlack(screen.pixel(10, 10)) && isBlack(screen.pixel(10, BarHeight + 5));
    })) << qPrintable(vistrel.errorOutput());
    ASSERT_EQ(screen.width(), ScreenWidth);
    saveForInspection(screen, QStringLiteral("own-bar-placeholder.png"));

    // The placeholder glyph is the only thing in the bar: a square button at the right end.
    const QRgb background = screen.pixel(10, 10);
    const QRect placeholder(ScreenWidth - Spacing - BarHeight, 0, BarHeight, BarHeight);
    EXPECT_GT(inkIn(screen, placeholder, background), 15);
    EXPECT_EQ(inkIn(screen, QRect(0, 0, placeholder.left() - 1, BarHeight), background), 0);

    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(placeholder.center().x()),
        QString::number(placeholder.center().y()), QStringLiteral("click"), QStringLiteral("1")}));
    const int column = ScreenWidth - 12;
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return heightBelowBar(screen, column) > 20;
    })) << qPrintable(vistrel.errorOutput());
    saveForInspection(screen, QStringLiteral("own-bar-placeholder-menu.png"));

    // Two text rows and a separator: taller than one row, shorter than four.
    const int menuHeight = heightBelowBar(screen, column);
    EXPECT_GT(menuHeight, 40);
    EXPECT_LT(menuHeight, 110);
    // The highlighted button now stands out from the bar.
    EXPECT_NE(screen.pixel(placeholder.left() + 1, 1), background);
    ASSERT_TRUE(waitUntil([&] { return vistrel.errorOutput().contains(QStringLiteral("opened the menu")); }));
    EXPECT_TRUE(vistrel.errorOutput().contains(
        QStringLiteral("Vistrel (no monitor items active) (disabled)\n-----\nPreferences...\n")))
        << qPrintable(vistrel.errorOutput());

    // Choosing the last row opens the configuration window.
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(column),
        QString::number(BarHeight + menuHeight - 14), QStringLiteral("click"), QStringLiteral("1")}));
    EXPECT_TRUE(waitUntil([] {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            QStringLiteral("^Vistrel Configuration$")});
    }));
}

TEST(OwnBar, IsADockWindowThatReservesItsHeight)
{
    Vistrel vistrel({QStringLiteral("--status-bar=bar")});
    QProcess xprop;
    ASSERT_TRUE(waitUntil([&] {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("^Vistrel$")});
    }));
    QProcess search;
    search.start(QStringLiteral(XDOTOOL_EXECUTABLE), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
        QStringLiteral("--name"), QStringLiteral("^Vistrel$")});
    ASSERT_TRUE(search.waitForFinished());
    const QString window = QString::fromLatin1(search.readAllStandardOutput()).split(u'\n').first();
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_WINDOW_TYPE"),
        QStringLiteral("_NET_WM_STRUT_PARTIAL")});
    ASSERT_TRUE(xprop.waitForFinished());
    const QString properties = QString::fromLatin1(xprop.readAllStandardOutput());
    EXPECT_TRUE(properties.contains(QStringLiteral("_NET_WM_WINDOW_TYPE_DOCK"))) << qPrintable(properties);
    EXPECT_TRUE(properties.contains(QStringLiteral("_NET_WM_STRUT_PARTIAL(CARDINAL) = 0, 0, 22, 0, 0, 0, 0, 0, 0, 1279, 0, 0")))
        << qPrintable(properties);
}

TEST(Executable, SnapshotWritesThePlaceholdersImageAndMenu)
{
    QTemporaryDir dir;
    QProcess vistrel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    vistrel.setProcessEnvironment(environment);
    vistrel.start(QStringLiteral(VISTREL_EXECUTABLE),
        {QStringLiteral("--snapshot"), dir.filePath(QStringLiteral("out")), QStringLiteral("--ticks"), QStringLiteral("1")});
    ASSERT_TRUE(vistrel.waitForFinished(30000));
    ASSERT_EQ(vistrel.exitCode(), 0) << vistrel.readAllStandardError().constData();

    const QImage image(dir.filePath(QStringLiteral("out/01-item.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.height(), BarHeight);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(ink, 15);
    QFile menu(dir.filePath(QStringLiteral("out/01-item.menu.txt")));
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    EXPECT_EQ(menu.readAll(), QByteArray("Vistrel (no monitor items active) (disabled)\n-----\nPreferences...\n"));
}

TEST(Executable, RejectsBadOptionsWithExitCodeTwo)
{
    QProcess vistrel;
    vistrel.start(QStringLiteral(VISTREL_EXECUTABLE), {QStringLiteral("--status-bar=sideways")});
    ASSERT_TRUE(vistrel.waitForFinished(10000));
    EXPECT_EQ(vistrel.exitCode(), 2);
    EXPECT_TRUE(vistrel.readAllStandardError().contains("unknown status bar 'sideways'"));
}

} // namespace
