#pragma once

#include "menubar/AttributedString.h"
#include "menubar/MenuBarColor.h"
#include "menubar/TextCell.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <optional>

// A menu row with a label on the left and a value on the right, both inset by
// horizontalOffsets from the edges. Its accessible name is "<label>\t<value>",
// so the row reads right wherever it is shown as plain text.
class QRNTextPairView : public QWidget {
    Q_OBJECT
public:
    explicit QRNTextPairView(const QRect& frame, QWidget* parent = nullptr);

    void setFont(const QFont& font);

    void setLeftStringValue(const QString& string);
    void setRightStringValue(const QString& string);
    void setLeftStringValue(const QString& string, bool strikeThrough);
    void setRightStringValue(const QString& string, bool strikeThrough);

    void setLeftColor(const MenuBarColor& color);
    void setRightColor(const MenuBarColor& color);

    // The string struck through in the colour and font of the cell of that
    // side, aligned to that side; none for no string.
    std::optional<AttributedString> strikeThroughStringForString(const QString& string, bool leftSide) const;

    // The width at which both texts fit with 10 points between them.
    double optimumWidth() const;

    double horizontalOffsets() const { return m_horizontalOffsets; }
    void setHorizontalOffsets(double offsets) { m_horizontalOffsets = offsets; }

    const TextCell& leftTextCell() const { return m_leftTextCell; }
    void setLeftTextCell(const TextCell& cell);
    const TextCell& rightTextCell() const { return m_rightTextCell; }
    void setRightTextCell(const TextCell& cell);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setStringValue(TextCell& cell, const QString& string, bool strikeThrough, bool leftSide);
    void textDidChange();

    TextCell m_leftTextCell{Qt::AlignLeft};
    TextCell m_rightTextCell{Qt::AlignRight};
    double m_horizontalOffsets = 0.0;
};
