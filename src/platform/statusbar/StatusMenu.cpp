#include "platform/statusbar/StatusMenu.h"

#include "platform/log/Log.h"
#include "platform/statusbar/MenuText.h"

#include <QGuiApplication>
#include <QKeyEvent>

StatusMenu::StatusMenu(QWidget* parent)
    : QMenu(parent)
{
}

void StatusMenu::addAlternate(QAction* primary, QAction* alternate, Qt::KeyboardModifier modifier)
{
    m_alternates.push_back({primary, alternate, modifier});
    alternate->setVisible(false);
}

void StatusMenu::showAlternatesFor(Qt::KeyboardModifiers modifiers)
{
    std::erase_if(m_alternates, [](const Alternate& a) { return !a.primary || !a.alternate; });
    bool changed = false;
    for (const Alternate& a : m_alternates) {
        const bool held = modifiers.testFlag(a.modifier);
        changed |= a.alternate->isVisible() != held;
        a.primary->setVisible(!held);
        a.alternate->setVisible(held);
    }
    if (changed && isVisible() && Log::threshold() == LogLevel::Debug)
        Log::debug("%{public}@: the open menu now reads:\n%@", {QStringLiteral("StatusMenu"), MenuText::of(*this)});
}

void StatusMenu::showEvent(QShowEvent* event)
{
    showAlternatesFor(QGuiApplication::queryKeyboardModifiers());
    QMenu::showEvent(event);
}

namespace {
// The state after the event: X11 reports the modifiers as they were before it.
Qt::KeyboardModifiers modifiersAfter(const QKeyEvent& event)
{
    Qt::KeyboardModifier own = Qt::NoModifier;
    switch (event.key()) {
    case Qt::Key_Alt: own = Qt::AltModifier; break;
    case Qt::Key_Control: own = Qt::ControlModifier; break;
    case Qt::Key_Shift: own = Qt::ShiftModifier; break;
    case Qt::Key_Meta: own = Qt::MetaModifier; break;
    default: return event.modifiers();
    }
    return event.type() == QEvent::KeyPress ? event.modifiers() | own : event.modifiers() & ~own;
}
} // namespace

void StatusMenu::keyPressEvent(QKeyEvent* event)
{
    showAlternatesFor(modifiersAfter(*event));
    QMenu::keyPressEvent(event);
}

void StatusMenu::keyReleaseEvent(QKeyEvent* event)
{
    showAlternatesFor(modifiersAfter(*event));
    QMenu::keyReleaseEvent(event);
}
