#pragma once

#include "platform/drawing/SystemColor.h"

#include <QWidget>

#include <optional>

// A plain area of one colour; without a colour it draws nothing.
class QRNSimpleColorView : public QWidget {
    Q_OBJECT
public:
    explicit QRNSimpleColorView(QWidget* parent = nullptr);

    const std::optional<SystemColor>& color() const { return m_color; }
    void setColor(const std::optional<SystemColor>& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<SystemColor> m_color;
};
