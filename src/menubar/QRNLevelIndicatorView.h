#pragma once

#include "menubar/MenuBarColor.h"

#include <QWidget>

// A continuous level bar in a menu row, inset from both edges and widening
// with the menu. The bar turns to the warning colour below the warning value
// and to the critical colour below the critical value (levels of what is
// left, such as free space). Its accessible name gives the level as a
// percentage and the band, so the row also reads right as text.
class QRNLevelIndicatorView : public QWidget {
    Q_OBJECT
public:
    // Holder 50 x 17 points with the bar 10 points wide at x = 20.
    static constexpr int HolderWidth = 50;
    static constexpr int Height = 17;
    static constexpr int Inset = 20;

    explicit QRNLevelIndicatorView(QWidget* parent = nullptr);

    double doubleValue() const { return m_value; }
    // Kept within minimum and maximum.
    void setDoubleValue(double value);
    void setMinValue(double value) { setLimit(m_minimum, value); }
    void setMaxValue(double value) { setLimit(m_maximum, value); }
    void setWarningValue(double value) { setLimit(m_warning, value); }
    void setCriticalValue(double value) { setLimit(m_critical, value); }

    enum class Band { Normal, Warning, Critical };
    Band band() const;
    // Green, the warning yellow or the critical red of the band.
    MenuBarColor fillColor() const;
    // The rectangle of the bar within the view.
    QRect barRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setLimit(double& limit, double value);
    void describe();

    double m_value = 0.0;
    double m_minimum = 0.0;
    double m_maximum = 1.0;
    double m_warning = 0.0;
    double m_critical = 0.0;
};
