#pragma once

#include <QCache>
#include <QImage>
#include <QRgb>
#include <QString>
#include <QtGlobal>

// Loading the skin's pictures (PNG, BMP, JPEG) onto a canvas filled with a solid colour, so the
// transparent parts of a picture take the colour of whatever lies under it on the display.
namespace Imaging {

// The largest picture that is decoded at all: 4096 by 4096 pixels (64 MB at 32 bits). A bigger
// or a corrupt file is refused before its pixels are allocated, so a bad picture in the skin
// folder cannot exhaust memory or stall the window; the caller keeps its old picture.
constexpr qint64 MaxPixels = 4096LL * 4096LL;

// Loads are done in batches between StartImaging and StopImaging. Qt needs no start-up, so
// the token only marks the batch.
using Token = int;
Token StartImaging();
void StopImaging(Token token);

// The picture at path drawn on a canvas of width by height pixels filled with background.
// width or height -1 asks for the picture's own size, and both are then set to it. keepAspect
// draws the whole picture at the largest size that keeps its proportions, at the top left,
// the rest staying background; otherwise it is stretched over the canvas. Scaling uses Qt's
// smooth transformation, the best filter it offers. A null image when the file cannot
// be read, is not a picture, or is (or would be scaled) beyond MaxPixels.
QImage LoadPictureScaled(const QString &path, int &width, int &height, QRgb background, bool keepAspect);

// The picture at path at most fit in size: a larger one is scaled down, keeping its
// proportions, as it is decoded (formats that can decode at a smaller size do so). Transparency
// is kept; opaque pictures come as RGB32. A null image when the file cannot be read, is not a
// picture, or is beyond MaxPixels.
QImage LoadPictureFitted(const QString &path, QSize fit);

// The picture drawn over a solid colour, as LoadPictureScaled draws it at natural size; an
// opaque picture is returned as it is (sharing its pixels).
QImage OverColour(const QImage &picture, QRgb background);

// The same picture drawn at twice the size for screens of two device pixels per pixel:
// "remote1@2x.png" beside "remote1.png". "" when there is none.
QString DoubleSizeFile(const QString &path);

// The picture to paint in an area of logical size at this device pixel ratio: sharp (twice the
// size of picture, or null) when the screen has more than one device pixel per pixel, else
// picture, scaled once to the area's device pixels and marked with the ratio, so the painter
// shows it at the logical size without scaling it again.
QImage PictureForScreen(const QImage &picture, const QImage &sharp, QSize logical, qreal ratio);

} // namespace Imaging

// The skin's pictures, each decoded once: the display builds its screens from the same few
// dozen pictures again and again, over different colours. A picture is fitted to the place it
// is drawn in when it is decoded (a background need never be larger than the screen), so a
// skin of huge pictures costs what it can show. Decoded pictures and their compositions over a
// colour share one budget of maxBytes; an entry is keyed by path, file time and file size, so
// a picture changed on disk is read afresh.
class PictureCache {
public:
    static constexpr qint64 DefaultBudget = 32LL << 20;
    explicit PictureCache(qint64 maxBytes = DefaultBudget);

    // The picture at most fit in size over background; null when it cannot be loaded.
    QImage load(const QString &path, QRgb background, QSize fit);
    void clear() { m_cache.clear(); }

    // How many loads went to the disk (decoded a file or found it unreadable).
    int diskLoads() const { return m_diskLoads; }
    // Bytes of pixels the cache holds now (at most the budget).
    qint64 keptBytes() const { return qint64(m_cache.totalCost()) << 10; }

private:
    QImage keep(const QString &key, const QImage &picture);

    QCache<QString, QImage> m_cache;
    int m_diskLoads = 0;
};
