#pragma once

#include "menubar/MenuBarColor.h"

#include <QWidget>

#include <optional>

// A plain area of one colour; without a colour it draws nothing.
class QRNSimpleColorView : public QWidget {
    Q_OBJECT
public:
    explicit QRNSimpleColorView(QWidget* parent = nullptr);

    const std::optional<MenuBarColor>& color() const { return m_color; }
    void setColor(const std::optional<MenuBarColor>& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<MenuBarColor> m_color;
};
