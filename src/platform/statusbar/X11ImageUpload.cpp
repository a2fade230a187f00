#include "platform/statusbar/X11ImageUpload.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>

#include <cstdlib>

std::unique_ptr<X11ImageUpload> X11ImageUpload::forWindow(xcb_window_t window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window)
        return nullptr;
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return nullptr;
    const quint8 depth = geometry->depth;
    std::free(geometry);
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || (depth != 24 && depth != 32))
        return nullptr;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == depth && formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32) {
            const QImage::Format format = depth == 24 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
            return std::unique_ptr<X11ImageUpload>(new X11ImageUpload(connection, window, depth, format));
        }
    }
    return nullptr;
}

X11ImageUpload::X11ImageUpload(xcb_connection_t* connection, xcb_window_t window, quint8 depth, QImage::Format format)
    : m_connection(connection)
    , m_window(window)
    , m_context(xcb_generate_id(connection))
    , m_depth(depth)
    , m_format(format)
{
    xcb_create_gc(m_connection, m_context, m_window, 0, nullptr);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        m_flushBeforeWaiting = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] {
            if (m_unsent)
                xcb_flush(m_connection);
            m_unsent = false;
        });
    }
}

X11ImageUpload::~X11ImageUpload()
{
    QObject::disconnect(m_flushBeforeWaiting);
    xcb_free_gc(m_connection, m_context);
    xcb_flush(m_connection);
}

bool X11ImageUpload::put(const QImage& image, const QPoint& pixel)
{
    // The request's header and the image; lengths count 4-byte units.
    const quint64 units = 6 + quint64(image.sizeInBytes()) / 4;
    if (image.format() != m_format || image.isNull() || image.bytesPerLine() != image.width() * 4
        || units > xcb_get_maximum_request_length(m_connection))
        return false;
    xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_context, quint16(image.width()),
        quint16(image.height()), qint16(pixel.x()), qint16(pixel.y()), 0, m_depth, quint32(image.sizeInBytes()),
        image.constBits());
    // Without a loop to wait on (a dispatcher-less caller), nothing would send it.
    if (m_flushBeforeWaiting)
        m_unsent = true;
    else
        xcb_flush(m_connection);
    return true;
}
