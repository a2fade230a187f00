#pragma once

#include <QObject>
#include <QRect>
#include <QTimer>

#include <optional>

class QWidget;

// Keeps the configuration window's frame between runs: saved in the standard
// settings under the window's autosave name whenever it moves, is resized or
// is hidden, and restored when the window is shown.
class WindowFrameAutosave : public QObject {
    Q_OBJECT
public:
    static constexpr char FrameAutosaveName[] = "ConfigurationWindow";

    explicit WindowFrameAutosave(QWidget& window);

    // The settings key of the frame.
    static QString frameDefaultsKey();
    // The stored frame when it is well formed and lies at least partly on a screen.
    static std::optional<QRect> storedFrame();
    // Places the window at its stored frame; false when there is none.
    bool restoreFrame();
    void saveFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    // Moving a window reports every step; the frame is written once it rests.
    QTimer m_saveTimer;
};
