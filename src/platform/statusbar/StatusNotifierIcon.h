#pragma once

#include "platform/statusbar/StatusNotifierTypes.h"

#include <QImage>
#include <QSet>
#include <QList>
#include <QString>

#include <array>
#include <iterator>

// The icon of one tray item, laid out so that every host's own way of
// choosing a picture finds the one that suits it:
// - IconPixmap: square variants, smallest first, then the image at its true
//   size, the largest. Hosts that keep wide icons take the largest (xfce4-panel,
//   Waybar); hosts that draw squares ask for their size and get a variant
//   drawn for it (Qt's own size choice), or keep only the squares (swaybar).
// - IconName with IconThemePath = the folder: the squares are files under
//   hicolor/<N>x<N>/vistrel/<name>.png, found by hosts that scan the theme
//   path's hicolor folder (lxqt-panel); GTK's built-in hicolor layout has no
//   such folder, so GTK hosts find nothing under the plain name and fall back
//   to the pixmaps. The wide image is <name>-panel.png in the folder itself,
//   the "panel" variant GNOME's AppIndicator host looks up first; it shows a
//   file at full width when it is at least 1.5 times as wide as high.
// The name alternates between two generations so that hosts that cache by
// name load the new pictures.
class StatusNotifierIcon {
public:
    // The square variants drawn besides the wide image: the icon sizes panels
    // draw at one and two pixels per point.
    static constexpr int SquareSides[] = {16, 22, 24, 32, 44, 48};

    struct Renderings {
        QImage image;
        // Smallest first.
        QList<QImage> squares = {};
    };

    // Files are written into the folder, named after the base name.
    StatusNotifierIcon(const QString& folder, const QString& baseName);
    ~StatusNotifierIcon();

    // Takes a new rendering and its square variants; false, and nothing
    // written, when every pixel is that of the current ones. Only the files
    // whose pixels differ from what they hold are written.
    bool update(const Renderings& renderings);

    const QImage& image() const { return m_image; }
    // Made when a host asks for them, and then only the pictures that changed.
    StatusNotifierPixmaps pixmaps() const;
    // The name of the current generation, empty when its files could not be written.
    QString iconName() const { return m_iconName; }
    QString themePath() const { return m_folder; }
    // Where the files of a generation's wide image and of its square of the side lie.
    QString wideFile(int generation) const { return m_wideFiles[generation]; }
    QString squareFile(int generation, int side) const;

private:
    static constexpr int SquareCount = int(std::size(SquareSides));

    QString nameOf(int generation) const;
    bool write();
    // Writes the file unless it holds the image already (as remembered in written).
    bool writeFile(const QString& file, const QImage& image, QImage& written);

    QString m_folder;
    QString m_baseName;
    QImage m_image;
    QList<QImage> m_squares;
    // One per square and the image last, as the pictures were when last made;
    // an entry whose picture changed since is stale.
    mutable StatusNotifierPixmaps m_pixmaps;
    mutable QList<bool> m_stalePixmaps;
    QString m_iconName;
    int m_generation = 0;
    // File names are made once; folders once they exist; a generation's
    // squares are removed only when a later one of that generation lacks their size.
    std::array<QString, 2> m_wideFiles;
    std::array<std::array<QString, SquareCount>, 2> m_squareFiles;
    std::array<std::array<bool, SquareCount>, 2> m_squareWritten {};
    // What each generation's files hold, so that unchanged pictures are not written again.
    std::array<QImage, 2> m_wideWritten;
    std::array<std::array<QImage, SquareCount>, 2> m_squaresWritten;
    QSet<QString> m_madeFolders;
};
