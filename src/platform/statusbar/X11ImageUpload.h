#pragma once

#include <QImage>
#include <QMetaObject>
#include <QPoint>

#include <xcb/xcb.h>

#include <memory>

// Puts images straight onto an X11 window, one request each, on Qt's own
// connection. A widget's repaint goes through a posted event, the repaint
// manager, its backing store and a flush: for the small image of a changed
// status item that costs the process several times the upload itself.
class X11ImageUpload {
public:
    // None when the window is not an X11 window or its pixels are not laid
    // out as a 32-bit image's (depth 24 or 32 at 32 bits per pixel, least
    // significant byte first).
    static std::unique_ptr<X11ImageUpload> forWindow(xcb_window_t window);
    ~X11ImageUpload();
    X11ImageUpload(const X11ImageUpload&) = delete;
    X11ImageUpload& operator=(const X11ImageUpload&) = delete;

    // The format images are uploaded in: RGB32 for depth 24, premultiplied ARGB32 for 32.
    QImage::Format format() const { return m_format; }
    // Puts the image with its top left pixel on the window's device pixel;
    // false, with nothing sent, when the image is not in the format or larger
    // than one request may carry. The requests of one pass of the event loop
    // leave together, in one write, before the loop next waits.
    bool put(const QImage& image, const QPoint& pixel);

private:
    X11ImageUpload(xcb_connection_t* connection, xcb_window_t window, quint8 depth, QImage::Format format);

    xcb_connection_t* m_connection;
    xcb_window_t m_window;
    xcb_gcontext_t m_context;
    quint8 m_depth;
    QImage::Format m_format;
    bool m_unsent = false;
    QMetaObject::Connection m_flushBeforeWaiting;
};
