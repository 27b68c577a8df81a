// Loading pictures over a colour, scaling, refusing what would exhaust memory, and the cache.
#include "platform/Imaging.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A 4x2 picture: left half opaque red, right half fully transparent.
QString halfTransparent(const QTemporaryDir &dir, const char *name) {
    QImage image(4, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 2; ++y) {
        image.setPixelColor(0, y, Qt::red);
        image.setPixelColor(1, y, Qt::red);
    }
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

// A BMP header that announces width x height pixels and carries none.
QString announcedBitmap(const QTemporaryDir &dir, qint32 width, qint32 height) {
    QByteArray header(54, '\0');
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i) {
            header[at + i] = char((v >> (8 * i)) & 0xff);
        }
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + 16);
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    header[26] = 1;
    header[28] = 24;
    const QString path = dir.filePath(QStringLiteral("big%1.bmp").arg(width));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(header + QByteArray(16, '\x7f'));
    return path;
}

} // namespace

TEST(Imaging, ComposesOverTheColourAtNaturalOrRequestedSize) {
    QTemporaryDir dir;
    const QString path = halfTransparent(dir, "half.png");
    const QRgb grey = qRgb(50, 60, 70);
    int width = -1;
    int height = 7; // one -1 is enough to ask for the natural size
    QImage natural = Imaging::LoadPictureScaled(path, width, height, grey, false);
    ASSERT_EQ(natural.size(), QSize(4, 2));
    EXPECT_EQ(QSize(width, height), QSize(4, 2));
    EXPECT_EQ(natural.pixel(0, 0) | 0xff000000u, qRgb(255, 0, 0));
    EXPECT_EQ(natural.pixel(3, 1) | 0xff000000u, grey);

    // Stretched over 8x8, or kept in proportion (8x4 at the top) with the rest in the colour.
    width = 8;
    height = 8;
    const QImage stretched = Imaging::LoadPictureScaled(path, width, height, grey, false);
    EXPECT_EQ(stretched.size(), QSize(8, 8));
    EXPECT_EQ(stretched.pixel(1, 7) | 0xff000000u, qRgb(255, 0, 0));
    const QImage kept = Imaging::LoadPictureScaled(path, width, height, grey, true);
    EXPECT_EQ(kept.pixel(1, 1) | 0xff000000u, qRgb(255, 0, 0));
    EXPECT_EQ(kept.pixel(1, 7) | 0xff000000u, grey);
}

TEST(Imaging, RefusesMissingCorruptAndHugePictures) {
    QTemporaryDir dir;
    int width = -1;
    int height = -1;
    EXPECT_TRUE(Imaging::LoadPictureScaled(dir.filePath("none.png"), width, height, 0, false).isNull());
    EXPECT_TRUE(Imaging::LoadPictureScaled("", width, height, 0, false).isNull());
    QFile corrupt(dir.filePath("corrupt.png"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write("\x89PNG\r\n\x1a\n garbage that is not a picture");
    corrupt.close();
    EXPECT_TRUE(Imaging::LoadPictureScaled(corrupt.fileName(), width, height, 0, false).isNull());
    // 20000 x 20000 would need 1.6 GB; refused from the header, before any allocation.
    EXPECT_TRUE(Imaging::LoadPictureScaled(announcedBitmap(dir, 20000, 20000), width, height, 0, false).isNull());
    EXPECT_EQ(QSize(width, height), QSize(-1, -1));
    // A sane picture asked to be scaled beyond the limit is refused as well.
    width = 100000;
    height = 100000;
    EXPECT_TRUE(Imaging::LoadPictureScaled(halfTransparent(dir, "ok.png"), width, height, 0, false).isNull());
}

TEST(Imaging, CacheReadsEachPictureOncePerColourUntilTheFileChanges) {
    QTemporaryDir dir;
    const QString path = halfTransparent(dir, "half.png");
    PictureCache cache;
    const QImage first = cache.load(path, qRgb(0, 0, 0));
    cache.load(path, qRgb(0, 0, 0));
    EXPECT_EQ(cache.diskLoads(), 1);
    const QImage white = cache.load(path, qRgb(255, 255, 255));
    EXPECT_EQ(cache.diskLoads(), 2);
    EXPECT_NE(first, white);
    // Missing files are remembered as missing.
    EXPECT_TRUE(cache.load(dir.filePath("none.png"), 0).isNull());
    EXPECT_TRUE(cache.load(dir.filePath("none.png"), 0).isNull());
    EXPECT_EQ(cache.diskLoads(), 3);
    // A new file at the path (another size) is read again.
    QImage bigger(6, 6, QImage::Format_RGB32);
    bigger.fill(Qt::green);
    ASSERT_TRUE(bigger.save(path));
    EXPECT_EQ(cache.load(path, 0).size(), QSize(6, 6));
    EXPECT_EQ(cache.diskLoads(), 4);
}
