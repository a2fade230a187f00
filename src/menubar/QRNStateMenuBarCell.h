#pragma once

#include "menubar/ConcreteMenuBarCell.h"

// An activity lamp: idle, activity of the first kind (read, receive), of the
// second kind (write, send), sleeping or unavailable, in monochrome ("B") or
// colour ("T"), as lamps or as direction arcs. As wide as it is high.
class QRNStateMenuBarCell : public ConcreteMenuBarCell<QRNStateMenuBarCell> {
public:
    static constexpr char ClassName[] = "QRNStateMenuBarCell";

    enum DisplayStyle { Monochrome = 0, Coloured = 1 };

    QRNStateMenuBarCell();

    static std::unique_ptr<QRNStateMenuBarCell> initWithDetailStringCode(const QString& detail);

    void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame) override;
    QString stringCode() const override;
    double width() const override { return height(); }

    // 0 idle, 1 first kind, 2 second kind, 3 sleeping, 4 unavailable.
    int activityState() const { return m_activityState; }
    void setActivityState(int state) { m_activityState = state; }
    int displayStyle() const { return m_displayStyle; }
    void setDisplayStyle(int style) { m_displayStyle = style; }
    bool usesUpDownStyle() const { return m_usesUpDownStyle; }
    void setUsesUpDownStyle(bool upDown) { m_usesUpDownStyle = upDown; }

private:
    void drawMonochrome(MenuBarDrawing& drawing, const QRectF& frame);
    void drawColoured(MenuBarDrawing& drawing, const QRectF& frame);

    int m_activityState = 0;
    int m_displayStyle = Monochrome;
    bool m_usesUpDownStyle = false;
};
