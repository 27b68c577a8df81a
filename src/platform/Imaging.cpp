#include "platform/Imaging.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace {

bool withinLimit(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= Imaging::MaxPixels / height;
}

} // namespace

Imaging::Token Imaging::StartImaging() {
    return 1;
}

void Imaging::StopImaging(Token) {}

QImage Imaging::LoadPictureScaled(const QString &path, int &width, int &height, QRgb background, bool keepAspect) {
    if (path.isEmpty()) {
        return {};
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // The header gives the size before any pixel is decoded; a file that does not say, or says
    // too much, is not read further.
    const QSize natural = reader.size();
    if (!natural.isValid() || !withinLimit(natural.width(), natural.height())) {
        return {};
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull() || picture.size() != natural) {
        return {};
    }
    if (width == -1 || height == -1) {
        width = picture.width();
        height = picture.height();
    }
    if (!withinLimit(width, height)) {
        return {};
    }
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(QColor::fromRgb(background));
    QSize drawn(width, height);
    if (keepAspect) {
        const double aspect = double(picture.width()) / double(picture.height());
        const double target = double(width) / double(height);
        drawn = target >= aspect ? QSize(qRound(height * aspect), height) : QSize(width, qRound(width / aspect));
    }
    if (drawn != picture.size() && !drawn.isEmpty()) {
        // Qt's smooth scaling filters every source pixel when shrinking, which drawing with a
        // smooth transform does not.
        picture = picture.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPainter painter(&canvas);
    painter.drawImage(QPoint(0, 0), picture);
    painter.end();
    return canvas;
}

PictureCache::PictureCache(qint64 maxBytes)
    : m_cache(int(std::min<qint64>(maxBytes >> 10, std::numeric_limits<int>::max()))) {}

QImage PictureCache::load(const QString &path, QRgb background) {
    const QFileInfo file(path);
    const QString key = path + QLatin1Char('|') + QString::number(background, 16) + QLatin1Char('|') +
                        QString::number(file.lastModified().toMSecsSinceEpoch()) + QLatin1Char('|') +
                        QString::number(file.size());
    if (const QImage *kept = m_cache.object(key)) {
        return *kept;
    }
    ++m_diskLoads;
    int width = -1;
    int height = -1;
    QImage picture = Imaging::LoadPictureScaled(path, width, height, background, false);
    // Unreadable files are remembered too (as a null image), so a missing cover or a broken
    // file is not tried again on every screen change while it stays the same on disk.
    const qint64 cost = std::max<qint64>(1, picture.sizeInBytes() >> 10);
    m_cache.insert(key, new QImage(picture), int(std::min<qint64>(cost, m_cache.maxCost())));
    return picture;
}
