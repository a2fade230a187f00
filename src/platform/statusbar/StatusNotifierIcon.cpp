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
    for (int generation = 0; generation < 2; ++generation) {
        m_wideFiles[generation] = QDir(m_folder).filePath(nameOf(generation) + QStringLiteral("-panel.png"));
        for (int i = 0; i < SquareCount; ++i) {
            m_squareFiles[generation][i] = QDir(m_folder).filePath(
                QStringLiteral("hicolor/%1x%1/vistrel/%2.png").arg(SquareSides[i]).arg(nameOf(generation)));
        }
    }
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

QString StatusNotifierIcon::squareFile(int generation, int side) const
{
    const auto index = std::find(std::begin(SquareSides), std::end(SquareSides), side) - std::begin(SquareSides);
    return index < SquareCount ? m_squareFiles[generation][index] : QString();
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
    // A picture keeps its place while the sizes drawn stay the same; then
    // only the pictures whose pixels changed are converted again.
    const qsizetype count = squares.size() + 1;
    if (m_pixmaps.size() != count || squares.size() != m_squares.size()) {
        m_pixmaps = StatusNotifierPixmaps(count);
        m_stalePixmaps = QList<bool>(count, true);
    } else {
        for (qsizetype i = 0; i < squares.size(); ++i)
            m_stalePixmaps[i] = m_stalePixmaps[i] || squares[i] != m_squares[i];
        m_stalePixmaps[count - 1] = m_stalePixmaps[count - 1] || image != m_image;
    }
    m_image = image;
    m_squares = std::move(squares);

    m_generation = 1 - m_generation;
    m_iconName = write() ? nameOf(m_generation) : QString();
    return true;
}

bool StatusNotifierIcon::write()
{
    if (!writeFile(wideFile(m_generation), m_image, m_wideWritten[m_generation]))
        return false;
    auto& written = m_squareWritten[m_generation];
    for (int i = 0; i < SquareCount; ++i) {
        const auto square = std::find_if(m_squares.cbegin(), m_squares.cend(),
            [&](const QImage& image) { return image.width() == SquareSides[i]; });
        const QString& file = m_squareFiles[m_generation][i];
        if (square != m_squares.cend()) {
            if (!writeFile(file, *square, m_squaresWritten[m_generation][i]))
                return false;
            written[i] = true;
        } else if (written[i]) {
            // No stale size of this generation may be found.
            QFile::remove(file);
            written[i] = false;
            m_squaresWritten[m_generation][i] = QImage();
        }
    }
    return true;
}

bool StatusNotifierIcon::writeFile(const QString& file, const QImage& image, QImage& written)
{
    if (image == written && image.devicePixelRatio() == written.devicePixelRatio())
        return true;
    written = QImage();
    const QString folder = QFileInfo(file).path();
    if (!m_madeFolders.contains(folder)) {
        if (!QDir().mkpath(folder)) {
            Log::error("%{public}@: could not make the folder '%{public}@'.", {QStringLiteral("StatusNotifierIcon"), folder});
            return false;
        }
        m_madeFolders.insert(folder);
    }
    const QByteArray png = StoredPng::encode(image);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(png) != png.size() || !out.flush()) {
        Log::error("%{public}@: could not write the tray icon '%{public}@'.", {QStringLiteral("StatusNotifierIcon"), file});
        // The folder may have gone with the runtime directory's clean-up: made again next time.
        m_madeFolders.remove(folder);
        return false;
    }
    written = image;
    return true;
}

StatusNotifierPixmaps StatusNotifierIcon::pixmaps() const
{
    if (m_image.isNull())
        return {};
    for (qsizetype i = 0; i < m_pixmaps.size(); ++i) {
        if (m_stalePixmaps[i]) {
            m_pixmaps[i] = StatusNotifierPixmap::fromImage(i < m_squares.size() ? m_squares[i] : m_image);
            m_stalePixmaps[i] = false;
        }
    }
    return m_pixmaps;
}
