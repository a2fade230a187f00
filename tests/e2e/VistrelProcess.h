#pragma once

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariantMap>

#include <functional>
#include <vector>

// The real vistrel program with its own settings folder, logging at debug
// level so a test can read what its menus show.
class VistrelProcess {
public:
    // Settings are written to the settings file before the start; the
    // environment adds to (or overrides) the test's own.
    // The launcher, given the home folder, answers a command that runs the
    // program (another user's, say); none runs it directly.
    using Launcher = std::function<QStringList(const QString& home)>;
    explicit VistrelProcess(const QStringList& arguments, const QVariantMap& settings = {},
        const QProcessEnvironment& environment = {}, Launcher launcher = {});
    ~VistrelProcess();

    QString errorOutput();
    bool waitForOutput(const QString& text, int timeoutMs = 10000);
    // The log from the last occurrence of the text on.
    QString outputSince(const QString& text);
    QProcess& process() { return m_process; }
    // Its home: the settings under config/vistrel, the runtime folder itself.
    QString home() const { return m_home.path(); }
    // Replaces the settings file, as another program would.
    void writeSettings(const QVariantMap& settings);
    bool restart();
    // Every settings file the program wrote, concatenated.
    QString settingsText() const;

    // Settings for a machine that already passed its first start.
    static QVariantMap settled(const QVariantMap& more = {});

private:
    void start();

    QTemporaryDir m_home;
    QStringList m_arguments;
    Launcher m_launcher;
    QProcess m_process;
    QString m_error;
};

constexpr int ScreenWidth = 1280;
constexpr int BarHeight = 22;
constexpr int ItemSpacing = 6;

// Only the processor item, drawn as a history graph.
QVariantMap processorGraph(bool withMainMenu = false);
// The processor graph, the memory pie and bar, and the main-menu item.
QVariantMap threeTrayItems();
bool isBlack(QRgb pixel);
// Pixels in the rectangle that stand out from the background colour.
int inkIn(const QImage& image, const QRect& rect, QRgb background);
// The first column of the bar with ink, or the image's width.
int leftmostInk(const QImage& image, QRgb background);
// Height of the non-black area that starts just under the bar in one column.
int heightBelowBar(const QImage& image, int x);
// Waits for the bar to cover the top of the screen and returns the screenshot.
QImage waitForBar();
// The percentages of the User/System/Nice/Idle rows of a logged menu.
std::vector<double> loadPercentages(const QString& menu);
// Opens the configuration window through "Preferences..." of the item that
// ends at the bar's right edge and starts at itemLeft, and answers what the
// program logged of the page it shows; empty when the window did not open.
QString openPreferencesFromMenu(VistrelProcess& vistrel, const QString& itemClass, int itemLeft);
