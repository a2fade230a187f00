#pragma once

#include <QImage>
#include <QProcess>
#include <QRgb>
#include <QTemporaryDir>
#include <QVariantMap>

// The real vistrel program with its own settings folder, logging at debug
// level so a test can read what its menus show.
class VistrelProcess {
public:
    // Settings are written to the standard settings file before the start;
    // the environment adds to (or overrides) the test's own.
    explicit VistrelProcess(const QStringList& arguments, const QVariantMap& settings = {},
        const QProcessEnvironment& environment = {});
    ~VistrelProcess();

    QString errorOutput();
    // Waits until the program's stderr holds the text.
    bool waitForOutput(const QString& text, int timeoutMs = 10000);
    QProcess& process() { return m_process; }
    // Replaces the standard settings file, as another program would.
    void writeSettings(const QVariantMap& settings);
    // Quits and starts again with the same settings folder.
    bool restart();
    // Every settings file the program wrote, concatenated.
    QString settingsText() const;

    // Settings for a machine that already passed its first start.
    static QVariantMap settled(const QVariantMap& more = {});

private:
    QTemporaryDir m_home;
    QStringList m_arguments;
    QProcess m_process;
    QString m_error;
};

constexpr int ScreenWidth = 1280;
constexpr int BarHeight = 22;
constexpr int ItemSpacing = 6;

bool isBlack(QRgb pixel);
// Pixels in the rectangle that stand out from the background colour.
int inkIn(const QImage& image, const QRect& rect, QRgb background);
// Height of the non-black area that starts just under the bar in one column.
int heightBelowBar(const QImage& image, int x);
// Waits for the bar to cover the top of the screen and returns the screenshot.
QImage waitForBar();
bool click(const QPoint& point);
