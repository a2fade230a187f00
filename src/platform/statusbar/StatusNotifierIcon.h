#pragma once

#include "platform/statusbar/StatusNotifierTypes.h"

#include <QImage>
#include <QString>

// The icon of one tray item in the two forms hosts read: the pixels at their
// true size (IconPixmap) and a PNG file of the same image (IconName as an
// absolute path). The file name alternates between two so that a host that
// caches by name loads the new picture.
class StatusNotifierIcon {
public:
    // Files are written into the folder as <baseName>-0.png and -1.png.
    StatusNotifierIcon(const QString& folder, const QString& baseName);
    ~StatusNotifierIcon();

    // Takes a new rendering; false, and nothing written, when its pixels are
    // those of the current one.
    bool update(const QImage& image);

    const QImage& image() const { return m_image; }
    StatusNotifierPixmaps pixmaps() const;
    // The current PNG, or empty when none could be written.
    QString fileName() const { return m_fileName; }

private:
    QString m_folder;
    QString m_baseName;
    QImage m_image;
    StatusNotifierPixmap m_pixmap;
    QString m_fileName;
    int m_generation = 0;
};
