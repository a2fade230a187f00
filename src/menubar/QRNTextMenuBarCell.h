#pragma once

#include "menubar/ConcreteMenuBarCell.h"

#include <QFont>
#include <QTextOption>

// Text in the menu bar: one line ("N"), two small bold lines ("2"), or up to
// three characters stacked from top to bottom ("V"). The width follows the
// text unless a fixed width is set.
class QRNTextMenuBarCell : public ConcreteMenuBarCell<QRNTextMenuBarCell> {
public:
    static constexpr char ClassName[] = "QRNTextMenuBarCell";

    enum TextStyle { OneLine = 0, TwoLines = 1, Vertical = 2 };

    QRNTextMenuBarCell();

    static std::unique_ptr<QRNTextMenuBarCell> initWithDetailStringCode(const QString& detail);

    void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame) override;
    QString stringCode() const override;

    QString stringValue() const { return m_stringValue; }
    void setStringValue(const QString& value);
    QString secondaryStringValue() const { return m_secondaryStringValue; }
    void setSecondaryStringValue(const QString& value);
    int textStyle() const { return m_textStyle; }
    void setTextStyle(int style);
    double fixedWidth() const { return m_fixedWidth; }
    // 0 lets the width follow the text.
    void setFixedWidth(double width);
    // The paragraph options texts are measured and drawn with; they carry the tab stops.
    const QTextOption& outputStyle() const { return m_outputStyle; }
    void setOutputStyle(const QTextOption& style)
    {
        m_outputStyle = style;
        m_tabStopsLabelPattern.clear();
    }

    QFont font() const;
    void recomputeWidth();
    // Fixes the width to fit the text (an empty text changes nothing).
    void setFixedWidthBasedOnMaximumString(const QString& text);
    // Tab stops for "label\tnumber\tunit": the label and the number right-aligned
    // at the widths of their widest patterns, the unit after half a blank.
    void setTabStopsForLabelMaximumString(const QString& labelPattern, const QString& numberPattern);

private:
    // The point size of the font for the style, at the cell's height.
    double fontSize() const;

    QString m_stringValue;
    QString m_secondaryStringValue;
    int m_textStyle = OneLine;
    double m_fixedWidth = 0;
    QTextOption m_outputStyle;
    // What the tab stops were last computed for: items set them on every
    // refresh, and computing them copies the options.
    QString m_tabStopsLabelPattern;
    QString m_tabStopsNumberPattern;
    QFont m_tabStopsFont;
    // The two lines joined for drawing, kept so that joining reuses its storage.
    QString m_drawnText;
};
