#pragma once
// Picture files made on the spot, for the display's and the remote window's tests.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

// A picture of one colour, or of two halves (left, right) when right is given.
inline bool SavePicture(const QString &path, QSize size, QColor left, QColor right = QColor()) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(left);
    for (int y = 0; right.isValid() && y < size.height(); ++y) {
        for (int x = size.width() / 2; x < size.width(); ++x) {
            image.setPixelColor(x, y, right);
        }
    }
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path);
}

inline bool SaveBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// An uncompressed BMP that announces width x height pixels and carries a few bytes only.
inline QByteArray AnnouncedBitmap(qint32 width, qint32 height) {
    QByteArray bytes(54 + 16, '\x7f');
    bytes.fill('\0', 54);
    bytes[0] = 'B';
    bytes[1] = 'M';
    for (const auto &[at, value] : {std::pair{2, 54 + 16}, {10, 54}, {14, 40}, {18, width}, {22, height}}) {
        qToLittleEndian(quint32(value), bytes.data() + at);
    }
    qToLittleEndian(quint16(1), bytes.data() + 26);
    qToLittleEndian(quint16(24), bytes.data() + 28);
    return bytes;
}
