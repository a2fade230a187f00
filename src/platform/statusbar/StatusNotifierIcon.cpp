#include "platform/statusbar/StatusNotifierIcon.h"

#include "platform/log/Log.h"

#include <QDir>
#include <QFile>

StatusNotifierIcon::StatusNotifierIcon(const QString& folder, const QString& baseName)
    : m_folder(folder)
    , m_baseName(baseName)
{
}

StatusNotifierIcon::~StatusNotifierIcon()
{
    for (int generation = 0; generation < 2; ++generation)
        QFile::remove(QDir(m_folder).filePath(QStringLiteral("%1-%2.png").arg(m_baseName).arg(generation)));
}

bool StatusNotifierIcon::update(const QImage& image)
{
    // One format for the comparison: the same picture may arrive premultiplied or not.
    const QImage normalized = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (normalized == m_image && normalized.devicePixelRatio() == m_image.devicePixelRatio())
        return false;
    m_image = normalized;
    m_pixmap = StatusNotifierPixmap::fromImage(m_image);

    m_generation = 1 - m_generation;
    const QString file = QDir(m_folder).filePath(QStringLiteral("%1-%2.png").arg(m_baseName).arg(m_generation));
    if (QDir().mkpath(m_folder) && m_image.save(file, "PNG")) {
        m_fileName = file;
    } else {
        Log::error("%{public}@: could not write the tray icon '%{public}@'.", {QStringLiteral("StatusNotifierIcon"), file});
        m_fileName.clear();
    }
    return true;
}

StatusNotifierPixmaps StatusNotifierIcon::pixmaps() const
{
    if (m_image.isNull())
        return {};
    return {m_pixmap};
}
