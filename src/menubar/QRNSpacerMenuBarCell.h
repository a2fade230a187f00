#pragma once

#include "menubar/QRNMenuBarCell.h"

// An empty gap as wide as an "M"; the layout editor can show its frame.
class QRNSpacerMenuBarCell : public QRNMenuBarCell {
public:
    static constexpr char ClassName[] = "QRNSpacerMenuBarCell";

    QRNSpacerMenuBarCell();

    // Any detail is accepted.
    static std::unique_ptr<QRNSpacerMenuBarCell> initWithDetailStringCode(const QString& detail);

    std::unique_ptr<QRNMenuBarCell> copy() const override;
    QString className() const override;
    void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame) override;
    QString stringCode() const override;

    bool isShowingLayoutFrame() const { return m_isShowingLayoutFrame; }
    void setIsShowingLayoutFrame(bool showing) { m_isShowingLayoutFrame = showing; }

private:
    bool m_isShowingLayoutFrame = false;
};
