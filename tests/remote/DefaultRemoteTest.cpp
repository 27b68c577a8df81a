#include "keyboard/KeyMap.h"
#include "platform/FileBits.h"
#include "RadioModel.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteLayout.h"

#include <QDir>
#include <QImage>
#include <QRect>

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace {

const QColor Body(0x2b, 0x2d, 0x31);

// Drawn buttons stand out from the remote's body colour; the d-pad's dish is close to it.
bool isButton(QRgb pixel) {
    const QColor c(pixel);
    return std::abs(c.red() - Body.red()) + std::abs(c.green() - Body.green()) + std::abs(c.blue() - Body.blue()) > 60;
}

// The bounding box of the button pixels connected to start, searched within limit.
QRect drawnButtonAt(const QImage &picture, QPoint start, QRect limit) {
    QRect found;
    std::vector<QPoint> todo{start};
    std::set<std::pair<int, int>> seen;
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        if (!limit.contains(p) || !seen.insert({p.x(), p.y()}).second || !isButton(picture.pixel(p))) {
            continue;
        }
        found |= QRect(p, QSize(1, 1));
        todo.insert(todo.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
    return found;
}

} // namespace

TEST(DefaultRemote, EveryRectangleCoversItsDrawnButtonAndEveryCommandIsAKeyTheRadioTakes) {
    const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
    const QImage picture(data.filePath("remote1.png"));
    ASSERT_FALSE(picture.isNull());
    const std::vector<RemoteButton> buttons = ParseLayoutText(FileBits::ReadWholeFile(data.filePath("remote1.txt")));
    const double w = picture.width();
    const double h = picture.height();

    QStringList commands;
    for (const RemoteButton &b : buttons) {
        commands << b.Function;
        const QRectF rect(QPointF(w * b.Left / 100, h * b.Top / 100), QPointF(w * b.Right / 100, h * b.Bottom / 100));
        const QPoint centre = rect.center().toPoint();
        ASSERT_TRUE(isButton(picture.pixel(centre))) << qPrintable(b.Function);
        const QRect drawn = drawnButtonAt(picture, centre, rect.toAlignedRect().adjusted(-20, -20, 20, 20));
        // The drawn button lies inside its rectangle (a pixel of antialiasing aside)...
        EXPECT_TRUE(rect.adjusted(-1, -1, 1, 1).contains(QRectF(drawn))) << qPrintable(b.Function);
        // ...and fills most of it, so a click on the rectangle lands on the button.
        EXPECT_GT(double(drawn.width()) * drawn.height(), 0.6 * rect.width() * rect.height()) << qPrintable(b.Function);
        // No earlier rectangle takes the button's middle.
        EXPECT_EQ(HitTest(buttons, PercentOf(centre.y(), h), PercentOf(centre.x(), w)), FindButton(buttons, b.Function))
            << qPrintable(b.Function);
    }

    // Every key the keyboard presses can be clicked too, each on one button of its own.
    for (const QString &key : KeyedRadioKeys()) {
        EXPECT_EQ(commands.count(key), 1) << qPrintable(key);
    }
    QStringList distinct = commands;
    distinct.removeDuplicates();
    EXPECT_EQ(distinct, commands);
    RadioModel radio;
    for (const QString &command : commands) {
        EXPECT_EQ(radio.handle(command), "OK\r\n") << qPrintable(command);
    }
}
