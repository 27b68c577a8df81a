#pragma once

#include "display/DisplayControl.h"
#include "display/Skin.h"
#include "platform/Platform.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "settings/Timeouts.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

// A program folder with pictures made on the spot, a skin given as text and the display's
// logic on fake timers, with the queue it sends to.
struct DisplayFixture : ::testing::Test {
    QTemporaryDir folder;
    FakePlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    LinkView view;
    LinkHooks hooks;
    Telnet telnet{platform, state, timeouts};
    qint16 waitFrame = 0;
    std::unique_ptr<DisplayControl> display;

    void SetUp() override {
        display =
            std::make_unique<DisplayControl>(platform, skin, state, telnet, view, hooks, folder.path(), waitFrame);
    }

    ScreenRenderer &screen() { return display->screen; }

    // A picture of one colour, or of two halves (left, right) when right is given.
    void picture(const QString &name, QSize size, QColor left, QColor right = QColor()) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(left);
        if (right.isValid()) {
            for (int y = 0; y < size.height(); ++y) {
                for (int x = size.width() / 2; x < size.width(); ++x) {
                    image.setPixelColor(x, y, right);
                }
            }
        }
        const QString path = folder.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(image.save(path));
    }

    void useSkin(const QString &text) {
        QString lines = text;
        lines.replace(u'|', QStringLiteral("\r\n"));
        ParseScreenFile(skin, lines);
    }

    QStringList queued(int channel = 0) const { return telnet.pending(channel); }
};
