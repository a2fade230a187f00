#include "configuration/WindowFrameAutosave.h"

#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
constexpr int SaveDelayMs = 500;
} // namespace

WindowFrameAutosave::WindowFrameAutosave(QWidget& window)
    : m_window(window)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &WindowFrameAutosave::saveFrame);
    m_window.installEventFilter(this);
}

QString WindowFrameAutosave::frameDefaultsKey()
{
    return QStringLiteral("WindowFrame %1").arg(QLatin1String(FrameAutosaveName));
}

std::optional<QRect> WindowFrameAutosave::storedFrame()
{
    const QVariant value = UserDefaults::standardUserDefaults().objectForKey(frameDefaultsKey());
    if (!PropertyList::isArray(value))
        return std::nullopt;
    const QVariantList numbers = value.toList();
    if (numbers.size() != 4)
        return std::nullopt;
    const QRect frame(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt());
    if (frame.width() <= 0 || frame.height() <= 0)
        return std::nullopt;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(frame))
            return frame;
    }
    return std::nullopt;
}

bool WindowFrameAutosave::restoreFrame()
{
    const auto frame = storedFrame();
    if (!frame)
        return false;
    m_window.resize(frame->size());
    m_window.move(frame->topLeft());
    return true;
}

void WindowFrameAutosave::saveFrame()
{
    m_saveTimer.stop();
    const QRect frame(m_window.pos(), m_window.size());
    UserDefaults::standardUserDefaults().setObject(frameDefaultsKey(),
        QVariantList{frame.x(), frame.y(), frame.width(), frame.height()});
}

bool WindowFrameAutosave::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::Hide)
            saveFrame();
        else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && m_window.isVisible())
            m_saveTimer.start();
    }
    return QObject::eventFilter(watched, event);
}
