#pragma once

#include "menubar/ConcreteMenuBarCell.h"

// An empty gap as wide as an "M"; the layout editor can show its frame.
class QRNSpacerMenuBarCell : public ConcreteMenuBarCell<QRNSpacerMenuBarCell> {
public:
    static constexpr char ClassName[] = "QRNSpacerMenuBarCell";

    QRNSpacerMenuBarCell();

    // Any detail is accepted.
    static std::unique_ptr<QRNSpacerMenuBarCell> initWithDetailStringCode(const QString& detail);

    void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame) override;
    QString stringCode() const override;
    QImage compactImage(int, const QPalette&) override { return {}; }

    bool isShowingLayoutFrame() const { return m_isShowingLayoutFrame; }
    void setIsShowingLayoutFrame(bool showing) { m_isShowingLayoutFrame = showing; }

private:
    bool m_isShowingLayoutFrame = false;
};
