#include "platform/Imaging.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace {

bool withinLimit(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= Imaging::MaxPixels / height;
}

// The picture's size from its header, before any pixel is decoded; invalid for a file that
// does not say, or says too much (it is not read further).
QSize headerSize(QImageReader &reader) {
    reader.setDecideFormatFromContent(true);
    const QSize natural = reader.size();
    return natural.isValid() && withinLimit(natural.width(), natural.height()) ? natural : QSize();
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
    const QSize natural = headerSize(reader);
    if (!natural.isValid()) {
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

QImage Imaging::LoadPictureFitted(const QString &path, QSize fit) {
    if (path.isEmpty() || fit.isEmpty()) {
        return {};
    }
    QImageReader reader(path);
    const QSize natural = headerSize(reader);
    if (!natural.isValid()) {
        return {};
    }
    const QSize wanted = natural.width() > fit.width() || natural.height() > fit.height()
                             ? natural.scaled(fit, Qt::KeepAspectRatio)
                             : natural;
    if (wanted != natural) {
        // Formats that can (JPEG) decode straight at this size; the others are decoded whole
        // (within MaxPixels) and scaled with Qt's smooth filter, then the whole is let go.
        reader.setScaledSize(wanted.expandedTo(QSize(1, 1)));
        reader.setQuality(100); // the smooth filter when the reader scales
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        return {};
    }
    // Qt marks a "name@2x" file as two device pixels per pixel; here every picture counts in
    // its own pixels, and the screen's drawing decides how they are shown.
    picture.setDevicePixelRatio(1);
    if (picture.size() != wanted.expandedTo(QSize(1, 1))) {
        picture = picture.scaled(wanted.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

QImage Imaging::OverColour(const QImage &picture, QRgb background) {
    if (picture.isNull() || !picture.hasAlphaChannel()) {
        return picture;
    }
    QImage canvas(picture.size(), QImage::Format_RGB32);
    canvas.fill(QColor::fromRgb(background));
    QPainter painter(&canvas);
    painter.drawImage(QPoint(0, 0), picture);
    painter.end();
    return canvas;
}

PictureCache::PictureCache(qint64 maxBytes)
    : m_cache(int(std::min<qint64>(maxBytes >> 10, std::numeric_limits<int>::max()))) {}

QImage PictureCache::keep(const QString &key, const QImage &picture) {
    // Costs are in KB. A picture bigger than the whole budget is handed out but not kept.
    const qint64 cost = std::max<qint64>(1, picture.sizeInBytes() >> 10);
    if (cost <= m_cache.maxCost()) {
        m_cache.insert(key, new QImage(picture), int(cost));
    }
    return picture;
}

QImage PictureCache::load(const QString &path, QRgb background, QSize fit) {
    const QFileInfo file(path);
    const QString fileKey = path + QLatin1Char('|') + QString::number(file.lastModified().toMSecsSinceEpoch()) +
                            QLatin1Char('|') + QString::number(file.size()) + QLatin1Char('|') +
                            QString::number(fit.width()) + QLatin1Char('x') + QString::number(fit.height());
    const QString composedKey = fileKey + QLatin1Char('|') + QString::number(background, 16);
    if (const QImage *kept = m_cache.object(composedKey)) {
        return *kept;
    }
    QImage decoded;
    if (const QImage *kept = m_cache.object(fileKey)) {
        decoded = *kept;
    } else {
        ++m_diskLoads;
        // Unreadable files are remembered too (as a null image), so a missing cover or a broken
        // file is not tried again on every screen change while it stays the same on disk.
        decoded = keep(fileKey, Imaging::LoadPictureFitted(path, fit));
    }
    if (decoded.isNull() || !decoded.hasAlphaChannel()) {
        return decoded; // the same pixels over every colour: no second copy
    }
    return keep(composedKey, Imaging::OverColour(decoded, background));
}

QString Imaging::DoubleSizeFile(const QString &path) {
    const QFileInfo file(path);
    if (path.isEmpty() || file.suffix().isEmpty()) {
        return {};
    }
    const QString sharp = file.dir().filePath(file.completeBaseName() + QStringLiteral("@2x.") + file.suffix());
    return QFileInfo(sharp).isFile() ? sharp : QString();
}

QImage Imaging::PictureForScreen(const QImage &picture, const QImage &sharp, QSize logical, qreal ratio) {
    const qreal r = ratio > 0 ? ratio : 1.0;
    const QImage &source = r > 1 && !sharp.isNull() ? sharp : picture;
    if (source.isNull() || logical.isEmpty()) {
        return {};
    }
    const QSize device(qRound(logical.width() * r), qRound(logical.height() * r));
    QImage shown =
        source.size() == device ? source : source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(r);
    return shown;
}
