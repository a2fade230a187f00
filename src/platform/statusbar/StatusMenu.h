#pragma once

#include <QMenu>
#include <QPointer>

#include <vector>

// The menu of a status item. Besides plain rows it carries alternates: a row
// that takes the place of another while a modifier key is held (Alt on Linux,
// where other desktops use Option), switching live while the menu is open.
class StatusMenu : public QMenu {
    Q_OBJECT
public:
    explicit StatusMenu(QWidget* parent = nullptr);

    void addAlternate(QAction* primary, QAction* alternate, Qt::KeyboardModifier modifier = Qt::AltModifier);
    // Shows the primary or the alternate rows for the given modifier state.
    void showAlternatesFor(Qt::KeyboardModifiers modifiers);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // Clearing the menu deletes its actions: such pairs are dropped.
    struct Alternate {
        QPointer<QAction> primary;
        QPointer<QAction> alternate;
        Qt::KeyboardModifier modifier;
    };
    std::vector<Alternate> m_alternates;
};
