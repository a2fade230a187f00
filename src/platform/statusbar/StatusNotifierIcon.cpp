#include "platform/statusbar/StatusNotifierIcon.h"

#include "platform/log/Log.h"
#include "platform/statusbar/StoredPng.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

StatusNotifierIcon::StatusNotifierIcon(const QString& folder, const QString& baseName)
    : m_folder(folder)
    , m_baseName(baseName)
{
}

StatusNotifierIcon::~StatusNotifierIcon()
{
    for (int generation = 0; generation < 2; ++generation) {
        QFile::remove(wideFile(generation));
        for (int side : SquareSides)
            QFile::remove(squareFile(generation, side));
    }
}

QString StatusNotifierIcon::nameOf(int generation) const
{
    return QStringLiteral("%1-%2").arg(m_baseName).arg(generation);
}

QString StatusNotifierIcon::wideFile(int generation) const
{
    return QDir(m_folder).filePath(nameOf(generation) + QStringLiteral("-panel.png"));
}

QString StatusNotifierIcon::squareFile(int generation, int side) const
{
    return QDir(m_folder).filePath(QStringLiteral("hicolor/%1x%1/vistrel/%2.png").arg(side).arg(nameOf(generation)));
}

bool StatusNotifierIcon::update(const Renderings& renderings)
{
    // One format for the comparison: the same picture may arrive premultiplied or not.
    const auto normalized = [](const QImage& picture) { return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
    QList<QImage> squares;
    for (const QImage& square : renderings.squares)
        squares.append(normalized(square));
    const QImage image = normalized(renderings.image);
    if (image == m_image && image.devicePixelRatio() == m_image.devicePixelRatio() && squares == m_squares)
        return false;
    m_image = image;
    m_squares = std::move(squares);
    m_pixmaps.clear();
    for (const QImage& square : std::as_const(m_squares))
        m_pixmaps.append(StatusNotifierPixmap::fromImage(square));
    m_pixmaps.append(StatusNotifierPixmap::fromImage(m_image));

    m_generation = 1 - m_generation;
    m_iconName = write() ? nameOf(m_generation) : QString();
    return true;
}

bool StatusNotifierIcon::write()
{
    // The squares of the other generation go, so that no stale size is found.
    for (int side : SquareSides)
        QFile::remove(squareFile(m_generation, side));
    std::vector<std::pair<QString, const QImage*>> files = {{wideFile(m_generation), &m_image}};
    for (const QImage& square : std::as_const(m_squares))
        files.emplace_back(squareFile(m_generation, square.width()), &square);
    for (const auto& [file, image] : files) {
        const QByteArray png = StoredPng::encode(*image);
        QFile out(file);
        if (!QDir().mkpath(QFileInfo(file).path()) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || out.write(png) != png.size() || !out.flush()) {
            Log::error("%{public}@: could not write the tray icon '%{public}@'.", {QStringLiteral("StatusNotifierIcon"), file});
            return false;
        }
    }
    return true;
}

StatusNotifierPixmaps StatusNotifierIcon::pixmaps() const
{
    if (m_image.isNull())
        return {};
    return m_pixmaps;
}
