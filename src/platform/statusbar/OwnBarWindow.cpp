#include "platform/statusbar/OwnBarWindow.h"

#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusBarLayout.h"
#include "platform/statusbar/WaylandLayerShell.h"
#include "platform/statusbar/X11ImageUpload.h"
#include "platform/log/Log.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    auto cookie = xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

} // namespace

OwnBarWindow::OwnBarWindow(StatusBar& bar)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_bar(bar)
    , m_layerShell(WaylandLayerShell::instance())
{
    setObjectName(QStringLiteral("vistrelBar"));
    setWindowTitle(QStringLiteral("Vistrel"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // On Wayland the window gets no shell of Qt's: it becomes a layer-shell panel.
    if (m_layerShell)
        setWindowFlag(Qt::BypassWindowManagerHint);
    placeOnScreen();
    // Qt sets the window type when the native window is created; ours must
    // replace it before the window is mapped.
    winId();
    if (m_layerShell) {
        m_layerShell->attachBar(windowHandle(), height(), [this](QSize size) {
            if (size.width() > 0 && size.width() != width()) {
                resize(size.width(), height());
                relayout();
            }
        });
    } else {
        markAsDock();
        m_upload = X11ImageUpload::forWindow(xcb_window_t(winId()));
        windowHandle()->installEventFilter(this);
    }
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { m_devicePixelRatio.reset(); });
    connect(&bar, &StatusBar::itemsChanged, this, &OwnBarWindow::relayout);
}

OwnBarWindow::~OwnBarWindow()
{
    if (m_layerShell)
        m_layerShell->detachBar(windowHandle());
}

void OwnBarWindow::placeOnScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->geometry() : QRect(0, 0, 1280, 800);
    setGeometry(available.left(), available.top(), available.width(), int(StatusBar::Thickness));
}

void OwnBarWindow::markAsDock()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform answers as X11 too, without a connection.
    if (!x11 || !x11->connection()) {
        Log::error("%{public}@: neither an X11 display nor a Wayland layer shell; the bar is an ordinary window.",
            {QStringLiteral("OwnBarWindow")});
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const auto window = xcb_window_t(winId());

    const xcb_atom_t type = internAtom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dock = internAtom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, type, XCB_ATOM_ATOM, 32, 1, &dock);

    // Reserve the bar's height along the top edge; in device pixels, as X counts.
    const qreal ratio = devicePixelRatioF();
    const auto height = uint32_t(std::lround(this->height() * ratio));
    const auto left = uint32_t(std::lround(x() * ratio));
    const auto right = uint32_t(std::lround((x() + width()) * ratio)) - 1;
    const std::array<uint32_t, 12> partial = {0, 0, height, 0, 0, 0, 0, 0, left, right, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, internAtom(connection, "_NET_WM_STRUT_PARTIAL"),
        XCB_ATOM_CARDINAL, 32, uint32_t(partial.size()), partial.data());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, internAtom(connection, "_NET_WM_STRUT"),
        XCB_ATOM_CARDINAL, 32, 4, partial.data());

    // On every desktop.
    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, internAtom(connection, "_NET_WM_DESKTOP"),
        XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(connection);
}

void OwnBarWindow::relayout()
{
    m_frames = StatusBarLayout::frames(m_bar.statusItems(), rect());
    update();
}

QRect OwnBarWindow::frameOf(const StatusItem& item) const
{
    const auto& items = m_bar.statusItems();
    const auto it = std::find(items.begin(), items.end(), &item);
    const auto index = size_t(it - items.begin());
    if (it == items.end() || index >= m_frames.size())
        return {};
    return m_frames[index];
}

StatusItem* OwnBarWindow::itemAt(const QPoint& position) const
{
    const auto& items = m_bar.statusItems();
    for (size_t i = 0; i < items.size() && i < m_frames.size(); ++i) {
        if (m_frames[i].contains(position))
            return items[i];
    }
    return nullptr;
}

void OwnBarWindow::repaintChangedItem()
{
    auto* item = qobject_cast<StatusItem*>(sender());
    if (!item)
        return;
    // Only the pixels that changed are drawn and sent to the X server; a
    // picture like the last one sends nothing.
    const QRectF changed = item->changedArea();
    const QRect frame = frameOf(*item);
    if (changed.isEmpty() || frame.isEmpty())
        return;
    const QRect area = changed.translated(frame.topLeft()).toAlignedRect() & frame;
    if (!uploadDirectly(area))
        update(area);
}

