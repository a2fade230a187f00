#include "VistrelProcess.h"

#include "XServer.h"
#include "platform/defaults/PropertyList.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

VistrelProcess::VistrelProcess(const QStringList& arguments, const QVariantMap& settings,
    const QProcessEnvironment& extra, Launcher launcher)
    : m_arguments(arguments)
    , m_launcher(std::move(launcher))
{
    if (!settings.isEmpty())
        writeSettings(settings);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VISTREL_LOG_LEVEL"), QStringLiteral("debug"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    environment.insert(QStringLiteral("XDG_STATE_HOME"), m_home.filePath(QStringLiteral("state")));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(extra);
    m_process.setProcessEnvironment(environment);
    start();
}

void VistrelProcess::start()
{
    if (!m_launcher) {
        m_process.start(QStringLiteral(VISTREL_EXECUTABLE), m_arguments);
        return;
    }
    QStringList command = m_launcher(m_home.path());
    command << QStringLiteral(VISTREL_EXECUTABLE) << m_arguments;
    m_process.start(command.takeFirst(), command);
}

VistrelProcess::~VistrelProcess()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

void VistrelProcess::writeSettings(const QVariantMap& settings)
{
    const QString folder = m_home.filePath(QStringLiteral("config/vistrel"));
    QDir().mkpath(folder);
    PropertyList::writeFile(folder + QStringLiteral("/com.zentrovo.vistrel.plist"), settings);
}

bool VistrelProcess::restart()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        return false;
    m_error.clear();
    start();
    return m_process.waitForStarted(5000);
}

QString VistrelProcess::errorOutput()
{
    m_error += QString::fromUtf8(m_process.readAllStandardError());
    return m_error;
}

bool VistrelProcess::waitForOutput(const QString& text, int timeoutMs)
{
    return waitUntil([&] { return errorOutput().contains(text); }, timeoutMs);
}

QString VistrelProcess::outputSince(const QString& text)
{
    const QString output = errorOutput();
    return output.mid(output.lastIndexOf(text));
}

QString VistrelProcess::settingsText() const
{
    QString text;
    QDirIterator files(m_home.filePath(QStringLiteral("config/vistrel")), {QStringLiteral("*.plist")}, QDir::Files,
        QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

QVariantMap VistrelProcess::settled(const QVariantMap& more)
{
    QVariantMap settings = more;
    settings.insert(QStringLiteral("PassedFirstStart"), 1280);
    return settings;
}

QVariantMap processorGraph(bool withMainMenu)
{
    return VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), !withMainMenu},
        {QStringLiteral("MemoryTopic-IsActive"), false},
        {QStringLiteral("ProcessorTopic-IsActive"), true},
        {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNGraphMenuBarCell:1N")}},
    });
}

QVariantMap threeTrayItems()
{
    QVariantMap settings = processorGraph(true);
    settings.insert(QStringLiteral("MemoryTopic-IsActive"), true);
    settings.insert(QStringLiteral("MemoryTopic-MenuBarConfiguration"),
        QVariantList{QStringLiteral("QRNNumericMenuBarCell:P"), QStringLiteral("QRNNumericMenuBarCell:B")});
    return settings;
}

bool isBlack(QRgb pixel)
{
    return qRed(pixel) < 8 && qGreen(pixel) < 8 && qBlue(pixel) < 8;
}

int inkIn(const QImage& image, const QRect& rect, QRgb background)
{
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += qAbs(qGray(image.pixel(x, y)) - qGray(background)) > 60;
    return ink;
}

int leftmostInk(const QImage& image, QRgb background)
{
    int x = 0;
    while (x < image.width() && inkIn(image, QRect(x, 2, 1, BarHeight - 4), background) == 0)
        ++x;
    return x;
}

int heightBelowBar(const QImage& image, int x)
{
    int y = BarHeight;
    while (y < image.height() && !isBlack(image.pixel(x, y)))
        ++y;
    return y - BarHeight;
}

QImage waitForBar()
{
    QImage screen;
    waitUntil([&] {
        screen = grabScreen();
        return !isBlack(screen.pixel(10, 10)) && isBlack(screen.pixel(10, BarHeight + 5));
    });
    return screen;
}

std::vector<double> loadPercentages(const QString& menu)
{
    static const QRegularExpression row(QStringLiteral("^(User|System|Nice|Idle):\\t *([0-9.]+)%$"),
        QRegularExpression::MultilineOption);
    std::vector<double> values;
    for (auto it = row.globalMatch(menu); it.hasNext();)
        values.push_back(it.next().captured(2).toDouble());
    return values;
}

QString openPreferencesFromMenu(VistrelProcess& vistrel, const QString& itemClass, int itemLeft)
{
    // "Preferences..." is the last row of an item's menu.
    const int itemRight = ScreenWidth - ItemSpacing;
    if (!click(QPoint((itemLeft + itemRight) / 2, BarHeight / 2)))
        return {};
    const QString opened = QStringLiteral("opened the menu of '%1' at ").arg(itemClass);
    if (!vistrel.waitForOutput(opened))
        return {};
    const int column = qMax(vistrel.outputSince(opened).mid(opened.size()).section(u',', 0, 0).toInt(), 0) + 20;
    if (!waitUntil([&] { return heightBelowBar(grabScreen(), column) > 40; }))
        return {};
    QThread::msleep(300);
    if (!click(QPoint(column, BarHeight + heightBelowBar(grabScreen(), column) - 12)))
        return {};
    if (!waitUntil([] { return windowShown(QStringLiteral("^Vistrel Configuration$")); }))
        return {};
    const QString shows = QStringLiteral("the page '");
    if (!vistrel.waitForOutput(shows))
        return {};
    return vistrel.outputSince(shows);
}
