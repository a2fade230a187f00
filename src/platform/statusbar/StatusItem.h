#pragma once

#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QString>

#include <functional>

class StatusBar;

// One item in the status bar: a button showing an image and/or a title, an
// optional menu that opens under it, and the flags the bar honours. The item
// is owned by whoever asked the bar for it; the bar only lists it while it is
// linked. Destroying a linked item removes it from the bar.
class StatusItem : public QObject {
    Q_OBJECT
public:
    static constexpr double VariableLength = -1.0;
    static constexpr double SquareLength = -2.0;
    // Padding on each side of a title, in points.
    static constexpr double TitlePadding = 4.0;

    ~StatusItem() override;

    double length() const { return m_length; }
    void setLength(double length);

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    // Drawn at its logical size (pixels / device pixel ratio), centred.
    QImage image() const { return m_image; }
    void setImage(const QImage& image);
    // What the last change touched, in points of the button (width() ×
    // Thickness from its top left); empty after an image that changed no pixel.
    QRectF changedArea() const { return m_changedArea; }

    // The item in a square of side × side pixels, for tray hosts that show
    // only squares. Drawn by the source when one is set (asked only where a
    // back end publishes squares); else a square item's button, and null for
    // a wider one.
    using CompactImageSource = std::function<QImage(int side, const QPalette& palette)>;
    QImage compactImage(int side, const QPalette& palette) const;
    void setCompactImageSource(CompactImageSource source) { m_compactImageSource = std::move(source); }

    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);

    // A live tool tip is asked for only when a back end shows it, so items
    // that change every tick pay nothing where no tool tip is shown.
    QString toolTip() const { return m_toolTipSource ? m_toolTipSource() : m_toolTip; }
    void setToolTip(const QString& toolTip) { m_toolTip = toolTip; }
    void setToolTipSource(std::function<QString()> source) { m_toolTipSource = std::move(source); }

    // Not owned: the menu belongs to whoever attached it.
    QMenu* menu() const { return m_menu; }
    void setMenu(QMenu* menu);

    QString autosaveName() const { return m_autosaveName; }
    void setAutosaveName(const QString& name) { m_autosaveName = name; }

    bool isRemovalAllowed() const { return m_removalAllowed; }
    void setRemovalAllowed(bool allowed) { m_removalAllowed = allowed; }

    // False once the user has dragged the item out of the bar.
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // The bar the item is linked to, or null after removal.
    StatusBar* statusBar() const { return m_bar; }

    // Width of the button in points.
    double width() const;
    // Frame of the button in global screen coordinates (logical pixels);
    // empty when the item is not shown anywhere.
    QRect buttonFrameOnScreen() const;

    // Opens the attached menu under the button, as a click does.
    void popUpMenu();

    // The button as the bar draws it.
    QImage renderButton(qreal devicePixelRatio, const QPalette& palette) const;
    // Paints the button, width() × Thickness points, at the painter's origin.
    void paintButton(QPainter& painter, const QPalette& palette) const;
    // Paints the button as paintButton() does over an opaque background,
    // straight into an image at the image's ratio, its top left on the
    // device pixel; false, painting nothing, unless it is a plain image
    // (neither highlight nor title) on whole pixels at that ratio.
    bool paintButtonPixels(QImage& target, const QPoint& pixel) const;

Q_SIGNALS:
    void changed();
    void visibleChanged(bool visible);

private:
    friend class StatusBar;
    explicit StatusItem(StatusBar* bar, double length);
    // The button in its own points, and where the image's top left lies in it.
    QRectF buttonBounds() const;
    QPointF imageOrigin() const;

    StatusBar* m_bar;
    double m_length;
    QString m_title;
    QImage m_image;
    QRectF m_changedArea;
    CompactImageSource m_compactImageSource;
    bool m_highlighted = false;
    QString m_toolTip;
    std::function<QString()> m_toolTipSource;
    QPointer<QMenu> m_menu;
    QString m_autosaveName;
    bool m_removalAllowed = false;
    bool m_visible = true;
};