bool OwnBarWindow::uploadDirectly(const QRect& area)
{
    const qreal ratio = keptDevicePixelRatio();
    if (!m_upload || !isVisible() || !windowHandle()->isExposed() || ratio != std::round(ratio))
        return false;
    const QSize pixels = area.size() * ratio;
    if (m_uploadPixels.size() != pixels) {
        m_uploadPixels = QImage(pixels, m_upload->format());
        if (m_uploadPixels.isNull())
            return false;
    }
    m_uploadPixels.setDevicePixelRatio(ratio);
    if (!paintAreaPixels(area)) {
        QPainter painter(&m_uploadPixels);
        paintArea(painter, area, area.topLeft());
    }
    if (!m_upload->put(m_uploadPixels, area.topLeft() * ratio))
        return false;
    m_staleInBackingStore += area;
    return true;
}

qreal OwnBarWindow::keptDevicePixelRatio()
{
    if (!m_devicePixelRatio)
        m_devicePixelRatio = devicePixelRatioF();
    return *m_devicePixelRatio;
}

const QPalette& OwnBarWindow::keptPalette()
{
    if (!m_palette)
        m_palette = palette();
    return *m_palette;
}

bool OwnBarWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ScreenChangeInternal:
    case QEvent::Show:
    case QEvent::Hide:
        m_devicePixelRatio.reset();
        m_palette.reset();
        break;
    // What the palette and its current colour group follow.
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        m_palette.reset();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool OwnBarWindow::eventFilter(QObject* watched, QEvent* event)
{
    // An expose with nothing to repaint flushes the backing store as it is.
    if (event->type() == QEvent::Expose && !m_staleInBackingStore.isEmpty())
        update(m_staleInBackingStore);
    return QWidget::eventFilter(watched, event);
}

void OwnBarWindow::paintEvent(QPaintEvent* event)
{
    m_staleInBackingStore -= event->region();
    QPainter painter(this);
    paintArea(painter, event->rect(), QPoint());
}

bool OwnBarWindow::paintAreaPixels(const QRect& area)
{
    const qreal ratio = m_uploadPixels.devicePixelRatio();
    m_uploadPixels.fill(keptPalette().color(QPalette::Window).rgb());
    const auto& items = m_bar.statusItems();
    for (size_t i = 0; i < items.size() && i < m_frames.size(); ++i) {
        if (m_frames[i].isEmpty() || !m_frames[i].intersects(area))
            continue;
        if (!items[i]->paintButtonPixels(m_uploadPixels, (m_frames[i].topLeft() - area.topLeft()) * ratio))
            return false;
    }
    return true;
}

void OwnBarWindow::paintArea(QPainter& painter, const QRect& area, const QPoint& origin)
{
    const QPalette& palette = keptPalette();
    painter.fillRect(area.translated(-origin), palette.color(QPalette::Window));
    const auto& items = m_bar.statusItems();
    for (size_t i = 0; i < items.size() && i < m_frames.size(); ++i) {
        if (m_frames[i].isEmpty() || !m_frames[i].intersects(area))
            continue;
        // Straight onto the bar; the painter keeps to the region that changed.
        const QPoint corner = m_frames[i].topLeft() - origin;
        painter.setTransform(QTransform::fromTranslate(corner.x(), corner.y()));
        items[i]->paintButton(painter, palette);
    }
}

void OwnBarWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    StatusItem* item = itemAt(event->position().toPoint());
    if (!item)
        return;
    // Ctrl-dragging an item out of the bar removes it, as Command-dragging does elsewhere.
    if (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ControlModifier)) {
        if (item->isRemovalAllowed())
            m_dragged = item;
        return;
    }
    item->popUpMenu();
}

void OwnBarWindow::mouseReleaseEvent(QMouseEvent* event)
{
    QPointer<StatusItem> item = m_dragged;
    m_dragged = nullptr;
    // Dropped well away from the bar: the user wants it gone.
    if (item && event->position().y() > height() * 2)
        item->setVisible(false);
}
