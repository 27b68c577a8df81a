// Loading pictures over a colour, scaling, refusing what would exhaust memory, and the cache.
#include "platform/Imaging.h"

#include "display/TestPictures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <vector>

namespace {

// A 4x2 picture: left half opaque red, right half fully transparent.
QString halfTransparent(const QTemporaryDir &dir, const char *name) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(SavePicture(path, {4, 2}, Qt::red, Qt::transparent));
    return path;
}

QRgb opaque(QRgb pixel) {
    return pixel | 0xff000000u;
}

} // namespace

TEST(Imaging, ComposesOverTheColourAtNaturalOrRequestedSizeAndRefusesBadPictures) {
    QTemporaryDir dir;
    const QString path = halfTransparent(dir, "half.png");
    const QRgb grey = qRgb(50, 60, 70);
    const QRgb red = qRgb(255, 0, 0);
    int width = -1;
    int height = 7; // one -1 is enough to ask for the natural size
    const QImage natural = Imaging::LoadPictureScaled(path, width, height, grey, false);
    EXPECT_EQ(natural.size(), QSize(4, 2));
    EXPECT_EQ(QSize(width, height), QSize(4, 2));
    EXPECT_EQ(QList<QRgb>({opaque(natural.pixel(0, 0)), opaque(natural.pixel(3, 1))}), QList<QRgb>({red, grey}));
    // Stretched over 8x8, or kept in proportion (8x4 at the top) with the rest in the colour.
    width = height = 8;
    const QImage stretched = Imaging::LoadPictureScaled(path, width, height, grey, false);
    const QImage kept = Imaging::LoadPictureScaled(path, width, height, grey, true);
    EXPECT_EQ(stretched.size(), QSize(8, 8));
    EXPECT_EQ(QList<QRgb>({opaque(stretched.pixel(1, 7)), opaque(kept.pixel(1, 1)), opaque(kept.pixel(1, 7))}),
              QList<QRgb>({red, red, grey}));

    // Missing, empty, corrupt; 20000 x 20000 would need 1.6 GB: refused from the header, before
    // any allocation, leaving the size asked for.
    ASSERT_TRUE(SaveBytes(dir.filePath("corrupt.png"), "\x89PNG\r\n\x1a\n garbage that is not a picture"));
    ASSERT_TRUE(SaveBytes(dir.filePath("big.bmp"), AnnouncedBitmap(20000, 20000)));
    width = height = -1;
    for (const QString &bad :
         {dir.filePath("none.png"), QString(), dir.filePath("corrupt.png"), dir.filePath("big.bmp")}) {
        EXPECT_TRUE(Imaging::LoadPictureScaled(bad, width, height, 0, false).isNull()) << bad.toStdString();
    }
    EXPECT_EQ(QSize(width, height), QSize(-1, -1));
    // A sane picture asked to be scaled beyond the limit is refused as well.
    width = height = 100000;
    EXPECT_TRUE(Imaging::LoadPictureScaled(path, width, height, 0, false).isNull());
}

TEST(Imaging, CacheDecodesEachPictureOnceFittedToItsPlaceUntilTheFileChanges) {
    QTemporaryDir dir;
    const QString path = halfTransparent(dir, "half.png");
    const QSize fit(64, 64);
    PictureCache cache;
    const QImage first = cache.load(path, qRgb(0, 0, 0), fit);
    EXPECT_EQ(cache.load(path, qRgb(0, 0, 0), fit), first);
    // Another colour composes the decoded picture again, without reading the file.
    const QImage white = cache.load(path, qRgb(255, 255, 255), fit);
    EXPECT_EQ(cache.diskLoads(), 1);
    EXPECT_EQ(QList<QRgb>({opaque(first.pixel(3, 1)), opaque(white.pixel(3, 1)), opaque(white.pixel(0, 0))}),
              QList<QRgb>({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0)}));
    // Missing files are remembered as missing.
    EXPECT_TRUE(cache.load(dir.filePath("none.png"), 0, fit).isNull());
    EXPECT_TRUE(cache.load(dir.filePath("none.png"), 0, fit).isNull());
    EXPECT_EQ(cache.diskLoads(), 2);
    // A new file at the path (another size) is read again.
    ASSERT_TRUE(SavePicture(path, {6, 6}, Qt::green));
    EXPECT_EQ(cache.load(path, 0, fit).size(), QSize(6, 6));
    EXPECT_EQ(cache.diskLoads(), 3);

    // A picture larger than its place is scaled down in proportion, once; an opaque one is one
    // copy whatever the colour under it.
    const QString wide = dir.filePath("wide.jpg");
    QImage opaqueWide(QSize(2000, 500), QImage::Format_RGB32);
    opaqueWide.fill(Qt::blue);
    ASSERT_TRUE(opaqueWide.save(wide));
    const QImage fitted = cache.load(wide, qRgb(1, 2, 3), fit);
    EXPECT_EQ(fitted.size(), QSize(64, 16));
    EXPECT_EQ(cache.load(wide, qRgb(9, 9, 9), fit).cacheKey(), fitted.cacheKey());
    EXPECT_EQ(cache.diskLoads(), 4);
}

// A high-resolution screen gets the picture drawn at twice the size, pixel for pixel, where
// there is one; otherwise the picture scaled to its device pixels. The logical size stays.
TEST(Imaging, ScreensOfMoreDevicePixelsGetTheDoubleSizeDrawing) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("remote.png");
    ASSERT_TRUE(SavePicture(plain, {10, 20}, Qt::red, Qt::blue));
    EXPECT_EQ(Imaging::DoubleSizeFile(plain), QString());
    ASSERT_TRUE(SavePicture(dir.filePath("remote@2x.png"), {20, 40}, Qt::green, Qt::yellow));
    EXPECT_EQ(Imaging::DoubleSizeFile(plain), dir.filePath("remote@2x.png"));

    const QImage picture(plain);
    const QImage sharp(dir.filePath("remote@2x.png"));
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        const QImage shown = Imaging::PictureForScreen(picture, sharp, QSize(10, 20), ratio);
        EXPECT_EQ(shown.devicePixelRatio(), ratio);
        EXPECT_EQ(shown.deviceIndependentSize().toSize(), QSize(10, 20));
        // Green is only in the double-size drawing.
        EXPECT_EQ(shown.pixelColor(0, 0) == QColor(Qt::green), ratio > 1);
    }
    EXPECT_EQ(Imaging::PictureForScreen(picture, sharp, QSize(10, 20), 2.0).convertToFormat(sharp.format()), sharp);
    // Without one, the picture is scaled to the device pixels.
    const QImage scaled = Imaging::PictureForScreen(picture, QImage(), QSize(10, 20), 2.0);
    EXPECT_EQ(scaled.size(), QSize(20, 40));
    EXPECT_EQ(scaled.pixelColor(0, 0), QColor(Qt::red));
}
